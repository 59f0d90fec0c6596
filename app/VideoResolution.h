#pragma once

#include "app/WindowRuntime.h"

// Handler of the play button and of Enter: turns the typed page address into the
// service's player address and shows it in PlayerView, or tells the user why not.
void resolveVideoAddress(WindowRuntime& runtime);
