#include "tests/platform/window/HandlerDoubles.h"

#include <cstdlib>

#include "app/MainWindow.h"
#include "app/StartupChecks.h"
#include "app/VideoResolution.h"

int playRequests = 0;

void runStartupChecks(WindowRuntime& runtime) {
    // As the offline check does: the program ends before its window shows.
    if (const char* code = std::getenv("QUORVEL_TEST_EXIT_CODE"))
        runtime.exitProgram(std::atoi(code));
    runtime.writeProperty(Control::MainWindow, Property::alwaysOnTop, 1);
    hotkeyId = runtime.registerHotkey(runtime.windowHandle(Control::MainWindow),
                                      runtime.windowHandle(Control::AddressLabel), 0, 122);
}

void resolveVideoAddress(WindowRuntime&) {
    ++playRequests;
}
