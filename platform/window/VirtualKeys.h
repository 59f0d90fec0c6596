#pragma once

// Windows virtual-key codes and X keysyms, which GDK's key values equal.

// The keysym of a Windows virtual-key code; 0 (NoSymbol) for a code with no key here.
unsigned long keysymFromVirtualKey(int virtualKey);

// The virtual-key code of an unshifted keysym (letters in either case); 0 when none fits.
int virtualKeyFromKeysym(unsigned long keysym);
