#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <functional>

#include "platform/automation/RegExpComponent.h"
#include "tests/platform/automation/AutomationTestSupport.h"

namespace {

struct Conversion {
    const char* what;
    std::function<OwnedVariant()> source;
    VARTYPE target;
    std::string expected; // "fail" when the conversion is refused
};

TEST(VariantChangeType, ConvertsBetweenTheKindsUsed) {
    const Conversion table[] = {
        {"integer to string", [] { return integerVariant(-42); }, VT_BSTR, "BSTR:-42"},
        {"real to string", [] { return doubleVariant(2.5); }, VT_BSTR, "BSTR:2.5"},
        {"whole real to string", [] { return doubleVariant(5); }, VT_BSTR, "BSTR:5"},
        // Booleans are numbers: true is -1.
        {"true to string", [] { return booleanVariant(true); }, VT_BSTR, "BSTR:-1"},
        {"false to string", [] { return booleanVariant(false); }, VT_BSTR, "BSTR:0"},
        {"empty to string", [] { return OwnedVariant(); }, VT_BSTR, "BSTR:"},
        {"string to real", [] { return stringVariant(u"12.25"); }, VT_R8, "R8:12.25"},
        {"padded string to integer", [] { return stringVariant(u" +7 "); }, VT_I4, "I4:7"},
        {"word to real", [] { return stringVariant(u"x1"); }, VT_R8, "fail"},
        {"empty string to real", [] { return stringVariant(u""); }, VT_R8, "fail"},
        {"true to real", [] { return booleanVariant(true); }, VT_R8, "R8:-1"},
        {"empty to real", [] { return OwnedVariant(); }, VT_R8, "R8:0"},
        // Reals round half to even on the way to integers.
        {"2.5 to integer", [] { return doubleVariant(2.5); }, VT_I4, "I4:2"},
        {"3.5 to integer", [] { return doubleVariant(3.5); }, VT_I4, "I4:4"},
        {"-0.75 to integer", [] { return doubleVariant(-0.75); }, VT_I4, "I4:-1"},
        {"too large for an integer", [] { return doubleVariant(3e9); }, VT_I4, "fail"},
        {"string word to Boolean", [] { return stringVariant(u"TRUE"); }, VT_BOOL, "BOOL:-1"},
        {"integer to Boolean", [] { return integerVariant(2); }, VT_BOOL, "BOOL:-1"},
        {"zero to Boolean", [] { return doubleVariant(0); }, VT_BOOL, "BOOL:0"},
        // Byte arrays and strings meet unit by unit, low byte first.
        {"bytes to string",
         [] {
             return bytesVariant({"a\0\x2D\x4E", 4});
         },
         VT_BSTR, "BSTR:a\\u4E2D"},
        {"odd byte dropped",
         [] {
             return bytesVariant({"a\0b", 3});
         },
         VT_BSTR, "BSTR:a"},
        {"NUL unit kept",
         [] {
             return bytesVariant({"a\0\0\0", 4});
         },
         VT_BSTR, "BSTR:a\\u0000"},
        {"string to bytes", [] { return stringVariant(u"a\u4E2D"); }, VT_ARRAY | VT_UI1,
         "BYTES:61 00 2D 4E"},
        {"no bytes to string", [] { return bytesVariant({}); }, VT_BSTR, "BSTR:"},
        {"Boolean to bytes", [] { return booleanVariant(true); }, VT_ARRAY | VT_UI1, "fail"},
        {"integer to bytes", [] { return integerVariant(1); }, VT_ARRAY | VT_UI1, "fail"},
        {"object to string",
         [] {
             OwnedVariant object;
             object.value.vt = VT_DISPATCH;
             object.value.pdispVal = createRegExpComponent();
             return object;
         },
         VT_BSTR, "fail"},
    };
    for (const Conversion& row : table) {
        OwnedVariant source = row.source();
        OwnedVariant destination = integerVariant(99);
        HRESULT result = VariantChangeType(&destination.value, &source.value, 0, row.target);
        if (row.expected == "fail") {
            EXPECT_TRUE(FAILED(result)) << row.what;
            // A refused conversion leaves the destination as it was.
            EXPECT_EQ(describe(destination.value), "I4:99") << row.what;
        } else {
            EXPECT_EQ(result, S_OK) << row.what;
            EXPECT_EQ(describe(destination.value), row.expected) << row.what;
        }
    }
}

TEST(VariantChangeType, ConvertsInPlace) {
    OwnedVariant variant = bytesVariant({"1\0"
                                         "5\0",
                                         4});
    ASSERT_EQ(VariantChangeType(&variant.value, &variant.value, 0, VT_BSTR), S_OK);
    ASSERT_EQ(VariantChangeType(&variant.value, &variant.value, 0, VT_R8), S_OK);
    EXPECT_EQ(describe(variant.value), "R8:15");
}

TEST(VariantCopy, CopiesAreIndependent) {
    OwnedVariant bytes = bytesVariant("xy");
    OwnedVariant text = stringVariant(u"ab");
    OwnedVariant bytesCopy;
    OwnedVariant textCopy = integerVariant(1);
    ASSERT_EQ(VariantCopy(&bytesCopy.value, &bytes.value), S_OK);
    ASSERT_EQ(VariantCopy(&textCopy.value, &text.value), S_OK);
    static_cast<char*>(bytes.value.parray->pvData)[0] = 'z';
    text.value.bstrVal[0] = u'z';
    EXPECT_EQ(describe(bytesCopy.value), "BYTES:78 79");
    EXPECT_EQ(describe(textCopy.value), "BSTR:ab");
}

TEST(VariantCopy, SharesAnObjectByOneMoreReference) {
    OwnedVariant object;
    object.value.vt = VT_DISPATCH;
    object.value.pdispVal = createRegExpComponent();
    {
        OwnedVariant copy;
        ASSERT_EQ(VariantCopy(&copy.value, &object.value), S_OK);
        EXPECT_EQ(copy.value.pdispVal, object.value.pdispVal);
        EXPECT_EQ(object.value.pdispVal->AddRef(), 3u);
        object.value.pdispVal->Release();
    }
    EXPECT_EQ(object.value.pdispVal->AddRef(), 2u);
    object.value.pdispVal->Release();
}

TEST(VariantClear, EmptiesEveryKind) {
    OwnedVariant kinds[] = {stringVariant(u"text"), bytesVariant("ab"), integerVariant(3)};
    for (OwnedVariant& variant : kinds) {
        EXPECT_EQ(VariantClear(&variant.value), S_OK);
        EXPECT_EQ(variant.value.vt, VT_EMPTY);
    }
}

TEST(AutomationStrings, KeepTheirLengthAndEmbeddedNuls) {
    BSTR text = SysAllocStringLen(u"a\0b", 3);
    EXPECT_EQ(SysStringLen(text), 3u);
    EXPECT_EQ(text[3], 0); // terminated all the same
    SysFreeString(text);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    BSTR copied = SysAllocString(u"abc");
    EXPECT_EQ(SysStringLen(copied), 3u);
    SysFreeString(copied);
}

TEST(AutomationArrays, AreNotDestroyedWhileAccessed) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 4);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(SafeArrayCreateVector(VT_I4, 0, 4), nullptr); // bytes only
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(array, &data), S_OK);
    EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
    SAFEARRAYBOUND bound{2, 0};
    EXPECT_EQ(SafeArrayRedim(array, &bound), DISP_E_ARRAYISLOCKED);
    SafeArrayUnaccessData(array);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(AutomationArrays, ShrinkAndGrowKeepingTheirElements) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 4);
    ASSERT_NE(array, nullptr);
    std::memcpy(array->pvData, "abcd", 4);
    SAFEARRAYBOUND shorter{2, 0};
    ASSERT_EQ(SafeArrayRedim(array, &shorter), S_OK);
    EXPECT_EQ(array->rgsabound[0].cElements, 2u);
    SAFEARRAYBOUND longer{5, 0};
    ASSERT_EQ(SafeArrayRedim(array, &longer), S_OK);
    EXPECT_EQ(std::string(static_cast<const char*>(array->pvData), 5), std::string("ab\0\0\0", 5));
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

} // namespace
