#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/automation/Automation.h"

namespace {

constexpr VARTYPE byteArray = VT_ARRAY | VT_UI1;

std::string asciiOf(BSTR text) {
    std::string ascii;
    UINT length = SysStringLen(text);
    for (UINT i = 0; i < length; ++i) {
        if (text[i] > 0x7F) {
            return {}; // numbers are written in ASCII only
        }
        ascii += char(text[i]);
    }
    std::size_t first = ascii.find_first_not_of(' ');
    std::size_t last = ascii.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : ascii.substr(first, last - first + 1);
}

bool equalsIgnoringCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i] >= 'A' && a[i] <= 'Z' ? char(a[i] - 'A' + 'a') : a[i];
        if (c != b[i]) {
            return false;
        }
    }
    return true;
}

bool toNumber(const VARIANT& source, double& number) {
    switch (source.vt) {
    case VT_EMPTY:
        number = 0;
        return true;
    case VT_I4:
        number = source.lVal;
        return true;
    case VT_R8:
        number = source.dblVal;
        return true;
    case VT_BOOL:
        number = source.boolVal != 0 ? -1 : 0;
        return true;
    case VT_BSTR: {
        std::string ascii = asciiOf(source.bstrVal);
        const char* end = ascii.data() + ascii.size();
        const char* begin = ascii.data();
        if (begin != end && *begin == '+') {
            ++begin; // from_chars takes no plus sign
        }
        auto [stop, error] = std::from_chars(begin, end, number);
        return !ascii.empty() && error == std::errc() && stop == end;
    }
    default:
        return false;
    }
}

BSTR stringOfAscii(const std::string& ascii) {
    std::u16string units(ascii.begin(), ascii.end());
    return SysAllocStringLen(units.data(), UINT(units.size()));
}

HRESULT toString(const VARIANT& source, BSTR& text) {
    switch (source.vt) {
    case VT_EMPTY:
        text = SysAllocStringLen(nullptr, 0);
        break;
    case VT_I4:
        text = stringOfAscii(std::to_string(source.lVal));
        break;
    case VT_R8: {
        char buffer[32];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, source.dblVal,
                                    std::chars_format::general, 15);
        text = stringOfAscii(std::string(buffer, result.ptr));
        break;
    }
    case VT_BOOL:
        text = stringOfAscii(source.boolVal != 0 ? "-1" : "0");
        break;
    case VT_BSTR:
        text = SysAllocStringLen(source.bstrVal, SysStringLen(source.bstrVal));
        break;
    case byteArray: {
        if (source.parray == nullptr) {
            return DISP_E_TYPEMISMATCH;
        }
        void* data = nullptr;
        SafeArrayAccessData(source.parray, &data);
        UINT units = UINT(source.parray->rgsabound[0].cElements / sizeof(OLECHAR));
        text = SysAllocStringLen(nullptr, units);
        if (text != nullptr) {
            std::memcpy(text, data, units * sizeof(OLECHAR));
        }
        SafeArrayUnaccessData(source.parray);
        break;
    }
    default:
        return DISP_E_TYPEMISMATCH;
    }
    return text != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT toByteArray(const VARIANT& source, SAFEARRAY*& array) {
    if (source.vt == byteArray) {
        return SafeArrayCopy(source.parray, &array);
    }
    if (source.vt != VT_BSTR) {
        return DISP_E_TYPEMISMATCH;
    }
    ULONG bytes = SysStringLen(source.bstrVal) * ULONG(sizeof(OLECHAR));
    array = SafeArrayCreateVector(VT_UI1, 0, bytes);
    if (array == nullptr) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(array->pvData, source.bstrVal, bytes);
    return S_OK;
}

// Rounds half to even, as Windows does when a real becomes an integer.
HRESULT toInteger(double number, LONG& integer) {
    double rounded = std::nearbyint(number);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
        return DISP_E_OVERFLOW;
    }
    integer = LONG(rounded);
    return S_OK;
}

HRESULT convert(const VARIANT& source, VARTYPE type, VARIANT& converted) {
    VariantInit(&converted);
    double number = 0;
    switch (type) {
    case VT_EMPTY:
        return S_OK;
    case VT_BSTR:
        converted.vt = VT_BSTR;
        return toString(source, converted.bstrVal);
    case byteArray:
        converted.vt = byteArray;
        return toByteArray(source, converted.parray);
    case VT_R8:
        converted.vt = VT_R8;
        converted.dblVal = 0;
        return toNumber(source, converted.dblVal) ? S_OK : DISP_E_TYPEMISMATCH;
    case VT_I4:
        converted.vt = VT_I4;
        converted.lVal = 0;
        return toNumber(source, number) ? toInteger(number, converted.lVal) : DISP_E_TYPEMISMATCH;
    case VT_BOOL:
        converted.vt = VT_BOOL;
        converted.boolVal = VARIANT_FALSE;
        if (source.vt == VT_BSTR) {
            std::string word = asciiOf(source.bstrVal);
            if (equalsIgnoringCase(word, "true") || equalsIgnoringCase(word, "false")) {
                converted.boolVal = word.size() == 4 ? VARIANT_TRUE : VARIANT_FALSE;
                return S_OK;
            }
        }
        if (!toNumber(source, number)) {
            return DISP_E_TYPEMISMATCH;
        }
        converted.boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    default:
        return DISP_E_BADVARTYPE;
    }
}

} // namespace

void VariantInit(VARIANT* variant) {
    std::memset(variant, 0, sizeof *variant);
    variant->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* variant) {
    if (variant == nullptr) {
        return E_INVALIDARG;
    }
    switch (variant->vt) {
    case VT_BSTR:
        SysFreeString(variant->bstrVal);
        break;
    case VT_DISPATCH:
        if (variant->pdispVal != nullptr) {
            variant->pdispVal->Release();
        }
        break;
    case byteArray:
        if (HRESULT result = SafeArrayDestroy(variant->parray); FAILED(result)) {
            return result;
        }
        break;
    default:
        break;
    }
    VariantInit(variant);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* destination, const VARIANT* source) {
    if (destination == nullptr || source == nullptr) {
        return E_INVALIDARG;
    }
    if (destination == source) {
        return S_OK;
    }
    if (HRESULT result = VariantClear(destination); FAILED(result)) {
        return result;
    }
    VARIANT copy = *source;
    switch (source->vt) {
    case VT_BSTR:
        copy.bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
        if (copy.bstrVal == nullptr && source->bstrVal != nullptr) {
            return E_OUTOFMEMORY;
        }
        break;
    case VT_DISPATCH:
        if (copy.pdispVal != nullptr) {
            copy.pdispVal->AddRef();
        }
        break;
    case byteArray:
        if (HRESULT result = SafeArrayCopy(source->parray, &copy.parray); FAILED(result)) {
            return result;
        }
        break;
    default:
        break;
    }
    *destination = copy;
    return S_OK;
}

HRESULT VariantChangeType(VARIANT* destination, const VARIANT* source, USHORT, VARTYPE type) {
    if (destination == nullptr || source == nullptr) {
        return E_INVALIDARG;
    }
    if (source->vt == type) {
        return VariantCopy(destination, source);
    }
    VARIANT converted;
    HRESULT result = convert(*source, type, converted);
    if (FAILED(result)) {
        VariantClear(&converted);
        return result;
    }
    // Converted first, so that `destination` may be `source` itself.
    VariantClear(destination);
    *destination = converted;
    return S_OK;
}
