#include "platform/window/RuntimeTesting.h"

#include <gtk/gtk.h>

#include "platform/window/GtkRuntime.h"
#include "platform/window/MessageBox.h"

ControlPlace placeOfControl(Control control) {
    GtkWindowRuntime& runtime = gtkRuntime();
    GtkWidget* widget = runtime.widgetOf(control);
    ControlPlace place;
    if (!widget)
        return place;
    place.showing = gtk_widget_get_mapped(widget);
    if (control == Control::MainWindow) {
        GtkWidget* client = gtk_bin_get_child(GTK_BIN(widget));
        place.width = gtk_widget_get_allocated_width(client);
        place.height = gtk_widget_get_allocated_height(client);
        return place;
    }
    gtk_widget_translate_coordinates(widget, runtime.parentAreaOf(control), 0, 0, &place.left,
                                     &place.top);
    place.width = gtk_widget_get_allocated_width(widget);
    place.height = gtk_widget_get_allocated_height(widget);
    return place;
}

bool runPendingEvent() {
    return g_main_context_iteration(nullptr, FALSE);
}

Control focusedControl() {
    GtkWindowRuntime& runtime = gtkRuntime();
    GtkWidget* window = runtime.widgetOf(Control::MainWindow);
    GtkWidget* focus = window ? gtk_window_get_focus(GTK_WINDOW(window)) : nullptr;
    for (Control control : {Control::AddressBar, Control::AddressLabel, Control::AddressEdit,
                            Control::PlayButton, Control::BarOverlay, Control::PlayerView})
        if (focus && runtime.widgetOf(control) == focus)
            return control;
    return Control::MainWindow;
}

WindowHandle openMessageBoxHandle() {
    return openMessageBoxWindow();
}
