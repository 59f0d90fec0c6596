#include "regex/ComponentBridge.h"

#include <cstring>
#include <string>
#include <vector>

#include "text/CodePageConversion.h"

namespace {

constexpr std::uint32_t systemCodePage = 0; // CP_ACP

BSTR stringFromText(const Text& text) {
    Bytes units = codePageToUtf16(text, systemCodePage);
    // The conversion ends with the NUL unit, which the string adds itself.
    UINT length = units.size() >= 2 ? UINT(units.size() / 2 - 1) : 0;
    BSTR string = SysAllocStringLen(nullptr, length);
    if (string != nullptr) {
        std::memcpy(string, units.data(), length * sizeof(OLECHAR));
    }
    return string;
}

Text textFromString(BSTR string) {
    Bytes units(SysStringLen(string) * sizeof(OLECHAR), '\0');
    if (!units.empty()) {
        std::memcpy(units.data(), string, units.size());
    }
    return utf16ToCodePage(units, systemCodePage);
}

// The dispatch interface takes its arguments last first; the VARIANTs are lent, not copied.
std::vector<VARIANTARG> lastFirst(ComponentArguments arguments) {
    std::vector<VARIANTARG> reversed;
    reversed.reserve(arguments.size());
    for (auto it = std::rbegin(arguments); it != std::rend(arguments); ++it) {
        reversed.push_back(it->variant());
    }
    return reversed;
}

HRESULT invoke(IDispatch* object, const char* member, WORD flags, std::vector<VARIANTARG> reversed,
               VARIANT* result) {
    if (result != nullptr) {
        VariantInit(result);
    }
    if (object == nullptr) {
        return E_POINTER;
    }
    std::basic_string<OLECHAR> name(member, member + std::strlen(member));
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    HRESULT found = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(found)) {
        return found;
    }
    DISPID putName = DISPID_PROPERTYPUT;
    bool put = flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS parameters{reversed.data(), put ? &putName : nullptr, UINT(reversed.size()),
                          put ? 1u : 0u};
    HRESULT outcome = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result,
                                     nullptr, nullptr);
    if (FAILED(outcome) && result != nullptr) {
        VariantClear(result);
    }
    return outcome;
}

IDispatch* objectOf(VARIANT& result) {
    if (result.vt == VT_DISPATCH) {
        return result.pdispVal; // the caller takes over the reference
    }
    VariantClear(&result);
    return nullptr;
}

constexpr WORD readFlags = DISPATCH_PROPERTYGET | DISPATCH_METHOD;

} // namespace

ComponentArgument::ComponentArgument(bool value) {
    VariantInit(&this->value);
    this->value.vt = VT_BOOL;
    this->value.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

ComponentArgument::ComponentArgument(int value) {
    VariantInit(&this->value);
    this->value.vt = VT_I4;
    this->value.lVal = value;
}

ComponentArgument::ComponentArgument(double value) {
    VariantInit(&this->value);
    this->value.vt = VT_R8;
    this->value.dblVal = value;
}

ComponentArgument::ComponentArgument(const Text& value) : owned(true) {
    VariantInit(&this->value);
    this->value.vt = VT_BSTR;
    this->value.bstrVal = stringFromText(value);
}

ComponentArgument::ComponentArgument(const VARIANT& value) : value(value) {}

ComponentArgument::~ComponentArgument() {
    if (owned) {
        VariantClear(&value);
    }
}

IDispatch* createObject(const char* progId) {
    std::basic_string<OLECHAR> name(progId, progId + std::strlen(progId));
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(name.c_str(), &clsid))) {
        return nullptr;
    }
    IDispatch* object = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&object)))) {
        return nullptr;
    }
    return object;
}

void writeProperty(IDispatch* object, const char* member, const ComponentArgument& value) {
    invoke(object, member, DISPATCH_PROPERTYPUT, {value.variant()}, nullptr);
}

VARIANT readVariant(IDispatch* object, const char* member, ComponentArguments arguments) {
    VARIANT result;
    invoke(object, member, readFlags, lastFirst(arguments), &result);
    return result;
}

IDispatch* readObject(IDispatch* object, const char* member, ComponentArguments arguments) {
    VARIANT result = readVariant(object, member, arguments);
    return objectOf(result);
}

double readNumber(IDispatch* object, const char* member, ComponentArguments arguments) {
    VARIANT result = readVariant(object, member, arguments);
    double number = 0;
    if (SUCCEEDED(VariantChangeType(&result, &result, 0, VT_R8))) {
        number = result.dblVal;
    }
    VariantClear(&result);
    return number;
}

Text readText(IDispatch* object, const char* member, ComponentArguments arguments) {
    VARIANT result = readVariant(object, member, arguments);
    Text text = variantToText(result);
    VariantClear(&result);
    return text;
}

IDispatch* callObject(IDispatch* object, const char* member, ComponentArguments arguments) {
    VARIANT result;
    invoke(object, member, DISPATCH_METHOD, lastFirst(arguments), &result);
    return objectOf(result);
}

Text callText(IDispatch* object, const char* member, ComponentArguments arguments) {
    VARIANT result;
    invoke(object, member, DISPATCH_METHOD, lastFirst(arguments), &result);
    Text text = variantToText(result);
    VariantClear(&result);
    return text;
}

IDispatch* shareObject(IDispatch* object) {
    if (object != nullptr) {
        object->AddRef();
    }
    return object;
}

void releaseObject(IDispatch*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}

void clearVariant(VARIANT& variant) {
    VariantClear(&variant);
}

void copyVariant(VARIANT& destination, const VARIANT& source) {
    VariantCopy(&destination, &source);
}

void storeBytes(VARIANT& variant, const Bytes& bytes) {
    VariantClear(&variant);
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, ULONG(bytes.size()));
    if (array == nullptr) {
        return;
    }
    void* data = nullptr;
    if (SUCCEEDED(SafeArrayAccessData(array, &data))) {
        std::memcpy(data, bytes.data(), bytes.size());
        SafeArrayUnaccessData(array);
    }
    variant.vt = VT_ARRAY | VT_UI1;
    variant.parray = array;
}

void storeBytes(VARIANT& variant, std::size_t room, const std::function<std::size_t(char*)>& fill) {
    VariantClear(&variant);
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, ULONG(room));
    if (array == nullptr) {
        return;
    }
    void* data = nullptr;
    std::size_t written = 0;
    if (SUCCEEDED(SafeArrayAccessData(array, &data))) {
        written = fill(static_cast<char*>(data));
        SafeArrayUnaccessData(array);
    }
    SAFEARRAYBOUND bound{ULONG(written), 0};
    SafeArrayRedim(array, &bound);
    variant.vt = VT_ARRAY | VT_UI1;
    variant.parray = array;
}

Bytes variantToUtf16Bytes(const VARIANT& variant) {
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, &variant, 0, VT_ARRAY | VT_UI1))) {
        return {};
    }
    Bytes bytes;
    void* data = nullptr;
    if (SUCCEEDED(SafeArrayAccessData(converted.parray, &data))) {
        bytes.assign(static_cast<const char*>(data), converted.parray->rgsabound[0].cElements);
        SafeArrayUnaccessData(converted.parray);
    }
    VariantClear(&converted);
    return bytes;
}

Text variantToText(const VARIANT& variant) {
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, &variant, 0, VT_BSTR))) {
        return {};
    }
    Text text = textFromString(converted.bstrVal);
    VariantClear(&converted);
    return text;
}
