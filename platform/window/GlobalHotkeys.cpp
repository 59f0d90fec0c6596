#include "platform/window/GlobalHotkeys.h"

#include <memory>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include "platform/window/VirtualKeys.h"

namespace {

Display* xDisplay() {
    GdkDisplay* display = gdk_display_get_default();
    if (!display || !GDK_IS_X11_DISPLAY(display))
        return nullptr;
    return gdk_x11_display_get_xdisplay(display);
}

unsigned maskOfKeysym(Display* display, KeySym keysym) {
    KeyCode code = XKeysymToKeycode(display, keysym);
    if (code == 0)
        return 0;
    unsigned mask = 0;
    XModifierKeymap* map = XGetModifierMapping(display);
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int k = 0; k < map->max_keypermod; ++k)
            if (map->modifiermap[modifier * map->max_keypermod + k] == code)
                mask |= 1u << modifier;
    XFreeModifiermap(map);
    return mask;
}

unsigned modifierMaskOf(int modifiers) {
    unsigned mask = 0;
    if (modifiers & 1)
        mask |= ControlMask;
    if (modifiers & 2)
        mask |= ShiftMask;
    if (modifiers & 4)
        mask |= Mod1Mask;
    return mask;
}

struct PendingPress {
    GlobalHotkeys::PressHandler onPress;
    int identifier;
};

gboolean reportPress(gpointer pending) {
    std::unique_ptr<PendingPress> press(static_cast<PendingPress*>(pending));
    press->onPress(press->identifier);
    return G_SOURCE_REMOVE;
}

GdkFilterReturn filterRootEvent(GdkXEvent* xEvent, GdkEvent*, gpointer hotkeys) {
    auto* event = static_cast<XEvent*>(xEvent);
    if (event->type != KeyPress && event->type != KeyRelease)
        return GDK_FILTER_CONTINUE;
    bool ours = static_cast<GlobalHotkeys*>(hotkeys)->takeKeyEvent(
        event->xkey.keycode, event->xkey.state, event->type == KeyPress);
    return ours ? GDK_FILTER_REMOVE : GDK_FILTER_CONTINUE;
}

} // namespace

GlobalHotkeys::~GlobalHotkeys() {
    removeAll();
}

// Every combination of the lock modifiers, so that a lit NumLock or CapsLock does not hide
// the key from the grab.
void GlobalHotkeys::grab(const Hotkey& hotkey, bool on) const {
    Display* display = xDisplay();
    Window root = DefaultRootWindow(display);
    for (unsigned subset = lockMasks;; subset = (subset - 1) & lockMasks) {
        if (on)
            XGrabKey(display, static_cast<int>(hotkey.keycode), hotkey.modifierMask | subset, root,
                     False, GrabModeAsync, GrabModeAsync);
        else
            XUngrabKey(display, static_cast<int>(hotkey.keycode), hotkey.modifierMask | subset,
                       root);
        if (subset == 0)
            break;
    }
}

int GlobalHotkeys::add(int modifiers, int virtualKey, PressHandler onPress) {
    Display* display = xDisplay();
    KeySym keysym = keysymFromVirtualKey(virtualKey);
    if (!display || keysym == NoSymbol)
        return 0;
    KeyCode keycode = XKeysymToKeycode(display, keysym);
    if (keycode == 0)
        return 0;
    if (lockMasks == 0)
        lockMasks =
            LockMask | maskOfKeysym(display, XK_Num_Lock) | maskOfKeysym(display, XK_Scroll_Lock);
    Hotkey hotkey{nextIdentifier, keycode, modifierMaskOf(modifiers), std::move(onPress)};
    for (const Hotkey& held : hotkeys)
        if (held.keycode == hotkey.keycode && held.modifierMask == hotkey.modifierMask)
            return 0;

    GdkDisplay* gdkDisplay = gdk_display_get_default();
    gdk_x11_display_error_trap_push(gdkDisplay);
    grab(hotkey, true);
    XSync(display, False);
    if (gdk_x11_display_error_trap_pop(gdkDisplay) != 0) {
        // Someone else holds the key: take back the combinations that did succeed.
        gdk_x11_display_error_trap_push(gdkDisplay);
        grab(hotkey, false);
        gdk_x11_display_error_trap_pop_ignored(gdkDisplay);
        return 0;
    }
    if (!filtering) {
        gdk_window_add_filter(gdk_get_default_root_window(), filterRootEvent, this);
        filtering = true;
    }
    hotkeys.push_back(std::move(hotkey));
    return nextIdentifier++;
}

void GlobalHotkeys::removeAll() {
    if (hotkeys.empty() && !filtering)
        return;
    GdkDisplay* gdkDisplay = gdk_display_get_default();
    if (gdkDisplay) {
        gdk_x11_display_error_trap_push(gdkDisplay);
        for (const Hotkey& hotkey : hotkeys)
            grab(hotkey, false);
        gdk_x11_display_error_trap_pop_ignored(gdkDisplay);
    }
    hotkeys.clear();
    if (filtering) {
        gdk_window_remove_filter(gdk_get_default_root_window(), filterRootEvent, this);
        filtering = false;
    }
}

bool GlobalHotkeys::takeKeyEvent(unsigned keycode, unsigned state, bool press) {
    unsigned held = state & ~lockMasks & (ShiftMask | ControlMask | Mod1Mask);
    for (const Hotkey& hotkey : hotkeys) {
        if (hotkey.keycode != keycode || hotkey.modifierMask != held)
            continue;
        if (press) {
            // Reported as an event of its own, like a posted message, not inside GDK's filter.
            auto* pending = new PendingPress{hotkey.onPress, hotkey.identifier};
            g_idle_add_full(G_PRIORITY_DEFAULT, reportPress, pending, nullptr);
        }
        return true;
    }
    return false;
}
