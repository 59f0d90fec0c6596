#include "tests/platform/window/flash/ViewProbe.h"

#include <cstdlib>
#include <cstring>

bool runUntil(const std::function<bool()>& done, double seconds) {
    gint64 deadline = g_get_monotonic_time() + static_cast<gint64>(seconds * G_USEC_PER_SEC);
    // A ticking source keeps the blocking iteration from sleeping past the deadline.
    guint tick = g_timeout_add(
        20, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    bool result = done();
    while (!result && g_get_monotonic_time() < deadline) {
        g_main_context_iteration(nullptr, TRUE);
        result = done();
    }
    g_source_remove(tick);
    return result;
}

cairo_surface_t* viewSnapshot(WebKitWebView* view) {
    struct Wait {
        bool finished = false;
        cairo_surface_t* image = nullptr;
    } wait;
    webkit_web_view_get_snapshot(
        view, WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            auto* wait = static_cast<Wait*>(data);
            wait->image =
                webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
            wait->finished = true;
        },
        &wait);
    // The callback must run before `wait` goes out of scope, however long that takes.
    while (!wait.finished)
        g_main_context_iteration(nullptr, TRUE);
    return wait.image;
}

std::uint32_t pixelAt(cairo_surface_t* image, double x, double y) {
    cairo_surface_flush(image);
    int width = cairo_image_surface_get_width(image);
    int height = cairo_image_surface_get_height(image);
    int column = static_cast<int>(x * (width - 1));
    int row = static_cast<int>(y * (height - 1));
    const unsigned char* line =
        cairo_image_surface_get_data(image) + row * cairo_image_surface_get_stride(image);
    std::uint32_t argb;
    std::memcpy(&argb, line + 4 * column, sizeof argb);
    return argb & 0xffffff;
}

bool sameColour(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16}) {
        int difference =
            static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff);
        if (std::abs(difference) > tolerance)
            return false;
    }
    return true;
}

std::string evaluateScript(WebKitWebView* view, const std::string& script) {
    struct Wait {
        bool finished = false;
        std::string value;
    } wait;
    webkit_web_view_evaluate_javascript(
        view, script.c_str(), -1, nullptr, nullptr, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            auto* wait = static_cast<Wait*>(data);
            GError* error = nullptr;
            JSCValue* value =
                webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
            if (value) {
                char* text = jsc_value_to_string(value);
                wait->value = text;
                g_free(text);
                g_object_unref(value);
            } else {
                wait->value = std::string("error: ") + error->message;
                g_error_free(error);
            }
            wait->finished = true;
        },
        &wait);
    while (!wait.finished)
        g_main_context_iteration(nullptr, TRUE);
    return wait.value;
}
