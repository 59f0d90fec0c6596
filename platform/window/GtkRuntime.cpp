#include "platform/window/GtkRuntime.h"

#include <algorithm>
#include <cstdio>

#include <gdk/gdkx.h>
#include <unistd.h>

#include "platform/window/MessageBox.h"
#include "platform/window/Placement.h"
#include "platform/window/Utf8Crossing.h"
#include "platform/window/WindowFrame.h"
#include "platform/window/flash/FlashPlayer.h"

namespace {

// Controls have no X window of their own; their handles lie outside the X resource-id range
// (29 bits), so they never meet a real window's.
constexpr WindowHandle controlHandleBase = 0x40000000;

// The form's texts are small: 9 points of a CJK font, as the Windows form was drawn, and
// entries and buttons without the theme's tall padding so that they fit their places.
constexpr const char* formStyle = R"css(
.quorvel-form label, .quorvel-form entry, .quorvel-form button {
    font-family: "WenQuanYi Zen Hei", sans-serif;
    font-size: 12px;
}
.quorvel-form entry { min-height: 0; padding-top: 0; padding-bottom: 0; }
.quorvel-form button { min-height: 0; min-width: 0; padding: 0 4px; }
.quorvel-group-box { background-color: @theme_bg_color; }
)css";

void installStyle() {
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, formStyle, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                              GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

} // namespace

WindowRuntime& initRuntime() {
    // Never destroyed: GTK and WebKit outlive every destructor that could run at exit.
    static GtkWindowRuntime* runtime = [] {
        // On a Wayland session the program runs through XWayland: the global key grab and
        // keep-above need X11.
        gdk_set_allowed_backends("x11");
        // The windows' class ("quorvel", "Quorvel") comes from it: the desktop entry names that
        // class so that docks group the window under its launcher, whatever the file is called.
        g_set_prgname("quorvel");
        // Before any thread or web process exists.
        flashPrepareEnvironment();
        gtk_init(nullptr, nullptr);
        installStyle();
        return new GtkWindowRuntime;
    }();
    return *runtime;
}

GtkWindowRuntime& gtkRuntime() {
    return static_cast<GtkWindowRuntime&>(initRuntime());
}

void GtkWindowRuntime::runHandler(const std::function<void()>& handler) {
    ++handlerDepth;
    handler();
    if (--handlerDepth == 0 && closeQueued)
        closeWhenIdle();
}

void GtkWindowRuntime::loadWindow(const WindowForm& windowForm) {
    if (window)
        gtk_widget_destroy(window);
    form = windowForm;
    closeQueued = false;
    loaded = false;
    reportedWidth = reportedHeight = -1;

    window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), utf8FromText(form.caption).c_str());
    gtk_window_set_resizable(GTK_WINDOW(window), TRUE);
    gtk_style_context_add_class(gtk_widget_get_style_context(window), "quorvel-form");
    clientArea = newPlacementArea();
    gtk_container_add(GTK_CONTAINER(window), clientArea);
    gtk_widget_show(clientArea);
    createControls();
    g_signal_connect(window, "destroy", G_CALLBACK(onDestroy), this);
    g_signal_connect(window, "delete-event", G_CALLBACK(onDeleteEvent), this);
    g_signal_connect(window, "configure-event", G_CALLBACK(onConfigure), this);
    // After the focused control has had its chance to take the key.
    g_signal_connect_after(window, "key-press-event", G_CALLBACK(onWindowKey), this);

    // The form's size includes the frame; GTK sizes the client area.
    gtk_widget_realize(window);
    FrameExtents frame = requestFrameExtents(window);
    frameWidth = frame.left + frame.right;
    frameHeight = frame.top + frame.bottom;
    currentWidth = std::max(1, form.width - frameWidth);
    currentHeight = std::max(1, form.height - frameHeight);
    // Realized already, the window takes its first size from a resize, not the default size.
    gtk_window_resize(GTK_WINDOW(window), currentWidth, currentHeight);
    centreWindow(window, form.width, form.height);

    if (form.created)
        runHandler(form.created);
    if (!window)
        return;
    if (!closeQueued)
        gtk_widget_show(window);
    loaded = true;
    raiseSizeChanged();
}

void GtkWindowRuntime::runMessageLoop() {
    if (!window)
        return;
    loop = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop);
    g_main_loop_unref(loop);
    loop = nullptr;
}

void GtkWindowRuntime::raiseSizeChanged() {
    reportedWidth = currentWidth;
    reportedHeight = currentHeight;
    if (window && form.sizeChanged)
        runHandler(form.sizeChanged);
}

void GtkWindowRuntime::destroyWindow(Control target) {
    if (target != Control::MainWindow || !window)
        return;
    closeQueued = true;
    if (handlerDepth == 0)
        closeWhenIdle();
}

void GtkWindowRuntime::closeWhenIdle() {
    g_idle_add(onIdleClose, this);
}

gboolean GtkWindowRuntime::onIdleClose(gpointer runtime) {
    auto* self = static_cast<GtkWindowRuntime*>(runtime);
    // Inside a handler's message box the window stays until the handler has returned.
    if (self->handlerDepth == 0 && self->closeQueued && self->window)
        gtk_widget_destroy(self->window);
    return G_SOURCE_REMOVE;
}

void GtkWindowRuntime::exitProgram(int code) {
    std::fflush(nullptr);
    if (GdkDisplay* display = gdk_display_get_default())
        gdk_display_flush(display);
    // At once, like ExitProcess: no handler or destructor runs after this.
    _exit(code);
}

int GtkWindowRuntime::clientWidth(Control target) {
    if (target == Control::MainWindow)
        return window ? currentWidth : 0;
    return stateOf(target).widget ? stateOf(target).width : 0;
}

int GtkWindowRuntime::clientHeight(Control target) {
    if (target == Control::MainWindow)
        return window ? currentHeight : 0;
    return stateOf(target).widget ? stateOf(target).height : 0;
}

WindowHandle GtkWindowRuntime::windowHandle(Control target) {
    if (!window)
        return 0;
    if (target == Control::MainWindow) {
        GdkWindow* gdkWindow = gtk_widget_get_window(window);
        return gdkWindow ? gdk_x11_window_get_xid(gdkWindow) : 0;
    }
    if (!stateOf(target).widget)
        return 0;
    return controlHandleBase + static_cast<WindowHandle>(target);
}

bool GtkWindowRuntime::findControl(WindowHandle handle, Control& found) const {
    if (!window || handle == 0)
        return false;
    GdkWindow* gdkWindow = gtk_widget_get_window(window);
    if (gdkWindow && handle == gdk_x11_window_get_xid(gdkWindow)) {
        found = Control::MainWindow;
        return true;
    }
    if (handle <= controlHandleBase || handle >= controlHandleBase + controlCount)
        return false;
    found = static_cast<Control>(handle - controlHandleBase);
    return stateOf(found).widget != nullptr;
}

int GtkWindowRuntime::registerHotkey(WindowHandle owner, WindowHandle receiver, int modifiers,
                                     int key) {
    Control ownerControl, receiverControl;
    if (!findControl(owner, ownerControl) || !findControl(receiver, receiverControl))
        return 0;
    int identifier = hotkeys.add(modifiers, key, [this](int pressed) { onHotkey(pressed); });
    if (identifier != 0)
        hotkeyReceivers.push_back({identifier, receiverControl});
    return identifier;
}

void GtkWindowRuntime::onHotkey(int identifier) {
    for (const HotkeyReceiver& entry : hotkeyReceivers) {
        if (entry.identifier != identifier || !window)
            continue;
        const ControlForm* control = stateOf(entry.receiver).form;
        if (control && control->feedback)
            runHandler([&] { control->feedback(identifier, 0); });
        return;
    }
}

int GtkWindowRuntime::messageBox(const Text& text, int style, const Text& title) {
    return showMessageBox(text, style, title);
}

void GtkWindowRuntime::onDestroy(GtkWidget*, GtkWindowRuntime* self) {
    self->hotkeys.removeAll();
    self->hotkeyReceivers.clear();
    self->window = nullptr;
    self->clientArea = nullptr;
    self->controls = {};
    self->closeQueued = false;
    if (self->loop)
        g_main_loop_quit(self->loop);
}

gboolean GtkWindowRuntime::onDeleteEvent(GtkWidget*, GdkEvent*, GtkWindowRuntime* self) {
    // While a handler runs (a message box is open) the window cannot be closed, as on Windows
    // where the box disables it.
    return self->handlerDepth > 0;
}

gboolean GtkWindowRuntime::onConfigure(GtkWidget*, GdkEventConfigure* event,
                                       GtkWindowRuntime* self) {
    self->currentWidth = event->width;
    self->currentHeight = event->height;
    // Before loading has raised it, size changed must not run ahead of created.
    if (self->loaded &&
        (event->width != self->reportedWidth || event->height != self->reportedHeight))
        self->raiseSizeChanged();
    return FALSE;
}

gboolean GtkWindowRuntime::onWindowKey(GtkWidget*, GdkEventKey* event, GtkWindowRuntime* self) {
    GdkModifierType held = static_cast<GdkModifierType>(
        event->state & (GDK_SHIFT_MASK | GDK_CONTROL_MASK | GDK_MOD1_MASK));
    if (event->keyval != GDK_KEY_Escape || held != 0 || self->handlerDepth > 0 || !self->window)
        return FALSE;
    gtk_window_close(GTK_WINDOW(self->window));
    return TRUE;
}
