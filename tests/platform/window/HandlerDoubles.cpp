#include "tests/platform/window/HandlerDoubles.h"

#include "app/MainWindow.h"
#include "app/StartupChecks.h"
#include "app/VideoResolution.h"

int playRequests = 0;

void runStartupChecks(WindowRuntime& runtime) {
    runtime.writeProperty(Control::MainWindow, Property::alwaysOnTop, 1);
    hotkeyId = runtime.registerHotkey(runtime.windowHandle(Control::MainWindow),
                                      runtime.windowHandle(Control::AddressLabel), 0, 122);
}

void resolveVideoAddress(WindowRuntime&) {
    ++playRequests;
}
