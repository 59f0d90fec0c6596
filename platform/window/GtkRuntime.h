#pragma once

#include <array>
#include <functional>
#include <vector>

#include <gtk/gtk.h>

#include "app/WindowRuntime.h"
#include "platform/window/GlobalHotkeys.h"

// The window runtime over GTK 3, WebKitGTK 4.1 and Xlib. It shows one window at a time; its
// client area and the group boxes place their controls at the form's exact pixels.
class GtkWindowRuntime final : public WindowRuntime {
  public:
    void loadWindow(const WindowForm& form) override;
    void runMessageLoop() override;
    PropertyValue readProperty(Control target, int number) override;
    void writeProperty(Control target, int number, const PropertyValue& value) override;
    int clientWidth(Control window) override;
    int clientHeight(Control window) override;
    WindowHandle windowHandle(Control target) override;
    void destroyWindow(Control window) override;
    int messageBox(const Text& text, int style, const Text& title = {}) override;
    void exitProgram(int code) override;
    int registerHotkey(WindowHandle window, WindowHandle receiver, int modifiers, int key) override;
    bool isOnline() override;
    bool openInBrowser(const Text& address) override;
    Bytes httpReadFile(const Text& address) override;
    Bytes convertEncoding(const Bytes& bytes, const Text& from, const Text& to) override;

    // The widget that shows `target` (the GtkWindow for MainWindow); null when it does not
    // exist.
    GtkWidget* widgetOf(Control target) const;
    // The area `target`'s place counts from: the client area or its group box's.
    GtkWidget* parentAreaOf(Control target) const;

  private:
    static constexpr std::size_t controlCount = 7;

    struct ControlState {
        const ControlForm* form = nullptr; // in `form`; null for controls it does not have
        GtkWidget* widget = nullptr;       // placed in the parent's area
        GtkWidget* area = nullptr;         // a group box's own area for its children
        GtkWidget* border = nullptr;       // a group box's frame line
        int left = 0, top = 0, width = 0, height = 0;
        PropertyValue tag = Text{};
        int mousePointer = 0;
        Text url; // a web browser's address as last written or shown
    };

    // Runs an event handler; a close queued meanwhile happens once the outermost one returns.
    void runHandler(const std::function<void()>& handler);
    void closeWhenIdle();
    void raiseSizeChanged();

    void createControls();
    void createControl(ControlState& state);
    void restack();
    ControlState& stateOf(Control target) { return controls[static_cast<std::size_t>(target)]; }
    const ControlState& stateOf(Control target) const {
        return controls[static_cast<std::size_t>(target)];
    }
    bool findControl(WindowHandle handle, Control& found) const;
    PropertyValue readWindowProperty(int number);
    void writeWindowProperty(int number, const PropertyValue& value);
    PropertyValue readControlProperty(ControlState& state, int number);
    void writeControlProperty(ControlState& state, int number, const PropertyValue& value);
    void setPlace(ControlState& state);
    void navigate(ControlState& state, const Text& address);

    static void onDestroy(GtkWidget* window, GtkWindowRuntime* self);
    static gboolean onDeleteEvent(GtkWidget* window, GdkEvent* event, GtkWindowRuntime* self);
    static gboolean onConfigure(GtkWidget* window, GdkEventConfigure* event,
                                GtkWindowRuntime* self);
    static gboolean onWindowKey(GtkWidget* window, GdkEventKey* event, GtkWindowRuntime* self);
    static gboolean onEditKey(GtkWidget* edit, GdkEventKey* event, GtkWindowRuntime* self);
    static void onClicked(GtkWidget* button, GtkWindowRuntime* self);
    static void onUriChanged(GObject* view, GParamSpec* property, GtkWindowRuntime* self);
    static gboolean onIdleClose(gpointer runtime);
    void onHotkey(int identifier);

    WindowForm form;
    GtkWidget* window = nullptr;
    GtkWidget* clientArea = nullptr;
    std::array<ControlState, controlCount> controls{};
    int frameWidth = 0, frameHeight = 0;         // what the window manager's frame adds
    int currentWidth = 0, currentHeight = 0;     // the client area as last configured
    int reportedWidth = -1, reportedHeight = -1; // as size changed last reported it
    bool alwaysOnTop = false;
    bool closeQueued = false;
    bool loaded = false; // created has run and size changed been raised once
    int handlerDepth = 0;
    GMainLoop* loop = nullptr;
    GlobalHotkeys hotkeys;
    struct HotkeyReceiver {
        int identifier;
        Control receiver;
    };
    std::vector<HotkeyReceiver> hotkeyReceivers;
};

// The runtime that initRuntime() prepared.
GtkWindowRuntime& gtkRuntime();
