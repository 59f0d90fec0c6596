#include "text/Text.h"

#include <gtest/gtest.h>

namespace {

TEST(TextSpaces, ToIntReadsLeadingNumber) {
    struct Case {
        Text text;
        int expected;
    };
    const Case cases[] = {
        {"4106", 4106},
        {"  42abc", 42},
        {"\t\r\n7", 7},
        {"-12", -12},
        {"+12", 12},
        {"- 12", 0}, // the sign must touch the digits
        {"abc", 0},
        {"", 0},
        {"--1", 0},
        {"１２３", 123},      // full-width digits
        {"\xA1\xA1－４", -4}, // ideographic space and full-width minus
        {"＋7", 7},
        {"1２3", 123},
        {"12中3", 12},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"99999999999", 2147483647}, // out of range saturates
        {"-99999999999", -2147483647 - 1},
        {"\xA3", 0},         // half a character at the end
        {"\xA1\xA1", 0},     // only a space
        {"\xA3\xB0\xA3", 0}, // full-width 0 then half a character
        {"\xB0\xA3\xB1", 0}, // A3 here is a trail byte, so no digit 1
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toInt(c.text), c.expected) << testing::PrintToString(c.text);
    }
}

TEST(TextSpaces, TrimAndRemoveSpaces) {
    struct Case {
        Text text, trimmed, removed;
    };
    const Case cases[] = {
        {"  a b  ", "a b", "ab"},
        {"\xA1\xA1"
         "a\xA1\xA1"
         "b\xA1\xA1",
         "a\xA1\xA1"
         "b",
         "ab"},
        {"\t a \t", "\t a \t", "\ta\t"}, // only 0x20 and A1 A1 are spaces
        {"", "", ""},
        {"   ", "", ""},
        {"中 文", "中 文", "中文"},
        // B0 A1 | A1 A1: the last character is a space, the first is not.
        {"\xB0\xA1\xA1\xA1", "\xB0\xA1", "\xB0\xA1"},
        // B0 A1 | A1: the A1 A1 straddles two characters and is no space.
        {"\xB0\xA1\xA1", "\xB0\xA1\xA1", "\xB0\xA1\xA1"},
        // 81 20 is one character.
        {"\x81 ", "\x81 ", "\x81 "},
        {" \xA1", "\xA1", "\xA1"}, // half a character at the end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(trimBoth(c.text), c.trimmed) << testing::PrintToString(c.text);
        EXPECT_EQ(removeAllSpaces(c.text), c.removed) << testing::PrintToString(c.text);
    }
}

TEST(TextSpaces, ToLowerFoldsOnlyOneByteLetters) {
    struct Case {
        Text text, expected;
    };
    const Case cases[] = {
        {"AbZ@[", "abz@["},
        {"", ""},
        {"中A", "中a"},
        {"\x81"
         "AA",
         "\x81"
         "Aa"}, // 81 41 is a character, not a letter
        {"\xC0\xC1", "\xC0\xC1"},
        {"A\x81", "a\x81"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toLower(c.text), c.expected) << testing::PrintToString(c.text);
    }
}

} // namespace
