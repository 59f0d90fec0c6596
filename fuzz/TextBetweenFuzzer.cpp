// textBetween against its rule, written with the slow reference search: the part after the
// first left marker at or after `start` up to the first right marker from there, both markers
// with their quote markers ("#引号") expanded first.
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "fuzz/ReferenceSearch.h"
#include "text/TextBetween.h"

namespace {

Text expanded(const Text& marker) {
    return reference::replace(marker, "#\xD2\xFD\xBA\xC5", "\"", 1, -1, true);
}

Text betweenReference(const Text& text, const Text& leftMarker, const Text& rightMarker, int start,
                      bool ignoreCase) {
    const Text left = expanded(leftMarker), right = expanded(rightMarker);
    int leftAt = reference::find(text, left, start, ignoreCase);
    if (leftAt == -1)
        return {};
    int wantedAt = leftAt + static_cast<int>(left.size());
    int rightAt = reference::find(text, right, wantedAt, ignoreCase);
    if (rightAt == -1 || rightAt <= wantedAt)
        return {};
    return text.substr(static_cast<std::size_t>(wantedAt) - 1,
                       static_cast<std::size_t>(rightAt - wantedAt));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const int start = data.ConsumeIntegralInRange(-1, 20);
    const bool ignoreCase = data.ConsumeBool();
    const Text left = nextText(data, 12);
    const Text right = nextText(data, 12);
    const Text text = nextText(data, 4096);
    const Text found = textBetween(text, left, right, start, ignoreCase);
    check(found == betweenReference(text, left, right, start, ignoreCase));
    check(expandQuoteMarkers(left) == expanded(left));
    return 0;
}
