#include <cstdlib>
#include <cstring>

#include "platform/automation/Automation.h"

// A string keeps its length in bytes in the four bytes before its first unit, as
// Windows lays it out, so that embedded NUL units survive.

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    if (length > (0xFFFFFFFFu - sizeof(std::uint32_t)) / sizeof(OLECHAR) - 1) {
        return nullptr;
    }
    std::size_t bytes = std::size_t(length) * sizeof(OLECHAR);
    auto* block =
        static_cast<unsigned char*>(std::malloc(sizeof(std::uint32_t) + bytes + sizeof(OLECHAR)));
    if (block == nullptr) {
        return nullptr;
    }
    std::uint32_t prefix = std::uint32_t(bytes);
    std::memcpy(block, &prefix, sizeof prefix);
    auto* units = reinterpret_cast<OLECHAR*>(block + sizeof prefix);
    if (text != nullptr) {
        std::memcpy(units, text, bytes);
    }
    units[length] = 0;
    return units;
}

BSTR SysAllocString(const OLECHAR* text) {
    if (text == nullptr) {
        return nullptr;
    }
    UINT length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return SysAllocStringLen(text, length);
}

UINT SysStringLen(BSTR text) {
    if (text == nullptr) {
        return 0;
    }
    std::uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<unsigned char*>(text) - sizeof prefix, sizeof prefix);
    return prefix / sizeof(OLECHAR);
}

void SysFreeString(BSTR text) {
    if (text != nullptr) {
        std::free(reinterpret_cast<unsigned char*>(text) - sizeof(std::uint32_t));
    }
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE type, LONG lowerBound, ULONG count) {
    if (type != VT_UI1) {
        return nullptr;
    }
    auto* array = static_cast<SAFEARRAY*>(std::calloc(1, sizeof(SAFEARRAY)));
    if (array == nullptr) {
        return nullptr;
    }
    // One byte at least, so that an empty array still has data to access.
    array->pvData = std::calloc(count == 0 ? 1 : count, 1);
    if (array->pvData == nullptr) {
        std::free(array);
        return nullptr;
    }
    array->cDims = 1;
    array->cbElements = 1;
    array->rgsabound[0] = {count, lowerBound};
    return array;
}

HRESULT SafeArrayDestroy(SAFEARRAY* array) {
    if (array == nullptr) {
        return S_OK;
    }
    if (array->cLocks > 0) {
        return DISP_E_ARRAYISLOCKED;
    }
    std::free(array->pvData);
    std::free(array);
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy) {
    if (copy == nullptr) {
        return E_POINTER;
    }
    *copy = nullptr;
    if (array == nullptr) {
        return S_OK;
    }
    const SAFEARRAYBOUND& bound = array->rgsabound[0];
    SAFEARRAY* made = SafeArrayCreateVector(VT_UI1, bound.lLbound, bound.cElements);
    if (made == nullptr) {
        return E_OUTOFMEMORY;
    }
    std::memcpy(made->pvData, array->pvData, bound.cElements);
    *copy = made;
    return S_OK;
}

HRESULT SafeArrayRedim(SAFEARRAY* array, SAFEARRAYBOUND* bound) {
    if (array == nullptr || bound == nullptr) {
        return E_INVALIDARG;
    }
    if (array->cLocks > 0) {
        return DISP_E_ARRAYISLOCKED;
    }
    const ULONG before = array->rgsabound[0].cElements;
    const ULONG after = bound->cElements;
    void* data = std::realloc(array->pvData, after == 0 ? 1 : after);
    if (data == nullptr) {
        return E_OUTOFMEMORY;
    }
    if (after > before) {
        std::memset(static_cast<char*>(data) + before, 0, after - before);
    }
    array->pvData = data;
    array->rgsabound[0].cElements = after;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
    if (array == nullptr || data == nullptr) {
        return E_INVALIDARG;
    }
    ++array->cLocks;
    *data = array->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array) {
    if (array == nullptr || array->cLocks == 0) {
        return E_INVALIDARG;
    }
    --array->cLocks;
    return S_OK;
}
