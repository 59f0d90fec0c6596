#include <gtest/gtest.h>

#include "platform/automation/RegExpComponent.h"
#include "tests/platform/automation/AutomationTestSupport.h"

namespace {

struct Options {
    bool ignoreCase = false;
    bool multiline = false;
    bool global = true;
};

// A RegExp object with `pattern` and `options` set, released at the end of the scope.
class RegExp {
  public:
    RegExp(std::u16string_view pattern, Options options = {}) : object(createRegExpComponent()) {
        put(object, u"Pattern", stringVariant(pattern));
        put(object, u"IgnoreCase", booleanVariant(options.ignoreCase));
        put(object, u"Multiline", booleanVariant(options.multiline));
        put(object, u"Global", booleanVariant(options.global));
    }
    ~RegExp() { object->Release(); }
    RegExp(const RegExp&) = delete;
    RegExp& operator=(const RegExp&) = delete;

    IDispatch* get() const { return object; }

    // Each match as "FirstIndex:Value" with its groups in brackets, "|" between them;
    // "failed" when Execute gives no collection.
    std::vector<std::string> execute(const VARIANT& subject) const {
        OwnedVariant collection = ::get(object, u"Execute", subject);
        if (collection.value.vt != VT_DISPATCH) {
            return {"failed"};
        }
        IDispatch* matches = collection.value.pdispVal;
        std::vector<std::string> found;
        LONG count = ::get(matches, u"Count").value.lVal;
        for (LONG i = 0; i < count; ++i) {
            OwnedVariant match = ::get(matches, u"Item", integerVariant(i));
            IDispatch* item = match.value.pdispVal;
            std::string line = std::to_string(::get(item, u"FirstIndex").value.lVal) + ":" +
                               describe(::get(item, u"Value").value).substr(5);
            EXPECT_EQ(::get(item, u"Length").value.lVal,
                      LONG(SysStringLen(::get(item, u"Value").value.bstrVal)));
            OwnedVariant groups = ::get(item, u"SubMatches");
            LONG groupCount = ::get(groups.value.pdispVal, u"Count").value.lVal;
            for (LONG g = 0; g < groupCount; ++g) {
                OwnedVariant group = ::get(groups.value.pdispVal, u"Item", integerVariant(g));
                line += g == 0 ? '[' : '|';
                line += describe(group.value).substr(5);
                line += g + 1 == groupCount ? "]" : "";
            }
            found.push_back(line);
        }
        return found;
    }

    std::vector<std::string> execute(std::u16string_view subject) const {
        return execute(stringVariant(subject).value);
    }

  private:
    IDispatch* object;
};

struct ExecuteRow {
    const char* what;
    std::u16string pattern;
    Options options;
    std::u16string subject;
    std::vector<std::string> expected;
};

TEST(RegExpComponent, ExecuteFindsMatchesAndGroups) {
    const ExecuteRow table[] = {
        {"every match", u"c", {}, u"abcabc", {"2:c", "5:c"}},
        {"first match only", u"c", {.global = false}, u"abcabc", {"2:c"}},
        {"no match", u"d", {}, u"abcabc", {}},
        {"case ignored", u"ABC", {.ignoreCase = true}, u"xabc", {"1:abc"}},
        {"case counts", u"ABC", {}, u"xabc", {}},
        {"line start with Multiline", u"^b", {.multiline = true}, u"a\nb", {"2:b"}},
        {"line start without it", u"^b", {}, u"a\nb", {}},
        // "$" without Multiline ignores a final line break.
        {"end only", u"a$", {}, u"a\n", {}},
        {"end of line", u"a$", {.multiline = true}, u"a\r\nb", {"0:a"}},
        // A lazy group cannot run across a line into a later marker.
        {"dot stops at LF", u"a(.*?)c", {}, u"a1\nc a2c", {"5:a2c[2]"}},
        {"dot stops at CR", u"a(.*?)c", {}, u"a1\rc", {}},
        {"greedy group", u"<(.*)>", {}, u"<a><b>", {"0:<a><b>[a><b]"}},
        {"lazy group", u"<(.*?)>", {}, u"<a><b>", {"0:<a>[a]", "3:<b>[b]"}},
        {"group that took no part", u"(a)|(b)", {}, u"b", {"0:b[|b]"}},
        {"alternation and classes", u"[0-9]+|x", {}, u"ab12x", {"2:12", "4:x"}},
        // Empty matches move on one unit, as the script engines do.
        {"empty matches", u"x*", {}, u"ab", {"0:", "1:", "2:"}},
        {"unicode escape", u"\\u4E2D(.)", {}, u"一中文", {"1:\\u4E2D\\u6587[\\u6587]"}},
        {"unset back-reference", u"(a)?\\1b", {}, u"b", {"0:b[]"}},
        {"empty class", u"a[]", {}, u"a]", {}},
        {"any character class", u"a[^]b", {}, u"a\nb", {"0:a\\u000Ab"}},
        {"empty pattern", u"", {.global = false}, u"ab", {"0:"}},
        // Groups inside lookarounds lie outside their match.
        {"group after the match", u"a(?=(bc))", {}, u"xabc", {"1:a[bc]"}},
        {"group before the match", u"(?<=(x))a", {}, u"xa", {"1:a[x]"}},
    };
    for (const ExecuteRow& row : table) {
        RegExp regExp(row.pattern, row.options);
        EXPECT_EQ(regExp.execute(row.subject), row.expected) << row.what;
    }
}

TEST(RegExpComponent, SearchesAByteArraySubjectWithoutItsNul) {
    // "abc" and its terminating NUL unit, as the object hands its subject over.
    OwnedVariant subject = bytesVariant({"a\0b\0c\0\0\0", 8});
    EXPECT_EQ(RegExp(u"c$").execute(subject.value), std::vector<std::string>{"2:c"});
    EXPECT_EQ(RegExp(u"(.*)", {.global = false}).execute(subject.value),
              std::vector<std::string>{"0:abc[abc]"});
    // Only the terminating unit is left out; a string subject is searched whole.
    EXPECT_EQ(RegExp(u"\\x00").execute(subject.value), std::vector<std::string>{});
    EXPECT_EQ(RegExp(u"\\x00").execute(std::u16string(u"a\0", 2)),
              std::vector<std::string>{"1:\\u0000"});
    OwnedVariant odd = bytesVariant({"a\0b", 3});
    EXPECT_EQ(RegExp(u".+").execute(odd.value), std::vector<std::string>{"0:a"});
}

TEST(RegExpComponent, MatchesOutliveTheSubjectTheyWereFoundIn) {
    RegExp regExp(u"b(.)");
    OwnedVariant collection;
    {
        OwnedVariant subject = bytesVariant({"a\0b\0c\0\0\0", 8});
        collection = get(regExp.get(), u"Execute", subject.value);
    }
    ASSERT_EQ(collection.value.vt, VT_DISPATCH);
    OwnedVariant match = get(collection.value.pdispVal, u"Item", integerVariant(0));
    EXPECT_EQ(describe(get(match.value.pdispVal, u"Value").value), "BSTR:bc");
    EXPECT_EQ(get(match.value.pdispVal, u"FirstIndex").value.lVal, 1);
    OwnedVariant groups = get(match.value.pdispVal, u"SubMatches");
    EXPECT_EQ(describe(get(groups.value.pdispVal, u"Item", integerVariant(0)).value), "BSTR:c");
}

TEST(RegExpComponent, FailsQuietlyOnBadPatternsAndRunawayBacktracking) {
    struct Row {
        const char* what;
        std::u16string pattern;
        std::u16string subject;
    };
    const Row table[] = {
        {"unclosed group", u"(a", u"a"},
        {"nothing to repeat", u"*a", u"a"},
        {"bad range", u"[z-a]", u"a"},
        // Nested repeats over a long run that fails at its end: exponential without a
        // limit. The run must give up, not hang.
        {"nested repeats", u"^(a+)+$", std::u16string(60, u'a') + u"!"},
        {"nested alternation", u"^(a|aa)+$", std::u16string(200, u'a') + u"!"},
    };
    for (const Row& row : table) {
        RegExp regExp(row.pattern);
        EXPECT_EQ(regExp.execute(row.subject), std::vector<std::string>{"failed"}) << row.what;
        OwnedVariant subject = stringVariant(row.subject);
        EXPECT_EQ(::get(regExp.get(), u"Test", subject).value.vt, VT_EMPTY) << row.what;
    }
}

struct ReplaceRow {
    const char* what;
    std::u16string pattern;
    bool global;
    std::u16string subject;
    std::u16string replacement;
    std::string expected;
};

TEST(RegExpComponent, ReplaceExpandsTheDollarForms) {
    const ReplaceRow table[] = {
        {"groups swapped", u"(a)(b)", true, u"xaby", u"$2-$1", "BSTR:xb-ay"},
        {"whole match", u"b+", true, u"abbc", u"<$&>", "BSTR:a<bb>c"},
        {"before and after", u"b", true, u"abc", u"[$`|$']", "BSTR:a[a|c]c"},
        {"dollar", u"b", true, u"abc", u"$$", "BSTR:a$c"},
        {"missing group stays", u"(b)", true, u"abc", u"$2$0", "BSTR:a$2$0c"},
        // $10 with one group is group 1 followed by the digit 0; $01 is group 1.
        {"two digits", u"(b)", true, u"abc", u"$10|$01", "BSTR:ab0|bc"},
        {"group that took no part", u"(x)?b", true, u"abc", u"[$1]", "BSTR:a[]c"},
        {"dollar at the end", u"b", true, u"abc", u"$", "BSTR:a$c"},
        {"unknown form", u"b", true, u"abc", u"$x", "BSTR:a$xc"},
        {"first only", u"b", false, u"abab", u"-", "BSTR:a-ab"},
        {"empty matches", u"x*", true, u"ab", u"-", "BSTR:-a-b-"},
        {"no match", u"z", true, u"ab", u"-", "BSTR:ab"},
    };
    for (const ReplaceRow& row : table) {
        RegExp regExp(row.pattern, {.global = row.global});
        OwnedVariant subject = stringVariant(row.subject);
        OwnedVariant replacement = stringVariant(row.replacement);
        OwnedVariant result = ::get(regExp.get(), u"Replace", subject, replacement);
        EXPECT_EQ(describe(result.value), row.expected) << row.what;
    }
}

TEST(RegExpComponent, PropertiesStartEmptyAndKeepWhatIsWritten) {
    IDispatch* object = createRegExpComponent();
    EXPECT_EQ(describe(::get(object, u"Pattern").value), "BSTR:");
    for (const char16_t* name : {u"IgnoreCase", u"Multiline", u"Global"}) {
        EXPECT_EQ(describe(::get(object, name).value), "BOOL:0");
        EXPECT_EQ(put(object, name, integerVariant(1)), S_OK);
        EXPECT_EQ(describe(::get(object, name).value), "BOOL:-1");
    }
    EXPECT_EQ(put(object, u"Pattern", stringVariant(u"a.c")), S_OK);
    EXPECT_EQ(describe(::get(object, u"Pattern").value), "BSTR:a.c");
    // Like the platform's own component it has no Singleline.
    EXPECT_EQ(put(object, u"Singleline", booleanVariant(true)), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(put(object, u"Global", stringVariant(u"maybe")), DISP_E_TYPEMISMATCH);
    OwnedVariant subject = stringVariant(u"xAB"); // case is ignored by now
    EXPECT_EQ(describe(::get(object, u"Test", subject).value), "BOOL:0");
    put(object, u"Pattern", stringVariant(u"b"));
    EXPECT_EQ(describe(::get(object, u"Test", subject).value), "BOOL:-1");
    object->Release();
}

TEST(RegExpComponent, CollectionsRejectItemsOutsideThem) {
    RegExp regExp(u"(a)(b)");
    OwnedVariant subject = stringVariant(u"ab ab");
    OwnedVariant collection = ::get(regExp.get(), u"Execute", subject);
    ASSERT_EQ(collection.value.vt, VT_DISPATCH);
    IDispatch* matches = collection.value.pdispVal;
    struct Row {
        double index;
        bool exists;
    };
    // Item numbers arrive as reals from the object; they round to the nearest integer.
    const Row table[] = {{0, true}, {1, true}, {1.4, true}, {2, false}, {-1, false}, {1e12, false}};
    for (const Row& row : table) {
        OwnedVariant item = ::get(matches, u"Item", doubleVariant(row.index));
        EXPECT_EQ(item.value.vt == VT_DISPATCH, row.exists) << row.index;
        if (item.value.vt != VT_DISPATCH) {
            continue;
        }
        OwnedVariant groups = ::get(item.value.pdispVal, u"SubMatches");
        EXPECT_EQ(describe(::get(groups.value.pdispVal, u"Item", doubleVariant(1)).value),
                  "BSTR:b");
        EXPECT_EQ(::get(groups.value.pdispVal, u"Item", doubleVariant(2)).value.vt, VT_EMPTY);
    }
    OwnedVariant collectionAfterRelease = ::get(matches, u"Item", integerVariant(1));
    // A match keeps its results alive after the RegExp and the collection are gone.
    collection = OwnedVariant();
    EXPECT_EQ(describe(::get(collectionAfterRelease.value.pdispVal, u"Value").value), "BSTR:ab");
}

} // namespace
