#pragma once

#include <cstdint>

// The COM and OLE Automation functions, types and constants that the program uses, with
// Windows' names and values. The Linux build implements them with a small runtime of its
// own; a Windows build takes them from ole32 and oleaut32 instead.

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using USHORT = std::uint16_t;
using SHORT = std::int16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using DOUBLE = double;
using WCHAR = char16_t;
using OLECHAR = WCHAR;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;
using HRESULT = std::int32_t;
using LCID = DWORD;
using DISPID = LONG;
using VARTYPE = USHORT;
using VARIANT_BOOL = SHORT;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002);
inline constexpr HRESULT E_POINTER = HRESULT(0x80004003);
inline constexpr HRESULT E_FAIL = HRESULT(0x80004005);
inline constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = HRESULT(0x80020003);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = HRESULT(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = HRESULT(0x80020006);
inline constexpr HRESULT DISP_E_EXCEPTION = HRESULT(0x80020009);
inline constexpr HRESULT DISP_E_OVERFLOW = HRESULT(0x8002000A);
inline constexpr HRESULT DISP_E_BADINDEX = HRESULT(0x8002000B);
inline constexpr HRESULT DISP_E_BADVARTYPE = HRESULT(0x80020008);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = HRESULT(0x8002000E);
inline constexpr HRESULT DISP_E_ARRAYISLOCKED = HRESULT(0x8002000D);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = HRESULT(0x80040154);
inline constexpr HRESULT CO_E_NOTINITIALIZED = HRESULT(0x800401F0);
inline constexpr HRESULT CO_E_CLASSSTRING = HRESULT(0x800401F3);

inline constexpr bool SUCCEEDED(HRESULT result) {
    return result >= 0;
}
inline constexpr bool FAILED(HRESULT result) {
    return result < 0;
}

inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_R8 = 5;
inline constexpr VARTYPE VT_BSTR = 8;
inline constexpr VARTYPE VT_DISPATCH = 9;
inline constexpr VARTYPE VT_BOOL = 11;
inline constexpr VARTYPE VT_UI1 = 17;
inline constexpr VARTYPE VT_ARRAY = 0x2000;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

inline constexpr WORD DISPATCH_METHOD = 1;
inline constexpr WORD DISPATCH_PROPERTYGET = 2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 4;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;

inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr DWORD CLSCTX_SERVER = 0x15;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

bool operator==(const GUID& a, const GUID& b);

extern const IID IID_NULL;
extern const IID IID_IUnknown;
extern const IID IID_IDispatch;

struct SAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
};

// A one-dimensional array; only byte elements are supported here.
struct SAFEARRAY {
    USHORT cDims;
    USHORT fFeatures;
    ULONG cbElements;
    ULONG cLocks;
    void* pvData;
    SAFEARRAYBOUND rgsabound[1];
};

class IDispatch;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        IDispatch* pdispVal;
        SAFEARRAY* parray;
    };
};
using VARIANTARG = VARIANT;

// Arguments of a call, the last argument first; a property put names its value
// DISPID_PROPERTYPUT.
struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

// Never filled in here: failures are reported by the HRESULT alone.
struct EXCEPINFO;

class IUnknown {
  public:
    // S_OK and one more reference in *object when `iid` is supported, else E_NOINTERFACE.
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    // The new reference count.
    virtual ULONG AddRef() = 0;
    // The new reference count; the object is gone when it reaches 0.
    virtual ULONG Release() = 0;

  protected:
    ~IUnknown() = default;
};

// An object reached by member name: names become DISPIDs, then Invoke gets or puts a
// property or calls a method.
class IDispatch : public IUnknown {
  public:
    // DISPID_UNKNOWN and DISP_E_UNKNOWNNAME for a name the object lacks (case does not count).
    virtual HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT nameCount, LCID locale,
                                  DISPID* ids) = 0;
    // A failed invoke leaves *result empty.
    virtual HRESULT Invoke(DISPID member, REFIID iid, LCID locale, WORD flags,
                           DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                           UINT* argumentError) = 0;

  protected:
    ~IDispatch() = default;
};

// Counted per thread: S_OK for the first call on a thread, S_FALSE after it.
HRESULT CoInitialize(void* reserved);
// Ends one CoInitialize of this thread; does nothing when none is left.
void CoUninitialize();
// The CLSID registered for `progId`; CO_E_CLASSSTRING when the name is unknown.
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);
// A new object of `clsid` with one reference in *object; CO_E_NOTINITIALIZED (and null)
// on a thread that has not called CoInitialize.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);

// A string of `length` units copied from `text` (uninitialised when null), NUL added;
// null when out of memory.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
// The units of a NUL-terminated `text`; null for null.
BSTR SysAllocString(const OLECHAR* text);
// The length in units; 0 for null.
UINT SysStringLen(BSTR text);
// Frees a string from SysAllocString*; null does nothing.
void SysFreeString(BSTR text);

// A zeroed vector of `count` elements of `type` (VT_UI1 only); null otherwise.
SAFEARRAY* SafeArrayCreateVector(VARTYPE type, LONG lowerBound, ULONG count);
// DISP_E_ARRAYISLOCKED while its data is accessed.
HRESULT SafeArrayDestroy(SAFEARRAY* array);
// A new array with the same bounds and elements in *copy.
HRESULT SafeArrayCopy(SAFEARRAY* array, SAFEARRAY** copy);
// Gives a vector `bound->cElements` elements (its lower bound stays); new elements are zero.
// DISP_E_ARRAYISLOCKED while its data is accessed.
HRESULT SafeArrayRedim(SAFEARRAY* array, SAFEARRAYBOUND* bound);
// Locks the array and gives its elements.
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);

// Makes `variant` empty without freeing anything.
void VariantInit(VARIANT* variant);
// Frees what `variant` holds (a string, an array, a reference) and makes it empty.
HRESULT VariantClear(VARIANT* variant);
// Clears `destination`, then makes it an independent copy of `source`.
HRESULT VariantCopy(VARIANT* destination, const VARIANT* source);
// `source` as `type` in `destination` (they may be the same variant). A byte array and a
// string convert into each other unit by unit (two bytes, low first); Booleans become
// -1 and 0. On failure `destination` is left as it was.
HRESULT VariantChangeType(VARIANT* destination, const VARIANT* source, USHORT flags, VARTYPE type);
