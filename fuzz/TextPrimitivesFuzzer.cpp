// The text primitives against plain statements of their rules: the searches, the replacement
// and the split against slow reference searches, trims and case against a walk over the
// characters, toInt against strtoll, the cuts against their lengths.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "fuzz/ReferenceSearch.h"
#include "text/Text.h"

namespace {

// The characters of `t`: one byte, or a byte of 0x80 or more with the byte after it.
std::vector<Text> charactersOf(const Text& t) {
    std::vector<Text> characters;
    for (std::size_t i = 0; i < t.size(); i += characters.back().size())
        characters.push_back(t.substr(i, reference::isLead(t[i]) ? 2 : 1));
    return characters;
}

bool isSpace(const Text& character) {
    return character == " " || character == "\xA1\xA1";
}

// toInt through strtoll: each character that counts as ASCII in a number becomes that byte,
// every other character a byte that ends a number.
int toIntReference(const Text& t) {
    std::string ascii;
    for (const Text& c : charactersOf(t)) {
        unsigned char first = static_cast<unsigned char>(c[0]);
        unsigned char second = c.size() == 2 ? static_cast<unsigned char>(c[1]) : 0;
        if (c.size() == 1)
            ascii += first < 0x80 ? c[0] : '!';
        else if (first == 0xA1 && second == 0xA1)
            ascii += ' ';
        else if (first == 0xA3 && second >= 0xB0 && second <= 0xB9)
            ascii += static_cast<char>('0' + (second - 0xB0));
        else if (first == 0xA3 && (second == 0xAB || second == 0xAD))
            ascii += second == 0xAB ? '+' : '-';
        else
            ascii += '!';
    }
    long long value = std::strtoll(ascii.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const int start = data.ConsumeIntegralInRange(-2, 40);
    const int count = data.ConsumeIntegralInRange(-1, 3);
    const bool flag = data.ConsumeBool();
    const Text sub = nextText(data, 6);
    const Text repl = nextText(data, 6);
    const Text t =
        data.ConsumeBool() ? nextText(data, 4096) : textFrom(data.ConsumeRandomLengthString(4096));

    check(findText(t, sub, start, flag) == reference::find(t, sub, start, flag));
    check(findTextReverse(t, sub, start, flag) == reference::findReverse(t, sub, start, flag));
    check(findTextReverse(t, sub, wholeText, flag) ==
          reference::findReverse(t, sub, wholeText, flag));
    check(replaceSubtext(t, sub, repl, start, count, flag) ==
          reference::replace(t, sub, repl, start, count, flag));
    check(splitText(t, sub) == reference::split(t, sub));

    std::vector<Text> characters = charactersOf(t);
    Text lower, withoutSpaces;
    for (const Text& c : characters) {
        lower += c.size() == 1 && c[0] >= 'A' && c[0] <= 'Z' ? Text(1, c[0] - 'A' + 'a') : c;
        if (!isSpace(c))
            withoutSpaces += c;
    }
    check(toLower(t) == lower);
    check(removeAllSpaces(t) == withoutSpaces);
    auto first = std::find_if_not(characters.begin(), characters.end(), isSpace);
    auto last = std::find_if_not(characters.rbegin(), characters.rend(), isSpace).base();
    Text trimmed;
    for (auto c = first; c < last; ++c)
        trimmed += *c;
    check(trimBoth(t) == trimmed);
    check(toInt(t) == toIntReference(t));

    const int length = textLength(t);
    const std::size_t n = static_cast<std::size_t>(std::max(count * 7 + start, 0));
    check(leftText(t, count * 7 + start) == t.substr(0, n));
    check(rightText(t, count * 7 + start) == t.substr(t.size() - std::min(n, t.size())));
    const Text middle = midText(t, start, count * 7 + 3);
    check(start < 1 || start > length || count * 7 + 3 < 1
              ? middle.empty()
              : middle == t.substr(static_cast<std::size_t>(start) - 1,
                                   static_cast<std::size_t>(count * 7 + 3)));
    return 0;
}
