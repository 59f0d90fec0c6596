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
        auto results = std::make_shared<MatchResults>();
        if (HRESULT read = subjectArgument(arguments[0], results->subject); FAILED(read)) {
            return read;
        }
        std::u16string replacement;
        if (id == replaceId) {
            if (HRESULT read = stringArgument(arguments[1], replacement); FAILED(read)) {
                return read;
            }
        }
        CompiledPattern compiled(pattern, {ignoreCase, multiline});
        if (!compiled.findMatches(*results, global && id != testId)) {
            return DISP_E_EXCEPTION;
        }
        if (id == testId) {
            booleanResult(result, results->matchCount() > 0);
            return S_OK;
        }
        if (id == replaceId) {
            return stringResult(result, replaceMatches(replacement, *results));
        }
        return objectResult(result, createMatchCollection(std::move(results)));
    }

    // The text to search: a string as it is; a byte array as UTF-16LE units up to, not
    // including, a terminating NUL unit.
    static HRESULT subjectArgument(const VARIANT& argument, std::u16string& subject) {
        if (argument.vt != (VT_ARRAY | VT_UI1) || argument.parray == nullptr) {
            return stringArgument(argument, subject);
        }
        void* data = nullptr;
        SafeArrayAccessData(argument.parray, &data);
        std::size_t units = argument.parray->rgsabound[0].cElements / sizeof(char16_t);
        subject.resize(units);
        std::memcpy(subject.data(), data, units * sizeof(char16_t));
        SafeArrayUnaccessData(argument.parray);
        if (!subject.empty() && subject.back() == 0) {
            subject.pop_back();
        }
        return S_OK;
    }

    std::u16string pattern;
    bool ignoreCase = false;
    bool global = false;
    bool multiline = false;
};

} // namespace

IDispatch* createRegExpComponent() {
    return new (std::nothrow) RegExp();
}
