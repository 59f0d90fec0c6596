#pragma once

#include <gtk/gtk.h>

// What the window manager's frame adds around a toplevel's client area, in pixels.
struct FrameExtents {
    int left = 0, right = 0, top = 0, bottom = 0;
};

// Asks the window manager what frame it will put around `window`, which must be realized and
// need not be mapped yet, and waits a moment for the answer. All zero when no window manager
// answers (_NET_REQUEST_FRAME_EXTENTS).
FrameExtents requestFrameExtents(GtkWidget* window);

// Moves the unmapped `window` so that a frame of `width` x `height` is centred in the work
// area of the primary monitor.
void centreWindow(GtkWidget* window, int width, int height);
