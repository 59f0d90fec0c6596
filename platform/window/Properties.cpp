#include "platform/window/GtkRuntime.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include <gtk/gtk.h>

#include "platform/window/Utf8Crossing.h"

// The numbered properties of the window and its controls.

namespace {

int intOf(const PropertyValue& value) {
    if (const int* number = std::get_if<int>(&value))
        return *number;
    return std::atoi(std::get<Text>(value).c_str());
}

Text textOf(const PropertyValue& value) {
    if (const Text* text = std::get_if<Text>(&value))
        return *text;
    return std::to_string(std::get<int>(value));
}

} // namespace

PropertyValue GtkWindowRuntime::readProperty(Control target, int number) {
    if (target == Control::MainWindow)
        return readWindowProperty(number);
    ControlState& state = stateOf(target);
    if (!state.widget)
        return 0;
    return readControlProperty(state, number);
}

void GtkWindowRuntime::writeProperty(Control target, int number, const PropertyValue& value) {
    if (target == Control::MainWindow)
        writeWindowProperty(number, value);
    else if (stateOf(target).widget)
        writeControlProperty(stateOf(target), number, value);
}

PropertyValue GtkWindowRuntime::readControlProperty(ControlState& state, int number) {
    switch (number) {
    case Property::left:
        return state.left;
    case Property::top:
        return state.top;
    case Property::width:
        return state.width;
    case Property::height:
        return state.height;
    case Property::tag:
        return state.tag;
    case Property::visible:
        return gtk_widget_get_visible(state.widget) ? 1 : 0;
    case Property::disable:
        return gtk_widget_get_sensitive(state.widget) ? 0 : 1;
    case Property::MousePointer:
        return state.mousePointer;
    }
    if (state.form->kind == ControlKind::EditBox && number == Property::content)
        return textFromUtf8(gtk_entry_get_text(GTK_ENTRY(state.widget)));
    if (state.form->kind == ControlKind::WebBrowser && number == Property::url)
        return state.url;
    return 0;
}

void GtkWindowRuntime::writeControlProperty(ControlState& state, int number,
                                            const PropertyValue& value) {
    switch (number) {
    case Property::left:
        state.left = intOf(value);
        return setPlace(state);
    case Property::top:
        state.top = intOf(value);
        return setPlace(state);
    case Property::width:
        // A negative width is kept as written and shows as nothing.
        state.width = intOf(value);
        return setPlace(state);
    case Property::height:
        state.height = intOf(value);
        return setPlace(state);
    case Property::tag:
        state.tag = value;
        return;
    case Property::visible:
        gtk_widget_set_visible(state.widget, intOf(value) != 0);
        return restack();
    case Property::disable:
        gtk_widget_set_sensitive(state.widget, intOf(value) == 0);
        return;
    case Property::MousePointer:
        state.mousePointer = intOf(value);
        return;
    }
    if (state.form->kind == ControlKind::EditBox && number == Property::content)
        gtk_entry_set_text(GTK_ENTRY(state.widget), utf8FromText(textOf(value)).c_str());
    else if (state.form->kind == ControlKind::WebBrowser && number == Property::url)
        navigate(state, textOf(value));
}

PropertyValue GtkWindowRuntime::readWindowProperty(int number) {
    if (!window)
        return 0;
    ControlState& state = stateOf(Control::MainWindow);
    GdkRectangle frame{0, 0, currentWidth + frameWidth, currentHeight + frameHeight};
    if (GdkWindow* gdkWindow = gtk_widget_get_window(window);
        gdkWindow && gtk_widget_get_mapped(window))
        gdk_window_get_frame_extents(gdkWindow, &frame);
    switch (number) {
    case Property::left:
        return frame.x;
    case Property::top:
        return frame.y;
    case Property::width:
        return frame.width;
    case Property::height:
        return frame.height;
    case Property::tag:
        return state.tag;
    case Property::visible:
        return gtk_widget_get_visible(window) ? 1 : 0;
    case Property::disable:
        return gtk_widget_get_sensitive(window) ? 0 : 1;
    case Property::MousePointer:
        return state.mousePointer;
    case Property::alwaysOnTop:
        return alwaysOnTop ? 1 : 0;
    }
    return 0;
}

void GtkWindowRuntime::writeWindowProperty(int number, const PropertyValue& value) {
    if (!window)
        return;
    ControlState& state = stateOf(Control::MainWindow);
    int left = intOf(readWindowProperty(Property::left)),
        top = intOf(readWindowProperty(Property::top));
    int width = intOf(readWindowProperty(Property::width));
    int height = intOf(readWindowProperty(Property::height));
    switch (number) {
    case Property::left:
        gtk_window_move(GTK_WINDOW(window), intOf(value), top);
        break;
    case Property::top:
        gtk_window_move(GTK_WINDOW(window), left, intOf(value));
        break;
    case Property::width:
        gtk_window_resize(GTK_WINDOW(window), std::max(1, intOf(value) - frameWidth),
                          std::max(1, height - frameHeight));
        break;
    case Property::height:
        gtk_window_resize(GTK_WINDOW(window), std::max(1, width - frameWidth),
                          std::max(1, intOf(value) - frameHeight));
        break;
    case Property::tag:
        state.tag = value;
        break;
    case Property::visible:
        gtk_widget_set_visible(window, intOf(value) != 0);
        break;
    case Property::disable:
        gtk_widget_set_sensitive(window, intOf(value) == 0);
        break;
    case Property::MousePointer:
        state.mousePointer = intOf(value);
        break;
    case Property::alwaysOnTop:
        // The window manager keeps the window above others; it is neither moved nor focused.
        alwaysOnTop = intOf(value) != 0;
        gtk_window_set_keep_above(GTK_WINDOW(window), alwaysOnTop);
        break;
    }
}
