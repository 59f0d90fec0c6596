#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/Automation.h"

// A VARIANT that clears itself.
struct OwnedVariant {
    VARIANT value;

    OwnedVariant() { VariantInit(&value); }
    ~OwnedVariant() { VariantClear(&value); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
    OwnedVariant(OwnedVariant&& other) noexcept : value(other.value) { VariantInit(&other.value); }
    OwnedVariant& operator=(OwnedVariant&& other) noexcept {
        std::swap(value, other.value);
        return *this;
    }
};

inline OwnedVariant stringVariant(std::u16string_view text) {
    OwnedVariant variant;
    variant.value.vt = VT_BSTR;
    variant.value.bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
    return variant;
}

inline OwnedVariant integerVariant(LONG number) {
    OwnedVariant variant;
    variant.value.vt = VT_I4;
    variant.value.lVal = number;
    return variant;
}

inline OwnedVariant doubleVariant(double number) {
    OwnedVariant variant;
    variant.value.vt = VT_R8;
    variant.value.dblVal = number;
    return variant;
}

inline OwnedVariant booleanVariant(bool flag) {
    OwnedVariant variant;
    variant.value.vt = VT_BOOL;
    variant.value.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return variant;
}

inline OwnedVariant bytesVariant(std::string_view bytes) {
    OwnedVariant variant;
    variant.value.vt = VT_ARRAY | VT_UI1;
    variant.value.parray = SafeArrayCreateVector(VT_UI1, 0, ULONG(bytes.size()));
    void* data = nullptr;
    SafeArrayAccessData(variant.value.parray, &data);
    std::copy(bytes.begin(), bytes.end(), static_cast<char*>(data));
    SafeArrayUnaccessData(variant.value.parray);
    return variant;
}

// The kind and value of `variant` as one readable line, e.g. "BSTR:42" or "BYTES:61 00".
inline std::string describe(const VARIANT& variant) {
    char buffer[64];
    switch (variant.vt) {
    case VT_EMPTY:
        return "EMPTY";
    case VT_I4:
        return "I4:" + std::to_string(variant.lVal);
    case VT_R8:
        std::snprintf(buffer, sizeof buffer, "R8:%g", variant.dblVal);
        return buffer;
    case VT_BOOL:
        return "BOOL:" + std::to_string(variant.boolVal);
    case VT_DISPATCH:
        return "DISPATCH";
    case VT_BSTR: {
        std::string text = "BSTR:";
        for (UINT i = 0; i < SysStringLen(variant.bstrVal); ++i) {
            char16_t unit = variant.bstrVal[i];
            if (unit >= 0x20 && unit < 0x7F) {
                text += char(unit);
            } else {
                std::snprintf(buffer, sizeof buffer, "\\u%04X", unsigned(unit));
                text += buffer;
            }
        }
        return text;
    }
    case VT_ARRAY | VT_UI1: {
        std::string text = "BYTES:";
        const auto* bytes = static_cast<const unsigned char*>(variant.parray->pvData);
        for (ULONG i = 0; i < variant.parray->rgsabound[0].cElements; ++i) {
            std::snprintf(buffer, sizeof buffer, i == 0 ? "%02X" : " %02X", bytes[i]);
            text += buffer;
        }
        return text;
    }
    default:
        return "VT " + std::to_string(variant.vt);
    }
}

// Looks `name` up and invokes it with `arguments` in call order; a put names its value.
inline HRESULT invokeByName(IDispatch* object, std::u16string name, WORD flags,
                            std::vector<const VARIANT*> arguments, VARIANT* result) {
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    HRESULT found = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(found)) {
        return found;
    }
    std::vector<VARIANT> reversed;
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) {
        reversed.push_back(**it);
    }
    DISPID putName = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{reversed.data(), flags == DISPATCH_PROPERTYPUT ? &putName : nullptr,
                          UINT(reversed.size()), flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, nullptr,
                          nullptr);
}

inline const VARIANT& variantOf(const VARIANT& variant) {
    return variant;
}
inline const VARIANT& variantOf(const OwnedVariant& variant) {
    return variant.value;
}

// Reads property or calls method `name` with `arguments` (VARIANTs or OwnedVariants),
// giving its value (EMPTY on failure).
template <typename... Arguments>
OwnedVariant get(IDispatch* object, std::u16string name, const Arguments&... arguments) {
    OwnedVariant result;
    invokeByName(object, std::move(name), DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                 {&variantOf(arguments)...}, &result.value);
    return result;
}

inline HRESULT put(IDispatch* object, std::u16string name, const OwnedVariant& value) {
    return invokeByName(object, std::move(name), DISPATCH_PROPERTYPUT, {&value.value}, nullptr);
}
