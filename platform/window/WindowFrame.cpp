#include "platform/window/WindowFrame.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

namespace {

bool readFrameExtents(Display* display, Window window, Atom property, FrameExtents& extents) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    int status = XGetWindowProperty(display, window, property, 0, 4, False, XA_CARDINAL, &type,
                                    &format, &count, &after, &data);
    bool found = status == Success && type == XA_CARDINAL && format == 32 && count == 4;
    if (found) {
        // Format 32 properties arrive as longs, whatever their size.
        auto* values = reinterpret_cast<long*>(data);
        extents = {static_cast<int>(values[0]), static_cast<int>(values[1]),
                   static_cast<int>(values[2]), static_cast<int>(values[3])};
    }
    if (data)
        XFree(data);
    return found;
}

} // namespace

FrameExtents requestFrameExtents(GtkWidget* window) {
    FrameExtents extents;
    GdkWindow* gdkWindow = gtk_widget_get_window(window);
    if (!gdkWindow || !GDK_IS_X11_WINDOW(gdkWindow))
        return extents;
    GdkScreen* screen = gtk_widget_get_screen(window);
    if (!gdk_x11_screen_supports_net_wm_hint(
            screen, gdk_atom_intern_static_string("_NET_REQUEST_FRAME_EXTENTS")))
        return extents;
    Display* display = GDK_WINDOW_XDISPLAY(gdkWindow);
    Window xWindow = GDK_WINDOW_XID(gdkWindow);
    Atom property = XInternAtom(display, "_NET_FRAME_EXTENTS", False);

    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = xWindow;
    request.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
    request.xclient.format = 32;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &request);
    XFlush(display);
    // The window manager answers by setting the property; each read is a round trip.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (readFrameExtents(display, xWindow, property, extents))
            break;
        g_usleep(5000);
    }
    return extents;
}

void centreWindow(GtkWidget* window, int width, int height) {
    GdkDisplay* display = gtk_widget_get_display(window);
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (!monitor)
        monitor = gdk_display_get_monitor(display, 0);
    if (!monitor)
        return;
    GdkRectangle area;
    gdk_monitor_get_workarea(monitor, &area);
    // With the default north-west gravity this places the frame's top-left corner.
    gtk_window_move(GTK_WINDOW(window), area.x + (area.width - width) / 2,
                    area.y + (area.height - height) / 2);
}
