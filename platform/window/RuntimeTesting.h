#pragma once

#include "app/WindowRuntime.h"

// For tests of the GTK runtime only: what GTK really made of the form, and a way to let events
// run while a test waits for an effect.

struct ControlPlace {
    int left = 0, top = 0, width = 0, height = 0; // relative to the parent's client area
    bool showing = false;                         // mapped on the screen
};

// Where GTK has put `control` (MainWindow: its client area, at 0, 0); all zero when the control
// does not exist.
ControlPlace placeOfControl(Control control);

// Dispatches one pending event, without waiting for one; true when one ran.
bool runPendingEvent();

// The control that has the keyboard focus; MainWindow when none of the controls has it.
Control focusedControl();

// The X window of the message box being shown; 0 when none is open.
WindowHandle openMessageBoxHandle();
