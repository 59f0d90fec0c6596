#include "text/Text.h"

#include <gtest/gtest.h>

#include "tests/text/RandomText.h"

namespace {

struct FindCase {
    const char* what;
    Text text, sub;
    int start;
    bool ignoreCase;
    int expected;
};

TEST(FindText, FindsFirstOccurrenceOnCharacterStart) {
    const FindCase cases[] = {
        {"plain", "abcabc", "bc", 0, false, 2},
        {"from start", "abcabc", "bc", 3, false, 5},
        {"start on the match", "abcabc", "bc", 5, false, 5},
        {"start past the last match", "abcabc", "bc", 6, false, -1},
        {"negative start means 1", "abcabc", "a", -7, false, 1},
        {"start beyond length", "abc", "c", 4, false, -1},
        {"missing", "abc", "x", 0, false, -1},
        {"sub longer than text", "ab", "abc", 0, false, -1},
        {"empty sub", "abc", "", 0, false, 1},
        {"empty sub with start inside", "abc", "", 3, false, 1},
        {"empty sub beyond range", "abc", "", 4, false, -1},
        {"empty text", "", "a", 0, false, -1},
        {"empty text empty sub", "", "", 0, false, -1},
        {"ignoreCase", "xABc", "abC", 0, true, 2},
        {"case matters by default", "xABc", "abc", 0, false, -1},
        {"ignoreCase folds only A-Z", "[\\]", "{|}", 0, true, -1},
        // 81 41 is one character: its trail "A" is not a match, the later one is.
        {"trail byte A is no match",
         "\x81"
         "AA",
         "A", 0, false, 3},
        {"trail byte @ (0x40)", "\x81@@", "@", 0, false, 3},
        {"trail byte 0x7E", "\xFE~~", "~", 0, false, 3},
        {"trail byte 0x80", "\x81\x80\x80", "\x80", 0, false, 3},
        {"0x3F after a lead is still its trail", "\x81??", "?", 0, false, 3},
        {"0x7F after a lead is its trail", "\xFF\x7F\x7F", "\x7F", 0, false, 3},
        {"0x80 is a lead",
         "\x80"
         "aa",
         "a", 0, false, 3},
        {"0xFF is a lead",
         "\xFF"
         "aa",
         "a", 0, false, 3},
        {"0x7F is a single byte",
         "\x7F"
         "a",
         "a", 0, false, 2},
        // D6 D0 D6 D0: the pair D0 D6 straddles two characters.
        {"match across characters refused", "中中", "\xD0\xD6", 0, false, -1},
        {"chinese after chinese", "中文中", "中", 2, false, 5},
        {"start inside a character moves to the next", "中a", "a", 2, false, 3},
        {"start inside a character skips its trail",
         "\x81"
         "ab",
         "a", 2, false, -1},
        {"half character at the end", "ab\xD6", "\xD6", 0, false, 3},
        {"half character sub matches a lead", "\xD6\xD0", "\xD6", 0, false, 1},
        {"ignoreCase keeps trail bytes exact",
         "\x81"
         "a\x81"
         "A",
         "\x81"
         "A",
         0, true, 3},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(findText(c.text, c.sub, c.start, c.ignoreCase), c.expected) << c.what;
    }
}

TEST(FindText, ReverseFindsLastOccurrenceBeforeStart) {
    const FindCase cases[] = {
        {"whole text", "abcabc", "bc", wholeText, false, 5},
        {"start beyond length", "abcabc", "bc", 99, false, 5},
        {"start one past the end is the whole text", "abcabc", "bc", 7, false, 5},
        {"start at length excludes the last byte", "abcabc", "bc", 6, false, 2},
        {"occurrence must end before start", "abcabc", "bc", 4, false, 2},
        {"nothing before start", "abcabc", "bc", 3, false, -1},
        {"start 1", "abc", "a", 1, false, -1},
        {"start 0", "abc", "a", 0, false, -1},
        {"empty sub", "abc", "", wholeText, false, 1},
        {"empty sub empty range", "abc", "", 1, false, -1},
        {"empty text", "", "a", wholeText, false, -1},
        {"overlapping occurrences", "aaaa", "aa", wholeText, false, 3},
        {"ignoreCase", "abcABC", "abc", wholeText, true, 4},
        {"trail byte is no match",
         "A\x81"
         "A",
         "A", wholeText, false, 1},
        // 81 81 | 81 41: the second character is the sub.
        {"odd run of leads",
         "\x81\x81\x81"
         "A",
         "\x81"
         "A",
         wholeText, false, 3},
        // 81 81 | 81 81 | 41: the sub would straddle two characters.
        {"even run of leads",
         "\x81\x81\x81\x81"
         "A",
         "\x81"
         "A",
         wholeText, false, -1},
        {"a start after a low byte",
         "\x81"
         "A\x81"
         "A",
         "\x81"
         "A",
         wholeText, false, 3},
        {"match across characters refused", "中中", "\xD0\xD6", wholeText, false, -1},
        {"half character at the end", "中\xD6", "\xD6", wholeText, false, 3},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(findTextReverse(c.text, c.sub, c.start, c.ignoreCase), c.expected) << c.what;
    }
}

// Positions where a character begins, counting from the first byte.
std::vector<bool> characterStarts(const Text& t) {
    std::vector<bool> starts(t.size() + 1, false);
    for (std::size_t i = 0; i < t.size(); i += static_cast<unsigned char>(t[i]) >= 0x80 ? 2 : 1) {
        starts[i] = true;
    }
    return starts;
}

bool matchesAt(const Text& t, const Text& sub, std::size_t at) {
    return at + sub.size() <= t.size() && t.compare(at, sub.size(), sub) == 0;
}

int referenceFind(const Text& t, const Text& sub, int start) {
    const std::vector<bool> starts = characterStarts(t);
    for (std::size_t i = start < 1 ? 0 : start - 1; i < t.size(); ++i) {
        if (starts[i] && matchesAt(t, sub, i)) {
            return static_cast<int>(i) + 1;
        }
    }
    return -1;
}

int referenceFindReverse(const Text& t, const Text& sub, int start) {
    const std::vector<bool> starts = characterStarts(t);
    const std::size_t limit =
        start > static_cast<int>(t.size()) ? t.size() : std::max(start - 1, 0);
    int found = -1;
    for (std::size_t i = 0; i + sub.size() <= limit; ++i) {
        if (starts[i] && matchesAt(t, sub, i)) {
            found = static_cast<int>(i) + 1;
        }
    }
    return found;
}

// Random texts over a few bytes that play every role (lead, trail, plain, both cases) check
// both searches against the byte-by-byte definition at every start; a case-insensitive search
// must equal an exact search over texts folded by toLower.
TEST(FindText, AgreesWithCharacterSteppingReference) {
    const std::string_view alphabet = "aA\x81\xFE\x40\x80";
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        const Text t = randomText(random, alphabet, 24);
        const Text sub = randomText(random, alphabet, 3);
        if (sub.empty()) {
            continue;
        }
        const Text foldedText = toLower(t);
        const Text foldedSub = toLower(sub);
        for (int start = -1; start <= static_cast<int>(t.size()) + 2; ++start) {
            const std::string where = testing::PrintToString(t) + " / " +
                                      testing::PrintToString(sub) + " @" + std::to_string(start);
            ASSERT_EQ(findText(t, sub, start), referenceFind(t, sub, start)) << where;
            ASSERT_EQ(findTextReverse(t, sub, start), referenceFindReverse(t, sub, start)) << where;
            ASSERT_EQ(findText(t, sub, start, true), referenceFind(foldedText, foldedSub, start))
                << where;
            ASSERT_EQ(findTextReverse(t, sub, start, true),
                      referenceFindReverse(foldedText, foldedSub, start))
                << where;
        }
    }
}

} // namespace
