#pragma once

#include <cstdint>

#include "app/WindowRuntime.h"

// The identifier of the registered F11 hotkey: 0 until the start-up checks store what
// registerHotkey returned. The program's only global variable.
extern std::int32_t hotkeyId;

// MainWindow as its form defines it: caption, size, the address bar over the player, and each
// event bound to its handler on `runtime`.
WindowForm mainWindowForm(WindowRuntime& runtime);

// Handler of MainWindow size changed: the player fills the client area, the address bar spans
// its width with the button at its right end.
void layoutControls(WindowRuntime& runtime);

// Handler of AddressEdit key pressed (`keyCode` a Windows virtual-key code): Enter (13) plays
// the typed address, as PlayButton does; other keys only edit.
void onAddressKey(WindowRuntime& runtime, int keyCode, int shiftState);

// Handler of AddressLabel feedback: a press of the hotkey `hotkeyId` hides AddressBar when it
// shows and shows it when hidden; other identifiers do nothing.
void toggleAddressBar(WindowRuntime& runtime, int eventId, int eventData);
