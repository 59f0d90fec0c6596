// The conversions between UTF-8, UTF-16 and GBK: round trips wherever the code page holds
// every character of the text (a text converts as its characters do, one by one), and the
// operations that are compositions of others agree with them.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "fuzz/FuzzInput.h"
#include "text/CodePageConversion.h"

namespace {

Bytes unitBytes(char16_t unit) {
    return Bytes{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
}

char16_t unitAt(const Bytes& units, std::size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(units[2 * i]) |
                                 static_cast<unsigned char>(units[2 * i + 1]) << 8);
}

// Whether each BMP unit (not a surrogate) comes back from GBK unchanged.
const std::array<bool, 0x10000>& unitsGbkHolds() {
    static const auto holds = [] {
        auto table = std::make_unique<std::array<bool, 0x10000>>();
        for (std::uint32_t unit = 1; unit < 0x10000; ++unit) {
            Bytes one = unitBytes(static_cast<char16_t>(unit));
            (*table)[unit] =
                (unit < 0xD800 || unit > 0xDFFF) &&
                codePageToUtf16(utf16ToCodePage(one, 936), 936) == one + Bytes(2, '\0');
        }
        return table;
    }();
    return *holds;
}

// GBK's own characters: 81..FE with the byte after it, every other byte alone.
std::size_t gbkCharacterLength(const Text& t, std::size_t i) {
    unsigned char byte = static_cast<unsigned char>(t[i]);
    return byte >= 0x81 && byte <= 0xFE && i + 1 < t.size() ? 2 : 1;
}

bool gbkHoldsEach(const Text& t) {
    for (std::size_t i = 0, length; i < t.size(); i += length) {
        length = gbkCharacterLength(t, i);
        Text character = t.substr(i, length);
        if (utf16ToCodePage(gbkToUtf16(character), 936) != character)
            return false;
    }
    return true;
}

// The units up to the first NUL unit: how many, whether GBK holds each, whether one is a
// combining mark (which the composite check may fold into the character before it).
struct UnitsSurvey {
    std::size_t beforeNul = 0;
    bool gbkHoldsEach = true;
    bool combiningMark = false;
};

UnitsSurvey survey(const Bytes& units) {
    UnitsSurvey found;
    for (std::size_t count = units.size() / 2; found.beforeNul < count; ++found.beforeNul) {
        char16_t unit = unitAt(units, found.beforeNul);
        if (unit == 0)
            break;
        found.gbkHoldsEach = found.gbkHoldsEach && unitsGbkHolds()[unit];
        found.combiningMark = found.combiningMark || (unit >= 0x0300 && unit <= 0x036F);
    }
    return found;
}

bool isUtf8(const Text& t) {
    for (std::size_t i = 0; i < t.size();) {
        unsigned char b = static_cast<unsigned char>(t[i]);
        std::size_t length = b < 0x80                 ? 1
                             : b >= 0xC2 && b <= 0xDF ? 2
                             : b >= 0xE0 && b <= 0xEF ? 3
                             : b >= 0xF0 && b <= 0xF4 ? 4
                                                      : 0;
        if (length == 0 || i + length > t.size())
            return false;
        std::uint32_t code = length == 1 ? b : b & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            unsigned char c = static_cast<unsigned char>(t[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            code = code << 6 | (c & 0x3F);
        }
        static const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const int mode = data.ConsumeIntegralInRange(0, 3);
    const std::string raw = data.ConsumeRemainingBytesAsString();

    if (mode == 0) { // UTF-8
        const Text t = textFrom(raw);
        const Bytes units = codePageToUtf16(t);
        check(t.empty() ? units.empty() : units.size() % 2 == 0 && units.size() >= 2);
        if (isUtf8(t))
            check(utf16ToCodePage(units, 65001) == t);
        check(utf8ToGbk(t) == utf16ToCodePage(units, 936));
        if (raw.find('\0') == std::string::npos && isUtf8(raw))
            check(utf8BytesToGbkText(raw) == utf8ToGbk(raw));
        check(utf8BytesToGbkText(raw).find('\0') == Text::npos);
    } else if (mode == 1) { // GBK
        const Text t = !raw.empty() && raw[0] & 1 ? gbkLikeText(raw) : textFrom(raw);
        const Bytes units = gbkToUtf16(t);
        if (!t.empty())
            check(units.size() >= 2 && units.compare(units.size() - 2, 2, Bytes(2, '\0')) == 0);
        if (gbkHoldsEach(t))
            check(utf16ToCodePage(units, 936) == t);
        if (!survey(units).combiningMark)
            check(utf16BytesToGbkText(units) == utf16ToCodePage(units, 936));
    } else { // UTF-16
        const Bytes& units = raw;
        const UnitsSurvey found = survey(units);
        const Text gbk = utf16ToCodePage(units, 936);
        const Bytes back =
            found.beforeNul == 0 ? Bytes() : units.substr(0, 2 * found.beforeNul) + Bytes(2, '\0');
        if (found.gbkHoldsEach)
            check(codePageToUtf16(gbk, 936) == back);
        if (!found.combiningMark)
            check(utf16BytesToGbkText(units) == gbk);
        check(utf16BytesToGbkText(units).find('\0') == Text::npos);
    }
    return 0;
}
