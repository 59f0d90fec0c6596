#include "platform/codepage/AsciiBlocks.h"
#include "platform/codepage/CodePageConverters.h"

namespace {

constexpr char16_t replacementCharacter = 0xFFFD;

bool isContinuation(unsigned char byte, unsigned char low = 0x80, unsigned char high = 0xBF) {
    return byte >= low && byte <= high;
}

char16_t* putCodePoint(char16_t* out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        *out++ = static_cast<char16_t>(codePoint);
        return out;
    }
    codePoint -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (codePoint >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    return out;
}

} // namespace

std::size_t decodeUtf8Sequence(const unsigned char* in, std::size_t available,
                               char32_t& codePoint) {
    const unsigned char lead = in[0];
    std::size_t length = 0;
    // The second byte's range also rules out overlong forms, surrogates and values above
    // U+10FFFF.
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        secondLow = lead == 0xE0 ? 0xA0 : 0x80;
        secondHigh = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        secondLow = lead == 0xF0 ? 0x90 : 0x80;
        secondHigh = lead == 0xF4 ? 0x8F : 0xBF;
    }
    // Take continuation bytes while they fit; a broken sequence is replaced as far as it went
    // (its maximal subpart) and the byte that broke it is read afresh.
    std::size_t taken = 1;
    while (taken < length && taken < available) {
        const unsigned char byte = in[taken];
        const bool fits =
            taken == 1 ? isContinuation(byte, secondLow, secondHigh) : isContinuation(byte);
        if (!fits) {
            break;
        }
        codePoint = (codePoint << 6) | (byte & 0x3F);
        ++taken;
    }
    if (length == 0 || taken != length) {
        codePoint = replacementCharacter;
    }
    return taken;
}

std::size_t utf8ToUtf16Units(std::string_view bytes, char16_t* out) {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    char16_t* const begin = out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = in[i];
        if (lead < 0x80) {
            if (bytes.size() - i >= asciiBlockLength) {
                const std::size_t length = asciiPrefixLength(in + i);
                widenAsciiBlock(in + i, out);
                out += length;
                i += length;
            } else {
                *out++ = static_cast<char16_t>(lead);
                ++i;
            }
            continue;
        }
        // The common case of Chinese text, a whole three-byte form, without the general loop.
        if (lead >= 0xE0 && lead <= 0xEF && bytes.size() - i >= 3 &&
            isContinuation(in[i + 1], lead == 0xE0 ? 0xA0 : 0x80, lead == 0xED ? 0x9F : 0xBF) &&
            isContinuation(in[i + 2])) {
            *out++ = static_cast<char16_t>((lead & 0x0F) << 12 | (in[i + 1] & 0x3F) << 6 |
                                           (in[i + 2] & 0x3F));
            i += 3;
            continue;
        }
        char32_t codePoint = 0;
        i += decodeUtf8Sequence(in + i, bytes.size() - i, codePoint);
        out = putCodePoint(out, codePoint);
        continue;
    }
    return static_cast<std::size_t>(out - begin);
}

std::size_t utf16UnitsToUtf8(std::u16string_view units, char* out) {
    char* const begin = out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t codePoint = units[i];
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            const bool paired = codePoint <= 0xDBFF && i + 1 < units.size() &&
                                units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
            if (paired) {
                codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (units[i + 1] - 0xDC00);
                ++i;
            } else {
                codePoint = replacementCharacter;
            }
        }
        if (codePoint < 0x80) {
            *out++ = static_cast<char>(codePoint);
        } else if (codePoint < 0x800) {
            *out++ = static_cast<char>(0xC0 | (codePoint >> 6));
            *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
        } else if (codePoint < 0x10000) {
            *out++ = static_cast<char>(0xE0 | (codePoint >> 12));
            *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
        } else {
            *out++ = static_cast<char>(0xF0 | (codePoint >> 18));
            *out++ = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
        }
    }
    return static_cast<std::size_t>(out - begin);
}
