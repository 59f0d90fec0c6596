#include "app/StartupChecks.h"

void runStartupChecks(WindowRuntime&) {}
