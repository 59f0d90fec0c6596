#include "platform/automation/DispatchObject.h"

namespace {

bool sameNameIgnoringCase(const OLECHAR* name, const char* memberName) {
    auto lower = [](unsigned unit) { return unit >= 'A' && unit <= 'Z' ? unit + 32 : unit; };
    std::size_t i = 0;
    for (; name[i] != 0 && memberName[i] != 0; ++i) {
        if (lower(name[i]) != lower(static_cast<unsigned char>(memberName[i]))) {
            return false;
        }
    }
    return name[i] == 0 && memberName[i] == 0;
}

} // namespace

HRESULT DispatchObject::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        AddRef();
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG DispatchObject::AddRef() {
    return ++references;
}

ULONG DispatchObject::Release() {
    ULONG left = --references;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT nameCount, LCID, DISPID* ids) {
    if (names == nullptr || ids == nullptr || nameCount == 0) {
        return E_INVALIDARG;
    }
    for (UINT i = 0; i < nameCount; ++i) {
        ids[i] = DISPID_UNKNOWN;
    }
    for (const Member& member : members()) {
        if (names[0] != nullptr && sameNameIgnoringCase(names[0], member.name)) {
            ids[0] = member.id;
            // Named parameters are not supported.
            return nameCount == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                               VARIANT* result, EXCEPINFO*, UINT*) {
    if (result != nullptr) {
        VariantInit(result);
    }
    const Member* found = nullptr;
    for (const Member& member : members()) {
        if (member.id == id) {
            found = &member;
        }
    }
    if (found == nullptr) {
        return DISP_E_MEMBERNOTFOUND;
    }
    WORD kind = 0;
    for (WORD candidate : {DISPATCH_PROPERTYPUT, DISPATCH_PROPERTYGET, DISPATCH_METHOD}) {
        if (kind == 0 && (flags & candidate) != 0 && (found->kinds & candidate) != 0) {
            kind = candidate;
        }
    }
    if (kind == 0) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (parameters != nullptr && parameters->cArgs > 0 && parameters->rgvarg == nullptr) {
        return E_INVALIDARG;
    }
    VARIANT value;
    VariantInit(&value);
    HRESULT outcome = run(id, kind, Arguments(parameters), value);
    if (FAILED(outcome) || result == nullptr) {
        VariantClear(&value);
    } else {
        *result = value;
    }
    return outcome;
}

HRESULT DispatchObject::booleanArgument(const VARIANT& argument, bool& value) {
    VARIANT converted;
    VariantInit(&converted);
    HRESULT result = VariantChangeType(&converted, &argument, 0, VT_BOOL);
    value = SUCCEEDED(result) && converted.boolVal != VARIANT_FALSE;
    return SUCCEEDED(result) ? S_OK : DISP_E_TYPEMISMATCH;
}

HRESULT DispatchObject::integerArgument(const VARIANT& argument, LONG& value) {
    VARIANT converted;
    VariantInit(&converted);
    HRESULT result = VariantChangeType(&converted, &argument, 0, VT_I4);
    value = SUCCEEDED(result) ? converted.lVal : 0;
    return SUCCEEDED(result) ? S_OK : DISP_E_TYPEMISMATCH;
}

HRESULT DispatchObject::stringArgument(const VARIANT& argument, std::u16string& value) {
    VARIANT converted;
    VariantInit(&converted);
    HRESULT result = VariantChangeType(&converted, &argument, 0, VT_BSTR);
    if (FAILED(result)) {
        return DISP_E_TYPEMISMATCH;
    }
    value.assign(converted.bstrVal, SysStringLen(converted.bstrVal));
    VariantClear(&converted);
    return S_OK;
}

HRESULT DispatchObject::indexArgument(const VARIANT& argument, std::size_t size,
                                      std::size_t& index) {
    LONG number = 0;
    if (HRESULT result = integerArgument(argument, number); FAILED(result)) {
        return result;
    }
    if (number < 0 || std::size_t(number) >= size) {
        return DISP_E_BADINDEX;
    }
    index = std::size_t(number);
    return S_OK;
}

void DispatchObject::booleanResult(VARIANT& result, bool value) {
    result.vt = VT_BOOL;
    result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void DispatchObject::integerResult(VARIANT& result, LONG value) {
    result.vt = VT_I4;
    result.lVal = value;
}

HRESULT DispatchObject::stringResult(VARIANT& result, std::u16string_view value) {
    BSTR text = SysAllocStringLen(value.data(), UINT(value.size()));
    if (text == nullptr) {
        return E_OUTOFMEMORY;
    }
    result.vt = VT_BSTR;
    result.bstrVal = text;
    return S_OK;
}

HRESULT DispatchObject::objectResult(VARIANT& result, IDispatch* object) {
    if (object == nullptr) {
        return E_OUTOFMEMORY;
    }
    result.vt = VT_DISPATCH;
    result.pdispVal = object;
    return S_OK;
}
