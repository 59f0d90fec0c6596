#include "text/TextBetween.h"

#include <gtest/gtest.h>

namespace {

TEST(TextBetween, CutsBetweenMarkers) {
    struct Case {
        const char* what;
        Text text, left, right;
        int start;
        bool ignoreCase;
        Text expected;
    };
    const Case cases[] = {
        {"version page", "<h2 class=\"title content-title\">4106</h2>", "title content-title\">",
         "</h2>", 0, false, "4106"},
        {"adjacent markers", "[]", "[", "]", 0, false, ""},
        {"left marker at the end", "ab[", "[", "]", 0, false, ""},
        {"right marker only before the left", "]a[b", "[", "]", 0, false, ""},
        {"left twice: first one wins", "[a[b]", "[", "]", 0, false, "a[b"},
        {"first right after the left", "[a]b]", "[", "]", 0, false, "a"},
        {"start skips the first left", "[a][b]", "[", "]", 2, false, "b"},
        {"missing left", "abc", "[", "]", 0, false, ""},
        {"missing right", "[abc", "[", "]", 0, false, ""},
        {"empty text", "", "[", "]", 0, false, ""},
        {"empty left is found at byte 1", "ab]c", "", "]", 0, false, "ab"},
        {"empty right gives nothing", "[ab", "[", "", 0, false, ""},
        {"right never inside the left", "<a>b>", "<a>", ">", 0, false, "b"},
        {"user agent", "Host: x\r\nUser-Agent: Mozilla/4.0\r\nAccept: */*\r\n",
         "User-Agent:", "\r\n", 0, false, " Mozilla/4.0"},
        {"quote markers", "a=\"v1\" b=\"v2\"", "#引号", "#引号", 0, false, "v1"},
        {"quote marker inside a marker", "href=\"x.htm\">", "href=#引号", "#引号>", 0, false,
         "x.htm"},
        {"marker text itself is not a quote", "#引号v#引号", "#引号", "#引号", 0, false, ""},
        {"ignoreCase", "<H2>Title</H2>", "<h2>", "</h2>", 0, true, "Title"},
        {"case kept by default", "<H2>Title</H2>", "<h2>", "</h2>", 0, false, ""},
        {"chinese markers", "版本：4106。", "版本：", "。", 0, false, "4106"},
        // 81 5B is one character: its "[" is no marker.
        {"marker on a trail byte", "\x81[x[y]", "[", "]", 0, false, "y"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(textBetween(c.text, c.left, c.right, c.start, c.ignoreCase), c.expected)
            << c.what;
    }
}

TEST(TextBetween, ExpandsEveryQuoteMarker) {
    struct Case {
        Text text, expected;
    };
    const Case cases[] = {
        {"#引号", "\""}, {"a#引号b#引号", "a\"b\""},  {"#引", "#引"},
        {"", ""},        {"#\xD2\xFD\xBA\xC5", "\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(expandQuoteMarkers(c.text), c.expected) << c.text;
    }
}

} // namespace
