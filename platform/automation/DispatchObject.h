#pragma once

#include <atomic>
#include <span>
#include <string>
#include <string_view>

#include "platform/automation/Automation.h"

// The runtime's own component objects: reference counting, QueryInterface and member
// lookup by name; each component lists its members and runs them. A new object holds
// one reference, and the last Release deletes it.
class DispatchObject : public IDispatch {
  public:
    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT nameCount, LCID locale,
                          DISPID* ids) override;
    HRESULT Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

  protected:
    // A member reached by `name`; `kinds` are the DISPATCH_* flags that it answers.
    struct Member {
        const char* name;
        DISPID id;
        WORD kinds;
    };

    // The arguments of one call in call order; a property put's value comes last.
    class Arguments {
      public:
        explicit Arguments(const DISPPARAMS* parameters) : parameters(parameters) {}
        UINT count() const { return parameters != nullptr ? parameters->cArgs : 0; }
        const VARIANT& operator[](UINT index) const {
            return parameters->rgvarg[parameters->cArgs - 1 - index];
        }

      private:
        const DISPPARAMS* parameters;
    };

    DispatchObject() = default;
    virtual ~DispatchObject() = default;

    // The members that GetIDsOfNames knows.
    virtual std::span<const Member> members() const = 0;
    // Runs member `id` as `kind` (one DISPATCH_* flag that the member answers) and leaves
    // its value in `result`, which arrives empty.
    virtual HRESULT run(DISPID id, WORD kind, const Arguments& arguments, VARIANT& result) = 0;

    // Argument conversions through VariantChangeType; DISP_E_TYPEMISMATCH when they fail.
    static HRESULT booleanArgument(const VARIANT& argument, bool& value);
    static HRESULT integerArgument(const VARIANT& argument, LONG& value);
    static HRESULT stringArgument(const VARIANT& argument, std::u16string& value);
    // An item number from 0 below `size`; DISP_E_BADINDEX outside.
    static HRESULT indexArgument(const VARIANT& argument, std::size_t size, std::size_t& index);

    // Results; the object result takes over the caller's reference, and a null object (one
    // that could not be made) gives E_OUTOFMEMORY.
    static void booleanResult(VARIANT& result, bool value);
    static void integerResult(VARIANT& result, LONG value);
    static HRESULT stringResult(VARIANT& result, std::u16string_view value);
    static HRESULT objectResult(VARIANT& result, IDispatch* object);

  private:
    std::atomic<ULONG> references{1};
};
