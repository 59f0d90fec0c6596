#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/automation/ComponentRegistry.h"
#include "tests/platform/automation/AutomationTestSupport.h"

// A component that writes every call it receives into a log ("Name=value" for a put,
// "Name(arguments)" otherwise) and answers reads only from `answers`.
class RecordingComponent final : public IDispatch {
  public:
    RecordingComponent(std::vector<std::string>& log,
                       const std::map<std::string, std::u16string>& answers, int& alive)
        : log(log), answers(answers), alive(alive) {
        ++alive;
    }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!(iid == IID_IUnknown || iid == IID_IDispatch)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override {
        ULONG left = --references;
        if (left == 0) {
            --alive;
            delete this;
        }
        return left;
    }

    // Knows every name.
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        std::string name;
        for (const OLECHAR* unit = names[0]; *unit != 0; ++unit) {
            name += char(*unit);
        }
        std::size_t slot = 0;
        while (slot < members.size() && members[slot] != name) {
            ++slot;
        }
        if (slot == members.size()) {
            members.push_back(name);
        }
        ids[0] = DISPID(slot + 1);
        return S_OK;
    }

    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                   EXCEPINFO*, UINT*) override {
        const std::string& name = members.at(std::size_t(id - 1));
        std::string line = name + (flags == DISPATCH_PROPERTYPUT ? "=" : "(");
        for (UINT i = parameters->cArgs; i-- > 0;) {
            line += describe(parameters->rgvarg[i]) + (i > 0 ? "," : "");
        }
        log.push_back(flags == DISPATCH_PROPERTYPUT ? line : line + ")");
        if (flags == DISPATCH_PROPERTYPUT) {
            return S_OK;
        }
        auto answer = answers.find(name);
        if (answer == answers.end()) {
            return DISP_E_MEMBERNOTFOUND;
        }
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocStringLen(answer->second.data(), UINT(answer->second.size()));
        return S_OK;
    }

  private:
    ~RecordingComponent() = default;

    std::vector<std::string>& log;
    const std::map<std::string, std::u16string>& answers;
    int& alive;
    std::vector<std::string> members;
    ULONG references = 1;
};

// Puts a recording component in place of "VBScript.RegExp" for its lifetime.
class RecordingRegistration {
  public:
    RecordingRegistration() {
        previous = registerComponent(u"VBScript.RegExp", [this]() -> IDispatch* {
            ++made;
            return new RecordingComponent(log, answers, alive);
        });
    }
    ~RecordingRegistration() { registerComponent(u"VBScript.RegExp", previous); }
    RecordingRegistration(const RecordingRegistration&) = delete;
    RecordingRegistration& operator=(const RecordingRegistration&) = delete;

    std::vector<std::string> log;
    std::map<std::string, std::u16string> answers;
    int made = 0;
    int alive = 0;

  private:
    ComponentFactory previous;
};

// Removes "VBScript.RegExp" for its lifetime, so that no component can be made.
class MissingComponent {
  public:
    MissingComponent() : previous(registerComponent(u"VBScript.RegExp", {})) {}
    ~MissingComponent() { registerComponent(u"VBScript.RegExp", previous); }
    MissingComponent(const MissingComponent&) = delete;
    MissingComponent& operator=(const MissingComponent&) = delete;

  private:
    ComponentFactory previous;
};
