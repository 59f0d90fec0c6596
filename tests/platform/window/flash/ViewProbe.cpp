#include "tests/platform/window/flash/ViewProbe.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include <gtest/gtest.h>

#include "tests/platform/window/EventWait.h"

namespace {

// What the view's answer leaves for the waiting test. Shared with the callback, which may come
// after the test has given up waiting.
template <typename Value> struct Answer {
    bool finished = false;
    Value value{};
};

template <typename Value> using SharedAnswer = std::shared_ptr<Answer<Value>>;

// Lets events run until the answer comes; on timeout fails the test and cancels the request.
template <typename Value>
bool awaitAnswer(const SharedAnswer<Value>& answer, GCancellable* cancellable, const char* what) {
    bool finished = runEventsUntil([&] { return answer->finished; }, viewAnswerMs);
    if (!finished) {
        ADD_FAILURE() << "the view did not answer " << what << " within " << viewAnswerMs << " ms";
        g_cancellable_cancel(cancellable);
    }
    g_object_unref(cancellable);
    return finished;
}

struct Snapshot {
    cairo_surface_t* image = nullptr;
    ~Snapshot() {
        if (image)
            cairo_surface_destroy(image);
    }
};

} // namespace

cairo_surface_t* viewSnapshot(WebKitWebView* view) {
    auto answer = std::make_shared<Answer<Snapshot>>();
    GCancellable* cancellable = g_cancellable_new();
    webkit_web_view_get_snapshot(
        view, WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE, cancellable,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<SharedAnswer<Snapshot>> answer(
                static_cast<SharedAnswer<Snapshot>*>(data));
            (*answer)->value.image =
                webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
            (*answer)->finished = true;
        },
        new SharedAnswer<Snapshot>(answer));
    if (!awaitAnswer(answer, cancellable, "a snapshot"))
        return nullptr;
    return std::exchange(answer->value.image, nullptr);
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
    auto answer = std::make_shared<Answer<std::string>>();
    GCancellable* cancellable = g_cancellable_new();
    webkit_web_view_evaluate_javascript(
        view, script.c_str(), -1, nullptr, nullptr, cancellable,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<SharedAnswer<std::string>> answer(
                static_cast<SharedAnswer<std::string>*>(data));
            GError* error = nullptr;
            JSCValue* value =
                webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
            if (value) {
                char* text = jsc_value_to_string(value);
                (*answer)->value = text;
                g_free(text);
                g_object_unref(value);
            } else {
                (*answer)->value = std::string("error: ") + error->message;
                g_error_free(error);
            }
            (*answer)->finished = true;
        },
        new SharedAnswer<std::string>(answer));
    if (!awaitAnswer(answer, cancellable, "a script"))
        return "error: no answer";
    return answer->value;
}
