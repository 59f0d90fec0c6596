#include "platform/window/GtkRuntime.h"

#include <string>

#include <webkit2/webkit2.h>

#include "platform/window/Placement.h"
#include "platform/window/Utf8Crossing.h"
#include "platform/window/VirtualKeys.h"
#include "platform/window/flash/FlashPlayer.h"

namespace {

// A group box paints the window's background, so that it hides what lies below it.
gboolean paintBackground(GtkWidget* widget, cairo_t* cairo, gpointer) {
    gtk_render_background(gtk_widget_get_style_context(widget), cairo, 0, 0,
                          gtk_widget_get_allocated_width(widget),
                          gtk_widget_get_allocated_height(widget));
    return FALSE;
}

// Windows' shift state of a key event: 1 Shift, 2 Ctrl, 4 Alt.
int shiftStateOf(const GdkEventKey* event) {
    return ((event->state & GDK_SHIFT_MASK) ? 1 : 0) | ((event->state & GDK_CONTROL_MASK) ? 2 : 0) |
           ((event->state & GDK_MOD1_MASK) ? 4 : 0);
}

// The key's own symbol, without Shift or the keyboard group: "!" is still the key 1.
int virtualKeyOf(const GdkEventKey* event) {
    guint keyval = event->keyval;
    GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_window_get_display(event->window));
    gdk_keymap_translate_keyboard_state(keymap, event->hardware_keycode,
                                        static_cast<GdkModifierType>(0), 0, &keyval, nullptr,
                                        nullptr, nullptr);
    return virtualKeyFromKeysym(keyval);
}

} // namespace

GtkWidget* GtkWindowRuntime::widgetOf(Control target) const {
    if (target == Control::MainWindow)
        return window;
    return stateOf(target).widget;
}

GtkWidget* GtkWindowRuntime::parentAreaOf(Control target) const {
    const ControlForm* control = stateOf(target).form;
    if (!control || control->parent == Control::MainWindow || !stateOf(control->parent).area)
        return clientArea;
    return stateOf(control->parent).area;
}

void GtkWindowRuntime::createControls() {
    for (const ControlForm& control : form.controls) {
        ControlState& state = stateOf(control.id);
        state = ControlState{};
        state.form = &control;
        state.left = control.left;
        state.top = control.top;
        state.width = control.width;
        state.height = control.height;
        createControl(state);
    }
    // Every area exists now; the form's order is the stacking order, bottom first.
    for (const ControlForm& control : form.controls)
        setPlace(stateOf(control.id));

    GtkWidget* first = form.firstFocus != Control::MainWindow ? widgetOf(form.firstFocus) : nullptr;
    if (first && gtk_widget_get_can_focus(first))
        gtk_widget_grab_focus(first);
}

void GtkWindowRuntime::createControl(ControlState& state) {
    const ControlForm& control = *state.form;
    std::string text = utf8FromText(control.text);
    GtkWidget* widget = nullptr;
    switch (control.kind) {
    case ControlKind::GroupBox:
        widget = state.area = newPlacementArea();
        gtk_style_context_add_class(gtk_widget_get_style_context(widget), "quorvel-group-box");
        g_signal_connect(widget, "draw", G_CALLBACK(paintBackground), nullptr);
        state.border = gtk_frame_new(text.empty() ? nullptr : text.c_str());
        gtk_widget_show(state.border);
        break;
    case ControlKind::Label:
    case ControlKind::TransparentLabel:
        // A label has no window: it draws on its parent and lets every event through.
        widget = gtk_label_new(text.c_str());
        gtk_label_set_xalign(GTK_LABEL(widget), 0);
        gtk_label_set_yalign(GTK_LABEL(widget), 0);
        break;
    case ControlKind::EditBox:
        widget = gtk_entry_new();
        // Without this an entry asks for 150 pixels at least.
        gtk_entry_set_width_chars(GTK_ENTRY(widget), 1);
        gtk_entry_set_text(GTK_ENTRY(widget), text.c_str());
        g_signal_connect(widget, "key-press-event", G_CALLBACK(onEditKey), this);
        break;
    case ControlKind::Button:
        widget = gtk_button_new_with_label(text.c_str());
        g_signal_connect(widget, "clicked", G_CALLBACK(onClicked), this);
        break;
    case ControlKind::WebBrowser:
        widget = webkit_web_view_new();
        // WebKit has no Flash; movies play in Ruffle.
        flashPrepareView(WEBKIT_WEB_VIEW(widget));
        g_signal_connect(widget, "notify::uri", G_CALLBACK(onUriChanged), this);
        break;
    }
    if (control.kind == ControlKind::EditBox || control.kind == ControlKind::Button ||
        control.kind == ControlKind::WebBrowser)
        gtk_widget_set_can_focus(widget, control.tabStop);
    state.widget = widget;
    gtk_widget_show(widget);
    if (control.kind == ControlKind::WebBrowser)
        navigate(state, control.text);
    if (parentAreaOf(control.id) == clientArea)
        g_signal_connect_after(widget, "map", G_CALLBACK(+[](GtkWidget*, gpointer self) {
                                   static_cast<GtkWindowRuntime*>(self)->restack();
                               }),
                               this);
}

// Controls with windows of their own (the browser, group boxes) would otherwise stack in
// the order GTK happened to map them.
void GtkWindowRuntime::restack() {
    for (const ControlForm& control : form.controls) {
        GtkWidget* widget = stateOf(control.id).widget;
        if (parentAreaOf(control.id) != clientArea || !widget || !gtk_widget_get_mapped(widget) ||
            !gtk_widget_get_has_window(widget))
            continue;
        gdk_window_raise(gtk_widget_get_window(widget));
    }
}

void GtkWindowRuntime::setPlace(ControlState& state) {
    if (!state.widget)
        return;
    placeChild(parentAreaOf(state.form->id), state.widget, state.left, state.top, state.width,
               state.height);
    if (state.border)
        placeChild(state.area, state.border, 0, 0, state.width, state.height);
}

void GtkWindowRuntime::navigate(ControlState& state, const Text& address) {
    state.url = address;
    std::string uri = utf8FromText(address);
    flashOpenAddress(WEBKIT_WEB_VIEW(state.widget), uri.empty() ? "about:blank" : uri.c_str());
}

gboolean GtkWindowRuntime::onEditKey(GtkWidget* edit, GdkEventKey* event, GtkWindowRuntime* self) {
    for (const ControlForm& control : self->form.controls) {
        if (self->stateOf(control.id).widget != edit || !control.keyPressed)
            continue;
        int keyCode = virtualKeyOf(event), shiftState = shiftStateOf(event);
        if (keyCode != 0)
            self->runHandler([&] { control.keyPressed(keyCode, shiftState); });
        break;
    }
    return FALSE; // the edit box still takes the key
}

void GtkWindowRuntime::onClicked(GtkWidget* button, GtkWindowRuntime* self) {
    for (const ControlForm& control : self->form.controls)
        if (self->stateOf(control.id).widget == button && control.clicked)
            return self->runHandler(control.clicked);
}

void GtkWindowRuntime::onUriChanged(GObject* view, GParamSpec*, GtkWindowRuntime* self) {
    const char* uri = flashShownAddress(WEBKIT_WEB_VIEW(view));
    if (!uri || !*uri)
        return;
    for (const ControlForm& control : self->form.controls)
        if (self->stateOf(control.id).widget == GTK_WIDGET(view))
            self->stateOf(control.id).url = textFromUtf8(uri);
}
