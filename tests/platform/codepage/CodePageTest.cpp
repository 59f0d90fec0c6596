#include "platform/codepage/CodePage.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <random>
#include <string>

namespace {

constexpr const char* nativeUtf16 =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

std::u16string toWide(UINT codePage, const std::string& bytes) {
    const int needed =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(needed), u'\0');
    const int written = MultiByteToWideChar(codePage, 0, bytes.data(),
                                            static_cast<int>(bytes.size()), wide.data(), needed);
    EXPECT_EQ(written, needed);
    return wide;
}

std::string toMultiByte(UINT codePage, const std::u16string& wide, DWORD flags = 0) {
    const int needed = WideCharToMultiByte(
        codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    const int written =
        WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()),
                            bytes.data(), needed, nullptr, nullptr);
    EXPECT_EQ(written, needed);
    return bytes;
}

// glibc's own answer for one conversion, or nullopt-like false when it refuses.
class DirectIconv {
  public:
    DirectIconv(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
    ~DirectIconv() { iconv_close(descriptor_); }
    bool convert(const void* input, std::size_t length, std::string& output) {
        iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
        char buffer[16];
        char* in = static_cast<char*>(const_cast<void*>(input));
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(descriptor_, &in, &length, &out, &outLeft) == static_cast<std::size_t>(-1) ||
            length != 0) {
            return false;
        }
        output.assign(buffer, sizeof buffer - outLeft);
        return true;
    }

  private:
    iconv_t descriptor_;
};

TEST(CodePage, EveryDoubleByteCodeMatchesIconvBothWays) {
    DirectIconv decoder(nativeUtf16, "CP936");
    int mapped = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) {
                continue;
            }
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            std::string expected;
            const std::u16string wide = toWide(936, code);
            if (!decoder.convert(code.data(), 2, expected)) {
                EXPECT_EQ(wide, u"?") << std::hex << lead << ' ' << trail;
                continue;
            }
            ++mapped;
            ASSERT_EQ(expected.size(), 2u);
            ASSERT_EQ(wide.size(), 1u) << std::hex << lead << ' ' << trail;
            EXPECT_EQ(std::memcmp(wide.data(), expected.data(), 2), 0)
                << std::hex << lead << ' ' << trail;
            EXPECT_EQ(toMultiByte(936, wide), code) << std::hex << lead << ' ' << trail;
        }
    }
    EXPECT_EQ(mapped, 21791); // code page 936 without its user-defined areas
}

// UTF-8 to GBK in the one pass that skips UTF-16.
std::string straightToGbk(const std::string& utf8) {
    std::string gbk(utf8.size(), '\0');
    const int written = Utf8ToGbk(utf8.data(), static_cast<int>(utf8.size()), gbk.data());
    gbk.resize(static_cast<std::size_t>(written));
    return gbk;
}

// glibc's streaming answer for a whole GBK input: each sequence it refuses becomes one '?',
// taking the byte after a lead along when that could be a trail byte.
std::u16string decodedByIconv(const std::string& bytes) {
    iconv_t descriptor = iconv_open(nativeUtf16, "CP936");
    std::u16string wide(bytes.size(), u'\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* out = reinterpret_cast<char*>(wide.data());
    std::size_t outLeft = wide.size() * 2;
    while (inLeft > 0 && iconv(descriptor, &in, &inLeft, &out, &outLeft) == std::size_t(-1)) {
        const auto lead = static_cast<unsigned char>(in[0]);
        const auto next = inLeft >= 2 ? static_cast<unsigned char>(in[1]) : 0;
        const bool pair =
            lead >= 0x81 && lead <= 0xFE && next >= 0x40 && next <= 0xFE && next != 0x7F;
        const std::size_t skip = pair ? 2 : 1;
        std::memcpy(out, u"?", 2);
        out += 2;
        outLeft -= 2;
        in += skip;
        inLeft -= skip;
    }
    iconv_close(descriptor);
    wide.resize(wide.size() - outLeft / 2);
    return wide;
}

// glibc's streaming answer for whole UTF-16 input: each character it refuses, a pair or a lone
// surrogate, becomes one '?'.
std::string encodedByIconv(const std::u16string& wide) {
    iconv_t descriptor = iconv_open("CP936", nativeUtf16);
    std::string bytes(wide.size() * 2, '\0');
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(wide.data()));
    std::size_t inLeft = wide.size() * 2;
    char* out = bytes.data();
    std::size_t outLeft = bytes.size();
    while (inLeft > 0 && iconv(descriptor, &in, &inLeft, &out, &outLeft) == std::size_t(-1)) {
        char16_t first, second = 0;
        std::memcpy(&first, in, 2);
        if (inLeft >= 4) {
            std::memcpy(&second, in + 2, 2);
        }
        const bool pair =
            first >= 0xD800 && first <= 0xDBFF && second >= 0xDC00 && second <= 0xDFFF;
        const std::size_t skip = pair ? 4 : 2;
        *out++ = '?';
        --outLeft;
        in += skip;
        inLeft -= skip;
    }
    iconv_close(descriptor);
    bytes.resize(bytes.size() - outLeft);
    return bytes;
}

// Long texts in which runs of ASCII, table lookups and refusals take turns at every offset.
TEST(CodePage, LongMixedTextsConvertAsIconvDoes) {
    std::mt19937 random(14);
    const std::string bytes =
        "abcdefghijklmnopqrstuvwxyz0123456789 <>=\"\n\x81\xD6\xD0\xFE\x80\xFF\xA1\xB0\x40";
    const std::u16string units = u"abcdefghijklmnopqrstuvwxyz0123456789 <>\n中文€\x0E01\x0301\xFFFF"
                                 u"\xD83D\xDE00\xDB40\xDC01\xE000";
    // Broken, overlong and surrogate forms, a tag character and whole Chinese characters.
    const std::string utf8Bytes = "abcdefghijklmnopqrstuvwxyz <>\n\xE4\xB8\xAD\xE6\x96\x87"
                                  "\x80\xBF\xC3\xA9\xE0\xA0\xED\xF0\x9F\x98\x80\xF3\xA0\x80"
                                  "\x81\xFF";
    for (int round = 0; round < 300; ++round) {
        std::string gbk(random() % 3000, ' ');
        for (char& byte : gbk) {
            byte = bytes[random() % bytes.size()];
        }
        ASSERT_EQ(toWide(936, gbk), decodedByIconv(gbk)) << round;
        std::u16string wide(random() % 3000, u' ');
        for (char16_t& unit : wide) {
            unit = units[random() % units.size()];
        }
        ASSERT_EQ(toMultiByte(936, wide), encodedByIconv(wide)) << round;
        std::string utf8(random() % 3000, ' ');
        for (char& byte : utf8) {
            byte = utf8Bytes[random() % utf8Bytes.size()];
        }
        ASSERT_EQ(straightToGbk(utf8), toMultiByte(936, toWide(CP_UTF8, utf8))) << round;
    }
}

TEST(CodePage, EveryInputOfOneOrTwoBytesDecodesAsIconvDoes) {
    for (int first = 0; first <= 0xFF; ++first) {
        const std::string single(1, static_cast<char>(first));
        ASSERT_EQ(toWide(936, single), decodedByIconv(single)) << std::hex << first;
        for (int second = 0; second <= 0xFF; ++second) {
            const std::string bytes{static_cast<char>(first), static_cast<char>(second)};
            ASSERT_EQ(toWide(936, bytes), decodedByIconv(bytes))
                << std::hex << first << ' ' << second;
        }
    }
}

// GBK holds nothing beyond the BMP; glibc drops the tag characters U+E0000-U+E007F without a
// trace and refuses the rest, each pair one character.
TEST(CodePage, EveryCharacterBeyondTheBmpMatchesIconvOrBecomesQuestionMark) {
    DirectIconv encoder("CP936", nativeUtf16);
    std::u16string wide;
    std::string expected;
    for (std::uint32_t character = 0x10000; character <= 0x10FFFF; ++character) {
        const char16_t pair[] = {static_cast<char16_t>(0xD800 + ((character - 0x10000) >> 10)),
                                 static_cast<char16_t>(0xDC00 + ((character - 0x10000) & 0x3FF))};
        std::string converted;
        expected += encoder.convert(pair, sizeof pair, converted) ? converted : "?";
        wide.append(pair, 2);
    }
    EXPECT_EQ(toMultiByte(936, wide), expected);
    EXPECT_EQ(expected.size(), 0x100000u - 0x80u);
}

TEST(CodePage, EveryBmpCharacterMatchesIconvOrBecomesQuestionMark) {
    DirectIconv encoder("CP936", nativeUtf16);
    for (unsigned unit = 1; unit <= 0xFFFF; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            continue;
        }
        const std::u16string wide(1, static_cast<char16_t>(unit));
        std::string expected;
        if (!encoder.convert(wide.data(), 2, expected)) {
            expected = "?";
        }
        ASSERT_EQ(toMultiByte(CP_ACP, wide), expected) << std::hex << unit;
    }
}

TEST(CodePage, GbkBytesAtTheEdges) {
    struct Case {
        const char* what;
        std::string bytes;
        std::u16string wide;
    };
    const Case cases[] = {
        {"ASCII", "a\x7F", u"a\x7F"},
        {"0x80 is the euro sign", "\x80", u"€"},
        {"0xFF is no character",
         "\xFF"
         "a",
         u"?a"},
        {"lowest code", "\x81\x40", u"丂"},
        {"highest lead", "\xFE\x4F", u"\xFA29"},
        {"lead 0xFE with trail 0xFE is unmapped", "\xFE\xFE", u"?"},
        {"trail 0x3F is no trail: the ? survives", "\x81\x3F", u"??"},
        {"trail 0x7E", "\x81\x7E", u"亊"},
        {"trail 0x7F is no trail", "\x81\x7F", u"?\x7F"},
        {"trail 0x80", "\x81\x80", u"亐"},
        {"stray lead keeps the next ASCII", "\xD6\n", u"?\n"},
        {"half a character at the end", "a\xD6", u"a?"},
        {"zero byte converts", std::string("\xD6\xD0\0a", 4), std::u16string(u"中\0a", 3)},
        {"ideographic space", "\xA1\xA1", u"\x3000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toWide(936, c.bytes), c.wide) << c.what;
    }
}

TEST(CodePage, Utf8DecodesLikeWindows) {
    struct Case {
        const char* what;
        std::string bytes;
        std::u16string wide;
    };
    const Case cases[] = {
        {"ASCII", "ab", u"ab"},
        {"three bytes", "\xE4\xB8\xAD", u"中"},
        {"four bytes give a pair", "\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
        {"highest code point", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD"},
        {"overlong two bytes", "\xC0\xAF", u"\xFFFD\xFFFD"},
        {"overlong three bytes", "\xE0\x80\xAF", u"\xFFFD\xFFFD\xFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\xFFFD\xFFFD\xFFFD"},
        {"lone continuation",
         "a\x80"
         "b",
         u"a\xFFFD"
         "b"},
        {"truncated at the end: one replacement", "a\xE4\xB8", u"a\xFFFD"},
        {"broken sequence rereads the breaker",
         "\xE4\xB8"
         "a",
         u"\xFFFD"
         "a"},
        {"invalid lead 0xFF", "\xFF", u"\xFFFD"},
        {"zero byte", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toWide(CP_UTF8, c.bytes), c.wide) << c.what;
    }
}

// Every scalar value, one after another in one text, both ways between UTF-8 and UTF-16.
TEST(CodePage, EveryScalarValueCrossesBetweenUtf8AndUtf16) {
    std::string utf8;
    std::u16string utf16;
    DirectIconv encoder("UTF-8", nativeUtf16);
    for (std::uint32_t character = 1; character <= 0x10FFFF; ++character) {
        if (character >= 0xD800 && character <= 0xDFFF) {
            continue;
        }
        std::u16string units;
        if (character < 0x10000) {
            units = std::u16string(1, static_cast<char16_t>(character));
        } else {
            units = {static_cast<char16_t>(0xD800 + ((character - 0x10000) >> 10)),
                     static_cast<char16_t>(0xDC00 + ((character - 0x10000) & 0x3FF))};
        }
        std::string encoded;
        ASSERT_TRUE(encoder.convert(units.data(), units.size() * 2, encoded));
        utf8 += encoded;
        utf16 += units;
    }
    EXPECT_TRUE(toWide(CP_UTF8, utf8) == utf16);
    EXPECT_TRUE(toMultiByte(CP_UTF8, utf16) == utf8);
    EXPECT_TRUE(straightToGbk(utf8) == toMultiByte(936, utf16));
}

TEST(CodePage, Utf16EncodesToUtf8AndGbk) {
    struct Case {
        const char* what;
        std::u16string wide;
        std::string utf8, gbk;
    };
    const Case cases[] = {
        {"ASCII", u"a", "a", "a"},
        {"chinese", u"中", "\xE4\xB8\xAD", "\xD6\xD0"},
        {"euro", u"€", "\xE2\x82\xAC", "\x80"},
        {"two-byte UTF-8", u"é", "\xC3\xA9", "\xA8\xA6"},
        {"pair is one character", u"\xD83D\xDE00", "\xF0\x9F\x98\x80", "?"},
        {"lone high surrogate",
         u"\xD83D"
         "a",
         "\xEF\xBF\xBD"
         "a",
         "?a"},
        {"lone low surrogate", u"\xDE00", "\xEF\xBF\xBD", "?"},
        {"high surrogate at the end", u"a\xD83D", "a\xEF\xBF\xBD", "a?"},
        {"replacement character", u"\xFFFD", "\xEF\xBF\xBD", "?"},
        {"missing in GBK",
         u"a\x0E01"
         "b",
         "a\xE0\xB8\x81"
         "b",
         "a?b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toMultiByte(CP_UTF8, c.wide), c.utf8) << c.what;
        EXPECT_EQ(toMultiByte(936, c.wide), c.gbk) << c.what;
    }
}

TEST(CodePage, CompositeCheckComposesWhereGbkHasTheLetter) {
    struct Case {
        const char* what;
        std::u16string wide;
        std::string composed, separate;
    };
    const Case cases[] = {
        {"e acute", u"e\x0301", "\xA8\xA6", "e?"},
        {"a macron", u"a\x0304", "\xA8\xA1", "a?"},
        {"u caron", u"u\x030C", "\xA8\xB3", "u?"},
        {"u diaeresis then acute", u"u\x0308\x0301", "\xA8\xB6", "u??"},
        {"precomposed u diaeresis plus grave", u"\x00FC\x0300", "\xA8\xB8", "\xA8\xB9?"},
        {"e circumflex", u"e\x0302", "\xA8\xBA", "e?"},
        {"cyrillic io", u"\x0435\x0308", "\xA7\xD7", "\xA7\xD6?"},
        {"capital E acute is not in GBK", u"E\x0301", "E?", "E?"},
        {"a tilde is not in GBK", u"a\x0303", "a?", "a?"},
        {"mark with no base", u"\x0301", "?", "?"},
        {"chinese then mark", u"中\x0301", "\xD6\xD0?", "\xD6\xD0?"},
        {"plain text unchanged", u"abc", "abc", "abc"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toMultiByte(936, c.wide, WC_COMPOSITECHECK), c.composed) << c.what;
        EXPECT_EQ(toMultiByte(936, c.wide), c.separate) << c.what;
    }
}

TEST(CodePage, WindowsCallingConvention) {
    char16_t wide[8] = {};
    char bytes[8] = {};
    // -1 takes the NUL along.
    EXPECT_EQ(MultiByteToWideChar(936, 0, "\xD6\xD0", -1, nullptr, 0), 2);
    EXPECT_EQ(MultiByteToWideChar(936, 0, "\xD6\xD0", -1, wide, 8), 2);
    EXPECT_EQ(std::u16string(wide, 2), std::u16string(u"中\0", 2));
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"中", -1, nullptr, 0, nullptr, nullptr), 3);
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"中", -1, bytes, 8, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(bytes, 3), std::string("\xD6\xD0\0", 3));
    // A buffer too small fails; so do a zero length, a bad length, and unknown code pages.
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"中", 1, bytes, 1, nullptr, nullptr), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", 2, wide, 1), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", 0, wide, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", -2, wide, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, nullptr, 2, wide, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "ab", 2, nullptr, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "ab", 2, wide, 8), 0);
    EXPECT_EQ(WideCharToMultiByte(12345, 0, u"a", 1, bytes, 8, nullptr, nullptr), 0);
    // The system code page is 936.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xD6\xD0", 2, wide, 8), 1);
    EXPECT_EQ(wide[0], u'中');
    // UTF-8 refuses a default character and flags, as Windows does.
    BOOL used = 7;
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, bytes, 8, nullptr, &used), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_COMPOSITECHECK, u"a", 1, bytes, 8, nullptr, nullptr),
              0);
    // A default character of the caller's replaces '?', and the caller learns it was used.
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"a\x0E01", 2, bytes, 8, "*", &used), 2);
    EXPECT_EQ(std::string(bytes, 2), "a*");
    EXPECT_EQ(used, 1);
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"a", 1, bytes, 8, nullptr, &used), 1);
    EXPECT_EQ(used, 0);
}

} // namespace
