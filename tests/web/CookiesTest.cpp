#include "web/Cookies.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>

namespace {

struct MergeCase {
    const char* oldCookies;
    const char* newCookies;
    const char* merged;
    const char* newAfterwards;
};

const MergeCase mergeCases[] = {
    {"a=1; b=2; c=3", "b=9; d=4", "b=9; d=4; a=1; c=3", "b=9;d=4"},
    {"a=1; b=2", "b=deleted; a=1", "a=1", "b=deleted;a=1"},
    {"", "", "", ""},
    {"a=1", "", "a=1", ""},
    {"", "x=1; x=1; y=2", "x=1; y=2", "x=1;x=1;y=2"},
    // One name twice with different values stays twice.
    {"", "x=1; x=2", "x=1; x=2", "x=1;x=2"},
    // Spaces go everywhere, values included.
    {"a = hello world", "q=1", "q=1; a=helloworld", "q=1"},
    // An empty piece of the old string survives once as an empty entry.
    {";a=1", "b=2", "b=2; ; a=1", "b=2"},
    {";;a=1;;", "b=2", "b=2; ; a=1", "b=2"},
    // Among old entries of one name the first wins.
    {"a=1; a=2", "", "a=1", ""},
    // Only the exact lower-case marker deletes.
    {"a=1", "a=DELETED", "a=DELETED", "a=DELETED"},
    {"a=deleted; b=2", "", "b=2", ""},
    {"a=1", "a=deleted", "", "a=deleted"},
    {"flag; a=1", "flag=on", "flag=on; a=1", "flag=on"},
    // Ideographic spaces count as spaces too.
    {"a=1　", "b　=2", "b=2; a=1", "b=2"},
};

TEST(CookiesTest, MergeWritesBothVariablesAndReturnsTheMerge) {
    for (const MergeCase& c : mergeCases) {
        SCOPED_TRACE(std::string("old=\"") + c.oldCookies + "\" new=\"" + c.newCookies + "\"");
        Text oldCookies = c.oldCookies;
        Text newCookies = c.newCookies;
        Text result = mergeCookies(oldCookies, newCookies);
        EXPECT_EQ(oldCookies, c.merged);
        EXPECT_EQ(result, c.merged);
        EXPECT_EQ(newCookies, c.newAfterwards);
    }
}

// The merge as a plain sequence of the array helpers, without any shortcut.
Text referenceMerge(Text& oldCookies, Text& newCookies) {
    oldCookies = removeAllSpaces(oldCookies);
    newCookies = removeAllSpaces(newCookies);
    TextArray oldEntries = splitText(oldCookies, ";");
    TextArray entries = splitText(newCookies, ";");
    for (const Text& entry : oldEntries) {
        if (!hasCookie(entries, cookieName(entry))) {
            entries.push_back(entry);
        }
    }
    Text merged;
    for (const Text& entry : entries) {
        if (rightText(entry, 8) != "=deleted") {
            merged = merged + entry + "; ";
        }
    }
    merged = leftText(merged, textLength(merged) - 2);
    TextArray pieces = splitText(merged, "; ");
    TextArray seen;
    Text out;
    for (const Text& piece : pieces) {
        if (indexOfText(seen, piece) == -1) {
            seen.push_back(piece);
            out = out + piece + "; ";
        }
    }
    oldCookies = leftText(out, textLength(out) - 2);
    return oldCookies;
}

TEST(CookiesTest, MergeAgreesWithTheHelpersOnRandomJars) {
    // Few names and values so that repeats, deletions and empty pieces are common.
    const char* const parts[] = {"a=1", "a=2",     "b=1", "b=deleted", "c",
                                 "c=",  " d = 1 ", "",    "e=x y"};
    std::mt19937 random(20240611);
    auto jar = [&] {
        Text out;
        int count = static_cast<int>(random() % 7);
        for (int i = 0; i < count; ++i) {
            out += parts[random() % std::size(parts)];
            out += random() % 2 ? ";" : "; ";
        }
        return out;
    };
    for (int round = 0; round < 2000; ++round) {
        Text oldCookies = jar();
        Text newCookies = jar();
        SCOPED_TRACE("old=\"" + oldCookies + "\" new=\"" + newCookies + "\"");
        Text expectedOld = oldCookies;
        Text expectedNew = newCookies;
        Text expected = referenceMerge(expectedOld, expectedNew);
        EXPECT_EQ(mergeCookies(oldCookies, newCookies), expected);
        EXPECT_EQ(oldCookies, expectedOld);
        EXPECT_EQ(newCookies, expectedNew);
    }
}

TEST(CookiesTest, CookieNameIsTheTrimmedTextBeforeTheFirstEquals) {
    const struct {
        const char* entry;
        const char* name;
    } cases[] = {
        {"a=1", "a"}, {" a =1", "a"}, {"a=b=c", "a"},          {"flag", "flag"}, {" flag ", "flag"},
        {"=1", ""},   {"", ""},       {"　名字　=值", "名字"}, {"Sid=x", "Sid"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(cookieName(c.entry), c.name);
    }
}

TEST(CookiesTest, HasCookieMatchesNamesExactly) {
    const TextArray entries = {"a=1", " Sid = 2", "flag", ""};
    const struct {
        const char* name;
        bool found;
    } cases[] = {
        {"a", true}, {"Sid", true},  {"sid", false}, {"flag", true},
        {"", true},  {"a=1", false}, {"b", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(hasCookie(entries, c.name), c.found);
    }
    EXPECT_FALSE(hasCookie({}, ""));
}

TEST(CookiesTest, JoinUniqueKeepsFirstOccurrences) {
    const struct {
        const char* text;
        const char* sep;
        const char* joined;
    } cases[] = {
        {"a; b; a; c; b", "; ", "a; b; c"},
        {"a,b,A,a", ",", "a,b,A"},
        {"a,,b,,c", ",", "a,,b,c"},
        // A trailing separator ends the last piece and does not add an empty one.
        {"a,b,", ",", "a,b"},
        {"", ",", ""},
        {"a,b", "", "a,b"},
        {"x=1; x=1; x=1", "; ", "x=1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.sep);
        EXPECT_EQ(joinUnique(c.text, c.sep), c.joined);
    }
}

TEST(CookiesTest, IndexOfTextIsOneBased) {
    const TextArray array = {"a", "b", "", "b"};
    EXPECT_EQ(indexOfText(array, "a"), 1);
    EXPECT_EQ(indexOfText(array, "b"), 2);
    EXPECT_EQ(indexOfText(array, ""), 3);
    EXPECT_EQ(indexOfText(array, "B"), -1);
    EXPECT_EQ(indexOfText({}, "a"), -1);
}

} // namespace
