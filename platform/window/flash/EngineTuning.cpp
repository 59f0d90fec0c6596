#include "platform/window/flash/FlashPlayer.h"

namespace {

// JavaScriptCore reads its options from each web process's environment. Ruffle's start-up
// runs a great deal of WebAssembly once; optimising it with the top tier holds the one
// compiler thread for seconds before the first frame. Only code that stays hot gets there.
struct EngineSetting {
    const char* name;
    const char* value;
};
constexpr EngineSetting engineSettings[] = {
    {"JSC_thresholdForOMGOptimizeAfterWarmUp", "2000000"},
    {"JSC_thresholdForOMGOptimizeSoon", "20000"},
};

} // namespace

void flashPrepareEnvironment() {
    for (const EngineSetting& setting : engineSettings)
        g_setenv(setting.name, setting.value, FALSE);
}
