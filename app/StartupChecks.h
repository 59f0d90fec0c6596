#pragma once

#include "app/WindowRuntime.h"

// Handler of MainWindow created: ends the program when offline, offers a newer version,
// then keeps the window on top and registers F11.
void runStartupChecks(WindowRuntime& runtime);
