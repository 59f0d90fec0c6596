#pragma once

#include <gtk/gtk.h>

// Areas that place their children at exact pixel rectangles, as the form gives them: a GtkLayout
// that asks for no size of its own (so the window can shrink) and gives each child its
// rectangle. A label is cut to its place even when its line is taller; entries and buttons
// keep at least the minimum that their borders need. Places may lie partly outside the area.

// A new, empty area with its own window.
GtkWidget* newPlacementArea();

// Puts `child` into `area`, or moves it when it is there, at `left`, `top` with `width` x
// `height`; a negative size counts as 0.
void placeChild(GtkWidget* area, GtkWidget* child, int left, int top, int width, int height);
