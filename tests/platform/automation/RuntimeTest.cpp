#include <gtest/gtest.h>

#include <thread>

#include "platform/automation/ComponentRegistry.h"
#include "platform/automation/RegExpComponent.h"
#include "tests/platform/automation/AutomationTestSupport.h"

namespace {

IDispatch* createFromProgId(const char16_t* progId, HRESULT* outcome = nullptr) {
    CLSID clsid{};
    IDispatch* object = nullptr;
    HRESULT result = CLSIDFromProgID(progId, &clsid);
    if (SUCCEEDED(result)) {
        result = CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&object));
    }
    if (outcome != nullptr) {
        *outcome = result;
    }
    return object;
}

TEST(ComInitialisation, IsCountedPerThread) {
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    std::thread([] {
        // Another thread starts from nothing, and cannot create before it initialises.
        HRESULT outcome = S_OK;
        EXPECT_EQ(createFromProgId(u"VBScript.RegExp", &outcome), nullptr);
        EXPECT_EQ(outcome, CO_E_NOTINITIALIZED);
        EXPECT_EQ(CoInitialize(nullptr), S_OK);
        CoUninitialize();
    }).join();
    CoUninitialize();
    IDispatch* object = createFromProgId(u"VBScript.RegExp");
    ASSERT_NE(object, nullptr); // one initialisation is still held
    object->Release();
    CoUninitialize();
    CoUninitialize(); // one too many does nothing
    EXPECT_EQ(createFromProgId(u"VBScript.RegExp"), nullptr);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

TEST(ComponentRegistry, FindsProgIdsWithoutRegardToCase) {
    CoInitialize(nullptr);
    struct Row {
        const char16_t* progId;
        HRESULT expected;
    };
    const Row table[] = {
        {u"VBScript.RegExp", S_OK},
        {u"vbscript.REGEXP", S_OK},
        {u"VBScript.RegExp2", CO_E_CLASSSTRING},
        {u"", CO_E_CLASSSTRING},
    };
    for (const Row& row : table) {
        HRESULT outcome = S_OK;
        IDispatch* object = createFromProgId(row.progId, &outcome);
        EXPECT_EQ(outcome, row.expected);
        EXPECT_EQ(object != nullptr, row.expected == S_OK);
        if (object != nullptr) {
            object->Release();
        }
    }
    CLSID unknown{};
    unknown.Data1 = 0x7FFF;
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(unknown, nullptr, CLSCTX_SERVER, IID_IDispatch, &object),
              REGDB_E_CLASSNOTREG);
    CoUninitialize();
}

TEST(ComponentRegistry, ReplacesAndRestoresAFactory) {
    CoInitialize(nullptr);
    int made = 0;
    ComponentFactory original = registerComponent(u"VBScript.RegExp", [&made] {
        ++made;
        return createRegExpComponent();
    });
    ASSERT_TRUE(original);
    IDispatch* object = createFromProgId(u"VBScript.RegExp");
    ASSERT_NE(object, nullptr);
    object->Release();
    EXPECT_EQ(made, 1);
    registerComponent(u"VBScript.RegExp", original);
    createFromProgId(u"VBScript.RegExp")->Release();
    EXPECT_EQ(made, 1);

    EXPECT_FALSE(registerComponent(u"Quorvel.Test", original));
    CLSID before{};
    ASSERT_EQ(CLSIDFromProgID(u"Quorvel.Test", &before), S_OK);
    EXPECT_TRUE(registerComponent(u"Quorvel.Test", {})); // removes the name
    CLSID after{};
    EXPECT_EQ(CLSIDFromProgID(u"Quorvel.Test", &after), CO_E_CLASSSTRING);
    void* stale = nullptr;
    EXPECT_EQ(CoCreateInstance(before, nullptr, CLSCTX_SERVER, IID_IDispatch, &stale),
              REGDB_E_CLASSNOTREG);
    CoUninitialize();
}

TEST(DispatchObjects, CountReferencesAndAnswerTheirInterfaces) {
    IDispatch* object = createRegExpComponent();
    EXPECT_EQ(object->AddRef(), 2u);
    void* asUnknown = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IUnknown, &asUnknown), S_OK);
    EXPECT_EQ(asUnknown, object);
    EXPECT_EQ(object->Release(), 2u);
    void* other = &other;
    EXPECT_EQ(object->QueryInterface(IID_NULL, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(object->Release(), 1u);
    EXPECT_EQ(object->Release(), 0u); // gone; the sanitizers watch the rest
}

TEST(DispatchObjects, KnowMembersByNameOnly) {
    IDispatch* object = createRegExpComponent();
    struct Row {
        std::u16string name;
        bool known;
    };
    const Row table[] = {{u"Pattern", true},     {u"pATTERN", true}, {u"Execute", true},
                         {u"Singleline", false}, {u"Patter", false}, {u"", false}};
    for (const Row& row : table) {
        std::u16string name = row.name;
        LPOLESTR names[] = {name.data()};
        DISPID id = 12345;
        HRESULT result = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        EXPECT_EQ(result, row.known ? S_OK : DISP_E_UNKNOWNNAME);
        EXPECT_EQ(id != DISPID_UNKNOWN, row.known);
    }
    OwnedVariant result = integerVariant(5);
    EXPECT_EQ(object->Invoke(424242, IID_NULL, 0, DISPATCH_PROPERTYGET, nullptr, &result.value,
                             nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(result.value.vt, VT_EMPTY);
    object->Release();
}

} // namespace
