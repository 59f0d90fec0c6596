#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/automation/Automation.h"
#include "platform/automation/ComponentRegistry.h"
#include "platform/automation/RegExpComponent.h"

const IID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

bool operator==(const GUID& a, const GUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

namespace {

thread_local int initialisations = 0;

struct Registration {
    std::u16string progId; // lower case
    ComponentFactory factory;
};

// A CLSID of this runtime carries its registry slot in Data1; the rest marks it as ours.
constexpr CLSID clsidOfSlot(std::size_t slot) {
    return {std::uint32_t(slot + 1), 0x5155, 0x4F52, {'Q', 'u', 'o', 'r', 'v', 'e', 'l', 0}};
}

std::u16string lowerAscii(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& unit : lower) {
        if (unit >= u'A' && unit <= u'Z') {
            unit = char16_t(unit - u'A' + u'a');
        }
    }
    return lower;
}

struct Registry {
    std::mutex lock;
    std::vector<Registration> registrations{{u"vbscript.regexp", createRegExpComponent}};

    static Registry& instance() {
        static Registry registry;
        return registry;
    }
    // Slot of `progId`, or the size when it has none.
    std::size_t find(const std::u16string& progId) const {
        std::size_t slot = 0;
        while (slot < registrations.size() && registrations[slot].progId != progId) {
            ++slot;
        }
        return slot;
    }
};

} // namespace

HRESULT CoInitialize(void*) {
    return initialisations++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (initialisations > 0) {
        --initialisations;
    }
}

ComponentFactory registerComponent(std::u16string_view progId, ComponentFactory factory) {
    Registry& registry = Registry::instance();
    std::lock_guard guard(registry.lock);
    std::u16string key = lowerAscii(progId);
    std::size_t slot = registry.find(key);
    if (slot == registry.registrations.size()) {
        // Slots are never reused, so a CLSID keeps naming the same ProgID.
        registry.registrations.push_back({key, {}});
    }
    std::swap(registry.registrations[slot].factory, factory);
    return factory;
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid) {
    if (progId == nullptr || clsid == nullptr) {
        return E_INVALIDARG;
    }
    Registry& registry = Registry::instance();
    std::lock_guard guard(registry.lock);
    std::size_t slot = registry.find(lowerAscii(progId));
    if (slot == registry.registrations.size() || !registry.registrations[slot].factory) {
        return CO_E_CLASSSTRING;
    }
    *clsid = clsidOfSlot(slot);
    return S_OK;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (initialisations == 0) {
        return CO_E_NOTINITIALIZED;
    }
    if (outer != nullptr) {
        return E_INVALIDARG; // no aggregation
    }
    ComponentFactory factory;
    {
        Registry& registry = Registry::instance();
        std::lock_guard guard(registry.lock);
        std::size_t slot = clsid.Data1 - std::size_t(1);
        if (slot >= registry.registrations.size() || !(clsidOfSlot(slot) == clsid)) {
            return REGDB_E_CLASSNOTREG;
        }
        factory = registry.registrations[slot].factory;
    }
    if (!factory) {
        return REGDB_E_CLASSNOTREG;
    }
    IDispatch* created = factory();
    if (created == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
}
