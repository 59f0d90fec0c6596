#include "text/Text.h"

#include <gtest/gtest.h>

namespace {

TEST(TextBasics, CompareOrdersByUnsignedBytes) {
    struct Case {
        Text a, b;
        int expected;
    };
    const Case cases[] = {
        {"", "", 0},         {"abc", "abc", 0}, {"abc", "abd", -1},
        {"abd", "abc", 1},   {"ab", "abc", -1}, // a prefix sorts first
        {"\x80", "\x7F", 1},                    // high bytes are above ASCII, not negative
        {"\xFF", "\x80", 1}, {"中", "中", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compareText(c.a, c.b), c.expected) << '"' << c.a << "\" vs \"" << c.b << '"';
    }
}

TEST(TextBasics, ConcatKeepsZeroBytesInBytes) {
    EXPECT_EQ(concatText("ab", "cd"), "abcd");
    EXPECT_EQ(concatText("", ""), "");
    EXPECT_EQ(concatBytes(Bytes("a\0", 2), Bytes("\0b", 2)), Bytes("a\0\0b", 4));
}

TEST(TextBasics, CutsCountPlainBytes) {
    const Text t = "ab中c"; // 61 62 D6 D0 63
    struct Case {
        const char* what;
        Text actual, expected;
    };
    const Case cases[] = {
        {"left 2", leftText(t, 2), "ab"},
        {"left cuts a character in half", leftText(t, 3), "ab\xD6"},
        {"left beyond length", leftText(t, 99), t},
        {"left 0", leftText(t, 0), ""},
        {"left negative", leftText(t, -3), ""},
        {"right 1", rightText(t, 1), "c"},
        {"right 2", rightText(t, 2),
         "\xD0"
         "c"},
        {"right beyond length", rightText(t, 99), t},
        {"right 0", rightText(t, 0), ""},
        {"mid 3,2", midText(t, 3, 2), "中"},
        {"mid to the end", midText(t, 4, 99),
         "\xD0"
         "c"},
        {"mid at last byte", midText(t, 5, 1), "c"},
        {"mid beyond length", midText(t, 6, 1), ""},
        {"mid pos 0", midText(t, 0, 2), ""},
        {"mid n 0", midText(t, 1, 0), ""},
        {"mid huge n", midText(t, 2, 2147483647), "b中c"},
        {"left of empty", leftText("", 3), ""},
        {"leftBytes keeps zeros", leftBytes(Bytes("\0\0x", 3), 2), Bytes("\0\0", 2)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.actual, c.expected) << c.what;
    }
    EXPECT_EQ(textLength(t), 5);
    EXPECT_EQ(textLength(""), 0);
    EXPECT_EQ(bytesLength(Bytes("\0\0", 2)), 2);
    EXPECT_EQ(arraySize(TextArray{"a", ""}), 2);
}

TEST(TextBasics, BytesToTextStopsAtFirstZero) {
    struct Case {
        Bytes bytes;
        Text text;
    };
    const Case cases[] = {
        {Bytes("ab", 2), "ab"}, {Bytes("a\0b", 3), "a"},      {Bytes("\0ab", 3), ""},
        {Bytes(), ""},          {Bytes("\xD6\xD0", 2), "中"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toText(c.bytes), c.text);
        EXPECT_EQ(toText(Bytes(c.bytes)), c.text); // given up and cut in place
        EXPECT_EQ(dataFromBytes(c.bytes, textKind), c.text);
        EXPECT_EQ(dataFromBytes(c.bytes, 1), ""); // only the text kind is known
    }
    EXPECT_EQ(toBytes("ab中"), Bytes("ab\xD6\xD0", 4));
}

TEST(TextBasics, BlanksAndCharacterCodes) {
    EXPECT_EQ(blankText(3), "   ");
    EXPECT_EQ(blankText(0), "");
    EXPECT_EQ(blankText(-1), "");
    EXPECT_EQ(blankBytes(2), Bytes("\0\0", 2));
    EXPECT_EQ(blankBytes(0), Bytes());
    EXPECT_EQ(charFromCode('A'), "A");
    EXPECT_EQ(charFromCode(0xD6), "\xD6");
    EXPECT_EQ(charFromCode(0), "");
}

} // namespace
