#pragma once

#include <cstdint>
#include <functional>
#include <variant>
#include <vector>

#include "text/Text.h"

// The window and its controls, as the logic names them.
enum class Control { MainWindow, AddressBar, AddressLabel, AddressEdit, PlayButton, BarOverlay, PlayerView };

// Property numbers: 0-7 common to the window and every control, from 8 by kind.
namespace Property {
inline constexpr int left = 0, top = 1, width = 2, height = 3, tag = 4, visible = 5,
                     disable = 6, MousePointer = 7;
inline constexpr int content = 8;     // edit box
inline constexpr int url = 11;        // web browser
inline constexpr int alwaysOnTop = 29; // window
} // namespace Property

using PropertyValue = std::variant<int, Text>;

// A native window or control handle (the X11 window id on Linux, the HWND on Windows).
using WindowHandle = std::uintptr_t;

enum class ControlKind { GroupBox, Label, EditBox, Button, TransparentLabel, WebBrowser };

// One control as the form defines it; places are relative to the parent's client area.
struct ControlForm {
    Control id;
    ControlKind kind;
    Control parent;
    int left, top, width, height;
    Text text; // caption, or the initial url of a web browser
    bool tabStop;
    std::function<void(int keyCode, int shiftState)> keyPressed;
    std::function<void()> clicked;
    std::function<void(int eventId, int eventData)> feedback;
};

struct WindowForm {
    Text caption;
    int width, height; // frame included; the window opens centred
    std::vector<ControlForm> controls; // in stacking order, bottom first
    // The tab stop that has the keyboard focus when the window opens; MainWindow: the
    // platform chooses.
    Control firstFocus = Control::MainWindow;
    std::function<void()> created;
    std::function<void()> sizeChanged;
};

// messageBox results.
inline constexpr int boxOk = 0, boxCancel = 1, boxAbort = 2, boxRetry = 3, boxIgnore = 4,
                     boxYes = 5, boxNo = 6;

// The services the window, its handlers and the start-up checks run on. Everything
// runs on the user-interface thread and is synchronous.
class WindowRuntime {
public:
    virtual ~WindowRuntime() = default;

    // Creates the window and its controls, raises created, then size-changed while the
    // window still exists.
    virtual void loadWindow(const WindowForm& form) = 0;
    // Dispatches events until the last window has closed.
    virtual void runMessageLoop() = 0;

    // A Text read is a new value; a property the target lacks reads as 0.
    virtual PropertyValue readProperty(Control target, int number) = 0;
    // Writing url navigates; writing alwaysOnTop 1/0 keeps the window above others or not.
    virtual void writeProperty(Control target, int number, const PropertyValue& value) = 0;
    // The client area in pixels.
    virtual int clientWidth(Control window) = 0;
    virtual int clientHeight(Control window) = 0;
    virtual WindowHandle windowHandle(Control target) = 0;
    // Queues the closing: the window closes after the running handler returns.
    virtual void destroyWindow(Control window) = 0;
    // A modal box with the icon and buttons of the Windows style number; returns
    // boxOk...boxNo. An empty title reads "信息：". Other events still run while it is open.
    virtual int messageBox(const Text& text, int style, const Text& title = {}) = 0;
    // Ends the process with `code`.
    virtual void exitProgram(int code) = 0;
    // A global hotkey (modifiers: 1 Ctrl, 2 Shift, 4 Alt; key: a Windows virtual-key code)
    // registered on `window`; each press raises the feedback event of the control whose
    // handle is `receiver` with the identifier. Returns the identifier (33001 up), 0 on failure.
    virtual int registerHotkey(WindowHandle window, WindowHandle receiver, int modifiers,
                               int key) = 0;
    // A network connection is reported and a fixed public address opens.
    virtual bool isOnline() = 0;
    // Hands an http:// or https:// address to the default browser. False when it was refused:
    // not such an address, or no browser took it.
    virtual bool openInBrowser(const Text& address) = 0;
    // An HTTP GET: the body, empty on any failure.
    virtual Bytes httpReadFile(const Text& address) = 0;
    // The bytes converted between named character sets; empty on failure.
    virtual Bytes convertEncoding(const Bytes& bytes, const Text& from, const Text& to) = 0;
};

// Prepares the platform's runtime; called once, before anything else.
WindowRuntime& initRuntime();
