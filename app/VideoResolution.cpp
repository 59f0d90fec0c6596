#include "app/VideoResolution.h"

void resolveVideoAddress(WindowRuntime&) {}
