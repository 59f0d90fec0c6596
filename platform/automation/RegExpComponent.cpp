#include "platform/automation/RegExpComponent.h"

#include <cstring>
#include <new>

#include "platform/automation/DispatchObject.h"
#include "platform/automation/MatchObjects.h"
#include "platform/automation/RegExpEngine.h"
#include "platform/automation/ReplaceTemplate.h"

namespace {

constexpr DISPID patternId = 10001;
constexpr DISPID ignoreCaseId = 10002;
constexpr DISPID globalId = 10003;
constexpr DISPID executeId = 10004;
constexpr DISPID testId = 10005;
constexpr DISPID replaceId = 10006;
constexpr DISPID multilineId = 10007;

constexpr WORD property = DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT;

class RegExp final : public DispatchObject {
  private:
    std::span<const Member> members() const override {
        static constexpr Member list[] = {
            {"Pattern", patternId, property},        {"IgnoreCase", ignoreCaseId, property},
            {"Global", globalId, property},          {"Multiline", multilineId, property},
            {"Execute", executeId, DISPATCH_METHOD}, {"Test", testId, DISPATCH_METHOD},
            {"Replace", replaceId, DISPATCH_METHOD},
        };
        return list;
    }

    HRESULT run(DISPID id, WORD kind, const Arguments& arguments, VARIANT& result) override {
        switch (id) {
        case patternId:
            if (kind == DISPATCH_PROPERTYPUT) {
                return arguments.count() == 1 ? stringArgument(arguments[0], pattern)
                                              : DISP_E_BADPARAMCOUNT;
            }
            return stringResult(result, pattern);
        case ignoreCaseId:
            return flag(ignoreCase, kind, arguments, result);
        case globalId:
            return flag(global, kind, arguments, result);
        case multilineId:
            return flag(multiline, kind, arguments, result);
        default:
            return runMethod(id, arguments, result);
        }
    }

    HRESULT flag(bool& value, WORD kind, const Arguments& arguments, VARIANT& result) {
        if (kind == DISPATCH_PROPERTYPUT) {
            return arguments.count() == 1 ? booleanArgument(arguments[0], value)
                                          : DISP_E_BADPARAMCOUNT;
        }
        booleanResult(result, value);
        return S_OK;
    }

    HRESULT runMethod(DISPID id, const Arguments& arguments, VARIANT& result) {
        UINT wanted = id == replaceId ? 2 : 1;
        if (arguments.count() != wanted) {
            return DISP_E_BADPARAMCOUNT;
        }
        Subject subject;
        if (HRESULT read = subject.read(arguments[0]); FAILED(read)) {
            return read;
        }
        std::u16string replacement;
        if (id == replaceId) {
            if (HRESULT read = stringArgument(arguments[1], replacement); FAILED(read)) {
                return read;
            }
        }
        CompiledPattern compiled(pattern, {ignoreCase, multiline});
        auto results = std::make_shared<MatchResults>();
        if (!compiled.findMatches(subject.units(), *results, global && id != testId)) {
            return DISP_E_EXCEPTION;
        }
        if (id == testId) {
            booleanResult(result, results->matchCount() > 0);
            return S_OK;
        }
        if (id == replaceId) {
            return stringResult(result, replaceMatches(replacement, subject.units(), *results));
        }
        results->keep(subject.units());
        return objectResult(result, createMatchCollection(std::move(results)));
    }

    // The text to search, read in place where it can be: a byte array as UTF-16LE units up
    // to, not including, a terminating NUL unit; a string as it is; anything else converted.
    class Subject {
      public:
        Subject() = default;
        ~Subject() {
            if (array_ != nullptr) {
                SafeArrayUnaccessData(array_);
            }
        }
        Subject(const Subject&) = delete;
        Subject& operator=(const Subject&) = delete;

        HRESULT read(const VARIANT& argument) {
            if (argument.vt == VT_BSTR) {
                units_ = std::u16string_view(argument.bstrVal, SysStringLen(argument.bstrVal));
                return S_OK;
            }
            void* data = nullptr;
            if (argument.vt != (VT_ARRAY | VT_UI1) || argument.parray == nullptr ||
                FAILED(SafeArrayAccessData(argument.parray, &data))) {
                HRESULT converted = stringArgument(argument, converted_);
                units_ = converted_;
                return converted;
            }
            array_ = argument.parray;
            units_ = std::u16string_view(static_cast<const char16_t*>(data),
                                         array_->rgsabound[0].cElements / sizeof(char16_t));
            if (!units_.empty() && units_.back() == 0) {
                units_.remove_suffix(1);
            }
            return S_OK;
        }

        std::u16string_view units() const { return units_; }

      private:
        std::u16string_view units_;
        std::u16string converted_;
        SAFEARRAY* array_ = nullptr;
    };

    std::u16string pattern;
    bool ignoreCase = false;
    bool global = false;
    bool multiline = false;
};

} // namespace

IDispatch* createRegExpComponent() {
    return new (std::nothrow) RegExp();
}
