#include "platform/codepage/AsciiBlocks.h"
#include "platform/codepage/CodePageConverters.h"
#include "platform/codepage/GbkTables.h"

#include <cstdint>
#include <cstring>

namespace {

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

std::size_t gbkToUtf16Units(std::string_view bytes, char16_t* out) {
    const GbkTables& tables = gbkTables();
    if (!tables.complete) {
        return 0;
    }
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    char16_t* const begin = out;
    std::size_t i = 0;
    while (i < size) {
        const unsigned char byte = in[i];
        if (byte < 0x80) {
            if (size - i >= asciiBlockLength) {
                const std::size_t length = asciiPrefixLength(in + i);
                widenAsciiBlock(in + i, out);
                out += length;
                i += length;
            } else {
                *out++ = byte;
                ++i;
            }
        } else if (isGbkLeadByte(byte) && i + 1 < size) {
            const unsigned char next = in[i + 1];
            const char16_t unit = tables.pairUnits[byte - 0x81][next];
            // A refused pair is one '?'; its second byte goes with it only when it could be a
            // trail byte, so that ASCII after a stray lead survives.
            *out++ = unit != 0 ? unit : u'?';
            i += unit != 0 || isGbkTrailByte(next) ? 2 : 1;
        } else {
            *out++ = tables.loneHighByteUnits[byte - 0x80];
            ++i;
        }
    }
    return static_cast<std::size_t>(out - begin);
}

std::size_t utf16UnitsToGbk(std::u16string_view units, std::string_view replacement, char* out,
                            bool& usedReplacement) {
    usedReplacement = false;
    const GbkTables& tables = gbkTables();
    if (!tables.complete) {
        return 0;
    }
    const char16_t* in = units.data();
    const std::size_t size = units.size();
    char* const begin = out;
    std::size_t i = 0;
    while (i < size) {
        const char16_t unit = in[i];
        if (unit < 0x80) {
            if (size - i >= asciiBlockLength) {
                const std::size_t length = asciiPrefixLength(in + i);
                narrowAsciiBlock(in + i, out);
                out += length;
                i += length;
            } else {
                *out++ = static_cast<char>(unit);
                ++i;
            }
            continue;
        }
        ++i;
        const std::uint16_t code = tables.codes[unit];
        if (code > 0xFF) {
            out[0] = static_cast<char>(code >> 8);
            out[1] = static_cast<char>(code & 0xFF);
            out += 2;
        } else if (code != 0) {
            *out++ = static_cast<char>(code);
        } else {
            // GBK lacks the character; a surrogate pair is one character, and iconv drops
            // the tag characters U+E0000-U+E007F (DB40 DC00-DC7F) without a trace.
            if (isHighSurrogate(unit) && i < size && isLowSurrogate(in[i])) {
                const bool tag = unit == 0xDB40 && in[i] <= 0xDC7F;
                ++i;
                if (tag) {
                    continue;
                }
            }
            std::memcpy(out, replacement.data(), replacement.size());
            out += replacement.size();
            usedReplacement = true;
        }
    }
    return static_cast<std::size_t>(out - begin);
}

namespace {

// The GBK form of one character, '?' where GBK lacks it; iconv drops the tag characters.
char* putGbk(const GbkTables& tables, char32_t codePoint, char* out) {
    if (codePoint >= 0x10000) {
        const bool tag = codePoint >= 0xE0000 && codePoint <= 0xE007F;
        if (!tag) {
            *out++ = '?';
        }
        return out;
    }
    const std::uint16_t code = codePoint < 0x80 ? codePoint : tables.codes[codePoint];
    if (code > 0xFF) {
        out[0] = static_cast<char>(code >> 8);
        out[1] = static_cast<char>(code & 0xFF);
        return out + 2;
    }
    *out++ = code != 0 || codePoint == 0 ? static_cast<char>(code) : '?';
    return out;
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

} // namespace

std::size_t utf8ToGbkBytes(std::string_view bytes, char* out) {
    const GbkTables& tables = gbkTables();
    if (!tables.complete) {
        return 0;
    }
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    char* const begin = out;
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = in[i];
        if (lead < 0x80) {
            if (size - i >= asciiBlockLength) {
                const std::size_t length = asciiPrefixLength(in + i);
                std::memcpy(out, in + i, asciiBlockLength);
                out += length;
                i += length;
            } else {
                *out++ = static_cast<char>(lead);
                ++i;
            }
            continue;
        }
        // Chinese text is whole three-byte forms; everything else goes the general way.
        char32_t codePoint = 0;
        if (lead >= 0xE1 && lead <= 0xEF && lead != 0xED && size - i >= 3 &&
            isContinuation(in[i + 1]) && isContinuation(in[i + 2])) {
            codePoint = (lead & 0x0F) << 12 | (in[i + 1] & 0x3F) << 6 | (in[i + 2] & 0x3F);
            i += 3;
        } else {
            i += decodeUtf8Sequence(in + i, size - i, codePoint);
        }
        out = putGbk(tables, codePoint, out);
    }
    return static_cast<std::size_t>(out - begin);
}
