// mergeCookies, whose quick form keeps sets of names and pieces, against the merge as its rule
// states it with the plain searches hasCookie and indexOfText; and what it writes back.
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "web/Cookies.h"

namespace {

// Cookie strings built of the pieces that matter to the merge, with some noise between.
Text cookiesFrom(FuzzedDataProvider& data) {
    static const char* const pieces[] = {"a",   "b=",        "=1",       "; ",
                                         ";",   " ",         "=deleted", "\xA1\xA1",
                                         "a=2", "b=deleted", "=DELETED", ""};
    Text cookies;
    for (int i = data.ConsumeIntegralInRange(0, 24); i > 0 && data.remaining_bytes() > 0; --i) {
        cookies += pieces[data.ConsumeIntegralInRange<std::size_t>(0, 11)];
        if (data.ConsumeBool())
            cookies += nextText(data, 4);
    }
    return cookies;
}

Text mergeReference(Text oldCookies, Text newCookies) {
    TextArray oldEntries = splitText(removeAllSpaces(oldCookies), ";");
    TextArray entries = splitText(removeAllSpaces(newCookies), ";");
    for (const Text& entry : oldEntries) {
        if (!hasCookie(entries, cookieName(entry)))
            entries.push_back(entry);
    }
    Text merged;
    for (const Text& entry : entries) {
        if (rightText(entry, 8) != "=deleted")
            merged += entry + "; ";
    }
    merged = leftText(merged, textLength(merged) - 2);
    TextArray seen;
    Text unique;
    for (const Text& piece : splitText(merged, "; ")) {
        if (indexOfText(seen, piece) == -1) {
            seen.push_back(piece);
            unique += piece + "; ";
        }
    }
    return leftText(unique, textLength(unique) - 2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const Text oldBefore = cookiesFrom(data);
    const Text newBefore = cookiesFrom(data);
    Text oldCookies = oldBefore, newCookies = newBefore;
    const Text merged = mergeCookies(oldCookies, newCookies);
    check(merged == mergeReference(oldBefore, newBefore));
    check(oldCookies == merged);
    check(newCookies == removeAllSpaces(newBefore));
    return 0;
}
