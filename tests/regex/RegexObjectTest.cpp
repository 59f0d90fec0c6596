#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "regex/RegexObject.h"
#include "tests/regex/RecordingComponent.h"

namespace {

// True when no CoInitialize is left on this thread.
bool comIsBalanced() {
    bool balanced = CoInitialize(nullptr) == S_OK;
    CoUninitialize();
    return balanced;
}

struct WriteRow {
    const char* what;
    std::function<bool(RegexObject&)> run;
    std::vector<std::string> expected;
};

TEST(RegexObject, WritesTheOptionsInOrderBeforeThePatternThenExecutes) {
    const WriteRow table[] = {
        {"options omitted",
         [](RegexObject& r) { return r.create("a(.)c", "中a"); },
         {"IgnoreCase=BOOL:-1", "Multiline=BOOL:-1", "Singleline=BOOL:-1", "Global=BOOL:-1",
          "Pattern=BSTR:a(.)c",
          // UTF-16LE of the text with its terminating NUL unit.
          "Execute(BYTES:2D 4E 61 00 00 00)"}},
        {"options given",
         [](RegexObject& r) { return r.create("x", "a", true, false, false); },
         {"IgnoreCase=BOOL:0", "Multiline=BOOL:0", "Singleline=BOOL:-1", "Global=BOOL:0",
          "Pattern=BSTR:x", "Execute(BYTES:61 00 00 00)"}},
        {"quote markers expanded",
         [](RegexObject& r) {
             return r.create("value=#引号http://(.*?)swf#引号 >", "", false, true, true, true);
         },
         {"IgnoreCase=BOOL:-1", "Multiline=BOOL:-1", "Singleline=BOOL:-1", "Global=BOOL:-1",
          "Pattern=BSTR:value=\"http://(.*?)swf\" >", "Execute(BYTES:)"}},
        // Half a marker is left alone; the pattern otherwise reaches the component as written.
        {"only whole markers",
         [](RegexObject& r) { return r.create("#引#引号号", "", false, true, true, true); },
         {"IgnoreCase=BOOL:-1", "Multiline=BOOL:-1", "Singleline=BOOL:-1", "Global=BOOL:-1",
          "Pattern=BSTR:#\\u5F15\"\\u53F7", "Execute(BYTES:)"}},
        {"quote markers kept",
         [](RegexObject& r) { return r.create("a#引号", "", false, true, true, false); },
         {"IgnoreCase=BOOL:-1", "Multiline=BOOL:-1", "Singleline=BOOL:-1", "Global=BOOL:-1",
          "Pattern=BSTR:a#\\u5F15\\u53F7", "Execute(BYTES:)"}},
    };
    for (const WriteRow& row : table) {
        RecordingRegistration recording;
        {
            RegexObject r;
            // The recording component answers no Execute, so there is no collection.
            EXPECT_FALSE(row.run(r)) << row.what;
            EXPECT_EQ(recording.log, row.expected) << row.what;
        }
        EXPECT_EQ(recording.alive, 0) << row.what;
    }
    EXPECT_TRUE(comIsBalanced());
}

TEST(RegexObject, ASecondCreateMakesANewComponent) {
    RecordingRegistration recording;
    RegexObject r;
    r.create("a", "x");
    r.create("b", "y");
    EXPECT_EQ(recording.made, 2);
    EXPECT_EQ(recording.alive, 1); // the first instance was released
    EXPECT_EQ(recording.log.size(), 12u);
    EXPECT_EQ(recording.log.back(), "Execute(BYTES:79 00 00 00)");
}

TEST(RegexObject, TextResultsCrossInTheSystemCodePageUpToTheFirstNul) {
    RecordingRegistration recording;
    RegexObject r;
    r.create("中", "");
    EXPECT_EQ(recording.log[4], "Pattern=BSTR:\\u4E2D");
    recording.answers["Pattern"] = u"优酷";
    EXPECT_EQ(r.pattern(), "优酷");
    recording.answers["Pattern"] = std::u16string(u"ab\0cd", 5);
    EXPECT_EQ(r.pattern(), "ab");
    recording.answers["Replace"] = u"x";
    EXPECT_EQ(r.replace("新"), "x");
    EXPECT_EQ(recording.log.back(), "Replace(BYTES:,BSTR:\\u65B0)");
}

struct ReadRow {
    const char* what;
    Text pattern;
    Text text;
    bool caseSensitive;
    int index;
    int subIndex; // 0 reads the whole match
    Text expected;
    int position;
};

TEST(RegexObject, ReadsMatchesGroupsAndTheirBytePositions) {
    const ReadRow table[] = {
        {"second match", "c", "abcabc", false, 2, 0, "c", 5},
        {"first match", "c", "abcabc", false, 1, 0, "c", 2},
        // The search starts where the match begins, not one byte earlier.
        {"match at the end", "a$", "aa", false, 1, 0, "a", 1},
        {"group from its match on", "a(b)", "bab", false, 1, 1, "b", 2},
        // Double-byte characters before the match shift bytes against UTF-16 units.
        {"after a CJK character", "a", "中a", false, 1, 0, "a", 2},
        {"CJK match", "(文)a", "中文abc中文", false, 1, 0, "文a", 2},
        {"CJK group", "(文)a", "中文abc中文", false, 1, 1, "文", 2},
        {"later CJK match", "文", "中文abc中文", false, 2, 0, "文", 9},
        {"GBK group", "<b>(.*?)</b>", "<p>优酷<b>视频网站</b></p>", false, 1, 1, "视频网站", 10},
        // Letters are compared exactly, so the earlier capital is not taken for the match.
        {"exact search", "c", "aCc", true, 1, 0, "c", 2},
        {"case ignored by the pattern", "C", "aCc", false, 2, 0, "c", 2},
        // findText finds an empty text at byte 1 whatever the start.
        {"group that took no part", "(x)?c", "abc", false, 1, 1, "", 0},
        {"no such group", "(a)", "a", false, 1, 2, "", 0},
        {"no such match", "c", "abcabc", false, 3, 0, "", 0},
        {"index 0", "c", "abcabc", false, 0, 0, "", 0},
        {"no match at all", "d", "abc", false, 1, 1, "", 0},
    };
    for (const ReadRow& row : table) {
        RegexObject r;
        EXPECT_TRUE(r.create(row.pattern, row.text, row.caseSensitive)) << row.what;
        int position = -99;
        Text found = row.subIndex == 0 ? r.matchText(row.index, &position)
                                       : r.subMatchText(row.index, row.subIndex, &position);
        EXPECT_EQ(found, row.expected) << row.what;
        EXPECT_EQ(position, row.position) << row.what;
        // Without the position asked for, the text is the same.
        EXPECT_EQ(row.subIndex == 0 ? r.matchText(row.index)
                                    : r.subMatchText(row.index, row.subIndex),
                  row.expected)
            << row.what;
    }
}

struct CountRow {
    const char* what;
    Text pattern;
    Text text;
    bool caseSensitive;
    bool multiline;
    bool global;
    int matches;
    int groups;
};

TEST(RegexObject, CountsMatchesAndTheGroupsOfTheFirst) {
    const CountRow table[] = {
        {"every match", "c", "abcabc", false, true, true, 2, 0},
        {"first only", "c", "abcabc", false, true, false, 1, 0},
        {"groups", "(a)(b)?", "a ab", false, true, true, 2, 2},
        // A collection without matches still makes create succeed.
        {"no match", "d", "abc", false, true, true, 0, 0},
        {"case ignored", "ABC", "abc", false, true, true, 1, 0},
        {"case counts", "ABC", "abc", true, true, true, 0, 0},
        {"line starts", "^b", "a\r\nb\nb", false, true, true, 2, 0},
        {"text start only", "^b", "a\r\nb", false, false, true, 0, 0},
        {"empty text", "x", "", false, true, true, 0, 0},
    };
    for (const CountRow& row : table) {
        RegexObject r;
        EXPECT_TRUE(r.create(row.pattern, row.text, row.caseSensitive, row.multiline, row.global))
            << row.what;
        EXPECT_EQ(r.matchCount(), row.matches) << row.what;
        EXPECT_EQ(r.subMatchCount(), row.groups) << row.what;
        if (row.matches == 0) {
            EXPECT_EQ(r.subMatchText(1, 1), "") << row.what;
        }
    }
}

TEST(RegexObject, ASecondCreateReplacesComponentCollectionAndText) {
    RegexObject r;
    ASSERT_TRUE(r.create("b", "abc"));
    ASSERT_TRUE(r.create("(x)", "xyx"));
    EXPECT_EQ(r.pattern(), "(x)");
    EXPECT_EQ(r.matchCount(), 2);
    EXPECT_EQ(r.subMatchText(2, 1), "x");
    EXPECT_EQ(r.replace("[$1]"), "[x]y[x]");
    int position = -99;
    EXPECT_EQ(r.matchText(2, &position), "x");
    EXPECT_EQ(position, 2);
}

TEST(RegexObject, ReplaceWorksOnTheTextAndOptionsOfTheLastCreate) {
    RegexObject r;
    ASSERT_TRUE(r.create("视(频)", "优酷视频，土豆视频"));
    EXPECT_EQ(r.replace("[$1]"), "优酷[频]，土豆[频]");
    ASSERT_TRUE(r.create("A", "aAa", true, true, false));
    EXPECT_EQ(r.replace("-"), "a-a");
}

TEST(RegexObject, GivesEmptyResultsBeforeTheFirstCreate) {
    RegexObject r;
    int position = -99;
    EXPECT_EQ(r.pattern(), "");
    EXPECT_EQ(r.replace("x"), "");
    EXPECT_EQ(r.matchCount(), 0);
    EXPECT_EQ(r.subMatchCount(), 0);
    EXPECT_EQ(r.matchText(1), "");
    EXPECT_EQ(r.subMatchText(1, 1, &position), "");
    EXPECT_EQ(position, -2); // nothing to search in
}

struct FailureRow {
    const char* what;
    Text pattern;
    Text text;
    bool componentExists;
};

TEST(RegexObject, FailsQuietlyWithoutACollection) {
    const FailureRow table[] = {
        {"pattern that does not compile", "value=(.*?", "value=1", true},
        // Exponential backtracking reaches the component's limit and gives up at once.
        {"runaway backtracking", "^(a+)+$", Text(60, 'a') + "!", true},
        {"component that cannot be made", "a", "a", false},
    };
    for (const FailureRow& row : table) {
        std::optional<MissingComponent> missing;
        if (!row.componentExists) {
            missing.emplace();
        }
        RegexObject r;
        EXPECT_FALSE(r.create(row.pattern, row.text)) << row.what;
        EXPECT_EQ(r.matchCount(), 0) << row.what;
        EXPECT_EQ(r.subMatchCount(), 0) << row.what;
        EXPECT_EQ(r.matchText(1), "") << row.what;
        EXPECT_EQ(r.subMatchText(1, 1), "") << row.what;
        EXPECT_EQ(r.replace("x"), "") << row.what;
        EXPECT_EQ(r.pattern(), row.componentExists ? row.pattern : "") << row.what;
    }
}

TEST(RegexObject, CopiesShareTheResultsAndKeepComBalanced) {
    {
        RegexObject r;
        ASSERT_TRUE(r.create("(b)", "abc"));
        std::unique_ptr<RegexObject> copy = r.copy();
        r.destroy();
        r.destroy(); // only the first call counts
        EXPECT_EQ(r.subMatchText(1, 1), "");
        EXPECT_EQ(copy->subMatchText(1, 1), "b");
        EXPECT_EQ(copy->replace("x"), "axc");
        int position = -99;
        EXPECT_EQ(copy->matchText(1, &position), "b");
        EXPECT_EQ(position, 1);
        std::unique_ptr<RegexObject> copyOfUncreated = RegexObject().copy();
        EXPECT_EQ(copyOfUncreated->matchCount(), 0);
    }
    EXPECT_TRUE(comIsBalanced());
}

TEST(RegexObject, CreateAndDestroyInALoopLeaveNothingBehind) {
    // The sanitizers report any reference or buffer left over at exit.
    for (int i = 0; i < 300; ++i) {
        RegexObject r;
        r.create(i % 3 == 0 ? "(" : "v(\\d+)", "v1 v22 视频 v333");
        r.subMatchText(2, 1);
        r.create("(.)", "ab");
        if (i % 2 == 0) {
            r.copy()->matchText(1);
        }
    }
    EXPECT_TRUE(comIsBalanced());
}

} // namespace
