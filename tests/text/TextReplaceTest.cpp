#include "text/Text.h"

#include <gtest/gtest.h>

#include "tests/text/RandomText.h"

namespace {

TEST(ReplaceSubtext, ReplacesLeftToRight) {
    struct Case {
        const char* what;
        Text text, find, repl;
        int start, count;
        bool caseSensitive;
        Text expected;
    };
    const Case cases[] = {
        {"all", "a-b-c", "-", "+", 1, -1, true, "a+b+c"},
        {"deletes with empty repl", "a-b-c", "-", "", 1, -1, true, "abc"},
        {"count 1", "a-b-c", "-", "+", 1, 1, true, "a+b-c"},
        {"count 0 replaces nothing", "a-b-c", "-", "+", 1, 0, true, "a-b-c"},
        {"count above occurrences", "a-b", "-", "+", 1, 5, true, "a+b"},
        {"from start keeps the head", "a-b-c", "-", "+", 3, -1, true, "a-b+c"},
        {"start below 1 means 1", "-a", "-", "+", -4, -1, true, "+a"},
        {"start beyond length", "a-b", "-", "+", 4, -1, true, "a-b"},
        {"non-overlapping", "aaaa", "aa", "b", 1, -1, true, "bb"},
        {"odd overlap leaves the tail", "aaa", "aa", "b", 1, -1, true, "ba"},
        {"repl holds find", "ab", "a", "aa", 1, -1, true, "aab"},
        {"empty text", "", "a", "b", 1, -1, true, ""},
        {"empty find", "abc", "", "x", 1, -1, true, "abc"},
        {"case-insensitive", "Ab-aB", "ab", "x", 1, -1, false, "x-x"},
        {"case-sensitive by default", "Ab-ab", "ab", "x", 1, -1, true, "Ab-x"},
        {"quote marker", "a#引号b", "#引号", "\"", 1, -1, true, "a\"b"},
        // 81 41 is one character: its trail "A" stays.
        {"trail byte untouched",
         "\x81"
         "AA",
         "A", "x", 1, -1, true,
         "\x81"
         "Ax"},
        {"straddling bytes untouched", "中中", "\xD0\xD6", "x", 1, -1, true, "中中"},
        {"chinese", "中文中", "中", "英", 1, -1, true, "英文英"},
        {"insensitive keeps trail bytes",
         "\x81"
         "a\x81"
         "A",
         "\x81"
         "A",
         "x", 1, -1, false,
         "\x81"
         "ax"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(replaceSubtext(c.text, c.find, c.repl, c.start, c.count, c.caseSensitive),
                  c.expected)
            << c.what;
    }
    EXPECT_EQ(replaceSubtext("a-b", "-"), "ab"); // defaults: delete all
}

TEST(SplitText, PiecesBetweenSeparators) {
    struct Case {
        const char* what;
        Text text, sep;
        TextArray expected;
    };
    const Case cases[] = {
        {"trailing separator dropped", "a;;b;", ";", {"a", "", "b"}},
        {"no separator", "abc", ";", {"abc"}},
        {"only a separator", ";", ";", {""}},
        {"leading separator", ";a", ";", {"", "a"}},
        {"two separators", ";;", ";", {"", ""}},
        {"empty text", "", ";", {}},
        {"empty sep", "a;b", "", {"a;b"}},
        {"long sep", "a<>b<>", "<>", {"a", "b"}},
        {"chinese sep", "甲，乙", "，", {"甲", "乙"}},
        // 81 3B is one character, so its ";" is no separator.
        {"trail byte no separator", "\x81;x;y", ";", {"\x81;x", "y"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(splitText(c.text, c.sep), c.expected) << c.what;
    }
    EXPECT_EQ(splitText("a,b"), (TextArray{"a", "b"})); // comma by default
}

// Occurrences at character starts (counted from byte 1), taken left to right without overlap:
// the byte-by-byte definition that replaceSubtext and splitText must agree with.
std::vector<std::size_t> referenceOccurrences(const Text& t, const Text& sub, std::size_t from,
                                              bool ignoreCase) {
    const Text text = ignoreCase ? toLower(t) : t;
    const Text needle = ignoreCase ? toLower(sub) : sub;
    std::vector<bool> starts(t.size() + 1, false);
    for (std::size_t i = 0; i < t.size(); i += static_cast<unsigned char>(t[i]) >= 0x80 ? 2 : 1) {
        starts[i] = true;
    }
    std::vector<std::size_t> found;
    for (std::size_t i = from; i + needle.size() <= text.size();) {
        if (starts[i] && text.compare(i, needle.size(), needle) == 0) {
            found.push_back(i);
            i += needle.size();
        } else {
            ++i;
        }
    }
    return found;
}

TEST(ReplaceSubtext, AgreesWithReferenceOnRandomTexts) {
    const std::string_view alphabet = "aA;\x81\xFE\x40\x80";
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        const Text t = randomText(random, alphabet, 30);
        const Text find = randomText(random, alphabet, 3);
        if (t.empty() || find.empty()) {
            continue;
        }
        const int start = static_cast<int>(random() % (t.size() + 1));
        const bool ignoreCase = random() % 2 == 0;
        const std::size_t from = start < 1 ? 0 : start - 1;
        Text expected = t.substr(0, from);
        std::size_t copied = from;
        for (const std::size_t at : referenceOccurrences(t, find, from, ignoreCase)) {
            expected += t.substr(copied, at - copied) + "<>";
            copied = at + find.size();
        }
        expected += t.substr(copied);
        ASSERT_EQ(replaceSubtext(t, find, "<>", start, -1, !ignoreCase), expected)
            << testing::PrintToString(t) << " / " << testing::PrintToString(find) << " @" << start;

        TextArray pieces;
        std::size_t pieceStart = 0;
        for (const std::size_t at : referenceOccurrences(t, find, 0, false)) {
            pieces.push_back(t.substr(pieceStart, at - pieceStart));
            pieceStart = at + find.size();
        }
        if (pieceStart < t.size()) {
            pieces.push_back(t.substr(pieceStart));
        }
        ASSERT_EQ(splitText(t, find), pieces)
            << testing::PrintToString(t) << " / " << testing::PrintToString(find);
    }
}

} // namespace
