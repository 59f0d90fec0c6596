#include "platform/window/flash/FlashPlayer.h"

#include <memory>

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "tests/platform/window/flash/LoopbackServer.h"
#include "tests/platform/window/flash/TinyMovie.h"
#include "tests/platform/window/flash/ViewProbe.h"
#include "tests/platform/window/flash/XvfbDisplay.h"

namespace {

constexpr MovieColour stageColour = 0x2040c0, pageColour = 0x20c040;
// Generous: the player compiles 14 MB of WebAssembly, under sanitizers, on a shared machine.
constexpr double loadSeconds = 90;

class FlashViewTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        display = std::make_unique<XvfbDisplay>();
        ASSERT_FALSE(display->name().empty()) << "Xvfb did not start";
        ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
        flashPrepareContext(webkit_web_context_get_default());

        server = std::make_unique<LoopbackServer>();
        ASSERT_NE(server->port(), 0);
        server->answer("/page.html",
                       {200, "text/html",
                        "<!DOCTYPE html><title>Page</title><body style=\"background:#20c040\">",
                        ""});
    }

    static void TearDownTestSuite() {
        server.reset();
        display.reset();
    }

    void SetUp() override {
        window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_default_size(GTK_WINDOW(window), 400, 300);
        view = WEBKIT_WEB_VIEW(webkit_web_view_new());
        flashPrepareView(view);
        g_signal_connect(view, "web-process-terminated",
                         G_CALLBACK(+[](WebKitWebView*, WebKitWebProcessTerminationReason,
                                        gpointer crashed) { *static_cast<bool*>(crashed) = true; }),
                         &webProcessEnded);
        gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(view));
        gtk_widget_show_all(window);
    }

    void TearDown() override { gtk_widget_destroy(window); }

    // Waits until the view shows the sample points in their colours; on failure keeps the
    // last picture as NAME.png in the working folder.
    bool showsColours(const std::vector<std::pair<std::pair<double, double>, MovieColour>>& points,
                      const std::string& name) {
        cairo_surface_t* last = nullptr;
        bool shown = runUntil(
            [&] {
                if (last)
                    cairo_surface_destroy(last);
                last = viewSnapshot(view);
                if (!last)
                    return false;
                for (auto& [where, colour] : points)
                    if (!sameColour(pixelAt(last, where.first, where.second), colour))
                        return false;
                return true;
            },
            loadSeconds);
        if (last) {
            if (!shown)
                cairo_surface_write_to_png(last, (name + ".png").c_str());
            cairo_surface_destroy(last);
        }
        return shown;
    }

    // The test movies' 200 x 150 stage with a box in its middle, shown 400 x 300.
    bool showsMovie(MovieColour box, const std::string& name) {
        return showsColours(
            {{{0.5, 0.5}, box}, {{0.05, 0.05}, stageColour}, {{0.9, 0.9}, stageColour}}, name);
    }

    static std::unique_ptr<XvfbDisplay> display;
    static std::unique_ptr<LoopbackServer> server;
    GtkWidget* window = nullptr;
    WebKitWebView* view = nullptr;
    bool webProcessEnded = false;
};

std::unique_ptr<XvfbDisplay> FlashViewTest::display;
std::unique_ptr<LoopbackServer> FlashViewTest::server;

TEST_F(FlashViewTest, MoviesPlayWhereverTheAddressLeads) {
    // Each movie has a box of its own colour, so a picture left from the one before cannot pass.
    struct Case {
        const char* path;
        const char* contentType;
        const char* moviePath; // where the movie is, after any redirect
        MovieColour box;
    } cases[] = {
        {"/movie.swf", "application/octet-stream", "/movie.swf", 0xe02020},
        // No ".swf" in the path: the server's content type tells.
        {"/player.php/sid/abc", "application/x-shockwave-flash", "/player.php/sid/abc", 0xe0e020},
        // A redirect to a movie sent as application/octet-stream, which would be a download.
        {"/moved", "application/octet-stream", "/moved.swf", 0xe020e0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string movie = tinyMovie(200, 150, stageColour, 50, 40, 150, 110, c.box);
        server->answer(c.moviePath, {200, c.contentType, movie, ""});
        if (std::string(c.path) != c.moviePath)
            server->answer(c.path, {302, "text/plain", "", server->address(c.moviePath)});
        flashOpenAddress(view, server->address(c.path).c_str());
        EXPECT_TRUE(showsMovie(c.box, "movie" + std::string(c.path).substr(1, 5)));
        EXPECT_EQ(webkit_web_view_get_uri(view), server->address(c.moviePath));
    }
    EXPECT_FALSE(webProcessEnded);
}

TEST_F(FlashViewTest, OrdinaryPageLoadsWithoutThePlayer) {
    std::string address = server->address("/page.html");
    flashOpenAddress(view, address.c_str());
    EXPECT_TRUE(showsColours({{{0.5, 0.5}, pageColour}, {{0.05, 0.95}, pageColour}}, "page"));
    EXPECT_EQ(webkit_web_view_get_uri(view), address);
    EXPECT_EQ(evaluateScript(view, "typeof window.RufflePlayer"), "undefined");
}

TEST_F(FlashViewTest, MissingMovieShowsThePlayersErrorPanel) {
    std::string address = server->address("/absent.swf");
    flashOpenAddress(view, address.c_str());
    const std::string panelShown = R"js(
        (() => {
            const player = document.querySelector("ruffle-player");
            const panel = player && player.shadowRoot.getElementById("panic");
            return !!panel && panel.offsetWidth > 0;
        })())js";
    EXPECT_TRUE(runUntil([&] { return evaluateScript(view, panelShown) == "true"; }, loadSeconds));
    EXPECT_EQ(webkit_web_view_get_uri(view), address);
    EXPECT_FALSE(webProcessEnded);
}

} // namespace
