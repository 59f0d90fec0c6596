#pragma once

#include <functional>
#include <vector>

// System-wide hotkeys: passive key grabs on the X root window of GDK's display. A press of a
// grabbed key, whatever window has the focus, is reported from the GLib main loop as an event
// of its own, after the event being handled has finished.
class GlobalHotkeys {
  public:
    using PressHandler = std::function<void(int identifier)>;

    GlobalHotkeys() = default;
    ~GlobalHotkeys();
    GlobalHotkeys(const GlobalHotkeys&) = delete;
    GlobalHotkeys& operator=(const GlobalHotkeys&) = delete;

    // Grabs the Windows virtual key `virtualKey` with `modifiers` (1 Ctrl, 2 Shift, 4 Alt,
    // added) in every state of NumLock, CapsLock and ScrollLock. Returns a new
    // identifier, 33001 and up, or 0 when the key has no keysym or keycode here, this program
    // holds the same combination already, or another client has grabbed it.
    int add(int modifiers, int virtualKey, PressHandler onPress);
    // Releases every grab; later presses are not reported.
    void removeAll();
    // For the root window's event filter: true when the key event belongs to a grab; a press
    // is then queued for reporting.
    bool takeKeyEvent(unsigned keycode, unsigned state, bool press);

  private:
    struct Hotkey {
        int identifier;
        unsigned keycode;
        unsigned modifierMask;
        PressHandler onPress;
    };

    void grab(const Hotkey& hotkey, bool on) const;

    std::vector<Hotkey> hotkeys;
    unsigned lockMasks = 0; // CapsLock, NumLock and ScrollLock as the keymap has them
    int nextIdentifier = 33001;
    bool filtering = false;
};
