#include "text/CodePageConversion.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/codepage/CodePage.h"
#include "tests/text/RandomText.h"

namespace {

// One conversion of all of `bytes` by the Windows functions, as UTF-16 Bytes.
Bytes oneShotUtf16(const Text& bytes, UINT codePage) {
    std::u16string units(bytes.size(), u'\0');
    const int count = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                          units.data(), static_cast<int>(units.size()));
    return Bytes(reinterpret_cast<const char*>(units.data()), static_cast<std::size_t>(count) * 2);
}

Text oneShotGbk(const Bytes& utf16) {
    std::string bytes(utf16.size(), '\0');
    const int count = WideCharToMultiByte(936, 0, reinterpret_cast<const char16_t*>(utf16.data()),
                                          static_cast<int>(utf16.size() / 2), bytes.data(),
                                          static_cast<int>(bytes.size()), nullptr, nullptr);
    return bytes.substr(0, static_cast<std::size_t>(count));
}

// gbkToUtf16 the other way: into a buffer of the size it asks for.
Bytes gbkToUtf16ThroughBuffer(const Text& text) {
    std::u16string buffer(gbkToUtf16Bound(text) / 2, u'\0');
    const std::size_t written = gbkToUtf16Into(text, reinterpret_cast<char*>(buffer.data()));
    return Bytes(reinterpret_cast<const char*>(buffer.data()), written);
}

// Stretches from each alphabet in turn, some longer than the pieces the conversions work in.
Text stretches(std::mt19937& random, const std::string_view (&alphabets)[2]) {
    Text text;
    for (int i = 0; i < 8; ++i) {
        text += randomText(random, alphabets[i % 2], 40000);
    }
    return text;
}

TEST(CodePageConversion, Utf8ToGbk) {
    struct Case {
        const char* what;
        Text utf8, gbk;
    };
    const Case cases[] = {
        {"chinese", "\xE4\xB8\xAD", "\xD6\xD0"},
        {"ASCII", "<a href=x>", "<a href=x>"},
        {"empty", "", ""},
        {"euro", "\xE2\x82\xAC", "\x80"},
        {"not in GBK",
         "a\xE0\xB8\x81"
         "b",
         "a?b"},
        {"outside the BMP is one character", "\xF0\x9F\x98\x80!", "?!"},
        {"invalid UTF-8 becomes ?",
         "a\xFF"
         "b",
         "a?b"},
        {"truncated at the end", "a\xE4\xB8", "a?"},
        {"marks are not composed here", "e\xCC\x81", "e?"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8ToGbk(c.utf8), c.gbk) << c.what;
    }
}

TEST(CodePageConversion, Utf8BytesToGbkText) {
    struct Case {
        const char* what;
        Bytes utf8;
        Text gbk;
    };
    const Case cases[] = {
        {"chinese", Bytes("\xE4\xB8\xAD"), "\xD6\xD0"},
        {"zero byte ends the text", Bytes("a\0b", 3), "a"},
        {"leading zero byte", Bytes("\0a", 2), ""},
        {"empty", Bytes(), ""},
        {"invalid byte", Bytes("\xC0"), "?"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8BytesToGbkText(c.utf8), c.gbk) << c.what;
    }
}

TEST(CodePageConversion, Utf16AndGbk) {
    EXPECT_EQ(gbkToUtf16("\xD6\xD0"), Bytes("\x2D\x4E\0\0", 4));
    EXPECT_EQ(gbkToUtf16("a"), Bytes("a\0\0\0", 4));
    EXPECT_EQ(gbkToUtf16(""), Bytes());
    for (const Text& text : {Text("\xD6\xD0"), Text(), Text("a\0b", 3), Text("\xD6")}) {
        EXPECT_EQ(gbkToUtf16ThroughBuffer(text), gbkToUtf16(text));
    }
    EXPECT_EQ(codePageToUtf16("\xE4\xB8\xAD"), Bytes("\x2D\x4E\0\0", 4)); // UTF-8 by default
    EXPECT_EQ(codePageToUtf16("a", 12345), Bytes());                      // unknown code page

    struct Case {
        const char* what;
        Bytes utf16;
        Text gbk;
    };
    const Case cases[] = {
        {"with the NUL unit", Bytes("\x2D\x4E\0\0", 4), "\xD6\xD0"},
        {"without it", Bytes("\x2D\x4E", 2), "\xD6\xD0"},
        {"odd last byte ignored", Bytes("\x2D\x4E\x41", 3), "\xD6\xD0"},
        {"NUL unit inside ends the text", Bytes("a\0\0\0b\0", 6), "a"},
        {"composes e + acute", Bytes("e\0\x01\x03", 4), "\xA8\xA6"},
        {"lone surrogate", Bytes("\x3D\xD8", 2), "?"},
        {"empty", Bytes(), ""},
        {"one byte only", Bytes("a"), ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf16BytesToGbkText(c.utf16), c.gbk) << c.what;
    }
}

TEST(CodePageConversion, Utf16ToCodePageStopsAtNulUnit) {
    struct Case {
        const char* what;
        Bytes utf16;
        std::uint32_t codePage;
        Text expected;
    };
    const Case cases[] = {
        {"GBK", Bytes("\x2D\x4E\0\0", 4), 936, "\xD6\xD0"},
        {"system code page is GBK", Bytes("\x2D\x4E", 2), 0, "\xD6\xD0"},
        {"UTF-8", Bytes("\x2D\x4E", 2), 65001, "\xE4\xB8\xAD"},
        {"units after the NUL unit ignored", Bytes("a\0\0\0b\0", 6), 936, "a"},
        {"no composition here", Bytes("e\0\x01\x03", 4), 936, "e?"},
        {"unknown code page", Bytes("a\0", 2), 12345, ""},
        {"empty", Bytes(), 936, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf16ToCodePage(c.utf16, c.codePage), c.expected) << c.what;
    }
}

// Long texts convert piece by piece; no cut between pieces may split a character.
TEST(CodePageConversion, LongTextsConvertAsInOneGo) {
    std::mt19937 random(936);
    // GBK with no byte below 0x40 for long stretches, then with such bytes now and then.
    const std::string_view gbkAlphabets[] = {"\xD6\xD0\xCE\xC4\x81\x40\xFE\xA1\x80\xFF\x7F",
                                             "\xD6\xD0\xCE\xC4\x81\x40\xFE ab\n"};
    // UTF-8 with runs of continuation bytes and broken sequences, then mostly well formed.
    const std::string_view utf8Alphabets[] = {"\xE4\xB8\xAD\x80\xBF\xC3\xF0\x9F\x98\xED\xA0",
                                              "\xE4\xB8\xAD\xE6\x96\x87\xF0\x9F\x98\x80 a"};
    for (int round = 0; round < 4; ++round) {
        const Text gbk = stretches(random, gbkAlphabets);
        EXPECT_EQ(gbkToUtf16(gbk), oneShotUtf16(gbk, 936) + Bytes(2, '\0')) << round;
        EXPECT_EQ(gbkToUtf16ThroughBuffer(gbk), gbkToUtf16(gbk)) << round;
        const Text utf8 = stretches(random, utf8Alphabets);
        const Bytes utf16 = oneShotUtf16(utf8, CP_UTF8);
        EXPECT_EQ(codePageToUtf16(utf8), utf16 + Bytes(2, '\0')) << round;
        EXPECT_EQ(utf8ToGbk(utf8), oneShotGbk(utf16)) << round;
        EXPECT_EQ(utf8BytesToGbkText(utf8), oneShotGbk(utf16)) << round;
    }
}

// Every GBK double-byte character survives the trip through UTF-16 and back, in one text.
TEST(CodePageConversion, GbkRoundTripsThroughUtf16) {
    Text all;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const Text code{static_cast<char>(lead), static_cast<char>(trail)};
            if (trail != 0x7F && utf16ToCodePage(gbkToUtf16(code), 936) == code) {
                all += code;
            }
        }
    }
    all += "\x80 ascii";
    EXPECT_EQ(all.size(), 21791u * 2 + 7);
    EXPECT_EQ(utf16ToCodePage(codePageToUtf16(all, 936), 936), all);
    EXPECT_EQ(utf16BytesToGbkText(gbkToUtf16(all)), all);
    EXPECT_EQ(utf8ToGbk(utf16ToCodePage(gbkToUtf16(all), 65001)), all);
}

} // namespace
