#include "platform/window/NetworkServices.h"

#include <gio/gio.h>
#include <gtk/gtk.h>

#include "platform/http/WinInet.h"
#include "platform/window/GtkRuntime.h"
#include "platform/window/Utf8Crossing.h"
#include "platform/window/WebAddress.h"

#ifndef QUORVEL_ONLINE_PROBE
#define QUORVEL_ONLINE_PROBE "http://www.baidu.com/"
#endif

namespace {

constexpr const char* userAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// A fresh GET of `address` on an Internet handle of its own; both handles are closed when it
// goes.
class UrlRequest {
  public:
    explicit UrlRequest(const Text& address) {
        if (!isWebAddress(address))
            return;
        internet = InternetOpenA(userAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        if (internet)
            file = InternetOpenUrlA(internet, address.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
    }
    ~UrlRequest() {
        if (file)
            InternetCloseHandle(file);
        if (internet)
            InternetCloseHandle(internet);
    }
    UrlRequest(const UrlRequest&) = delete;
    UrlRequest& operator=(const UrlRequest&) = delete;

    bool opened() const { return file != nullptr; }

    // The whole body; false when a read fails.
    bool readAll(Bytes& body) {
        char buffer[4096];
        while (true) {
            DWORD read = 0;
            if (!InternetReadFile(file, buffer, sizeof buffer, &read))
                return false;
            if (read == 0)
                return true;
            body.append(buffer, read);
        }
    }

  private:
    HINTERNET internet = nullptr;
    HINTERNET file = nullptr;
};

} // namespace

bool addressOpens(const Text& address) {
    return UrlRequest(address).opened();
}

Bytes readWholeFile(const Text& address) {
    UrlRequest request(address);
    Bytes body;
    if (!request.opened() || !request.readAll(body))
        return {};
    return body;
}

bool openWithDefaultBrowser(const Text& address) {
    // Never the system's general opener with whatever a web page said: only web addresses,
    // and only to the browser.
    if (!isWebAddress(address))
        return false;
    GdkAppLaunchContext* context = gdk_display_get_app_launch_context(gdk_display_get_default());
    bool launched = g_app_info_launch_default_for_uri(utf8FromText(address).c_str(),
                                                      G_APP_LAUNCH_CONTEXT(context), nullptr);
    g_object_unref(context);
    return launched;
}

bool GtkWindowRuntime::isOnline() {
    if (!g_network_monitor_get_network_available(g_network_monitor_get_default()))
        return false;
    return addressOpens(QUORVEL_ONLINE_PROBE);
}

bool GtkWindowRuntime::openInBrowser(const Text& address) {
    return openWithDefaultBrowser(address);
}

Bytes GtkWindowRuntime::httpReadFile(const Text& address) {
    return readWholeFile(address);
}

Bytes GtkWindowRuntime::convertEncoding(const Bytes& bytes, const Text& from, const Text& to) {
    return convertCharset(bytes, from, to);
}
