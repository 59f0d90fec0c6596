#pragma once

#include "text/Text.h"

// A modal message box without a parent window, as MessageBoxA shows one: the icon and buttons
// of the Windows style number (16 stop, 32 question, 48 exclamation, 64 information; 0 OK,
// 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel; 0x100 and 0x200
// make the second or third button the default). Returns the Windows button identifier less
// one: 0 OK, 1 Cancel, 2 Abort, 3 Retry, 4 Ignore, 5 Yes, 6 No. The main loop keeps
// dispatching other events while the box is open.
int showMessageBox(const Text& text, int style, const Text& title);

// The X window of the box being shown, 0 when none is open.
unsigned long openMessageBoxWindow();
