#include "platform/window/flash/FlashPlayer.h"

#include <memory>

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "tests/platform/window/EventWait.h"
#include "tests/platform/window/flash/TinyMovie.h"
#include "tests/platform/window/flash/ViewProbe.h"
#include "tests/support/LoopbackServer.h"

namespace {

constexpr MovieColour stageColour = 0x2040c0, pageColour = 0x20c040;
// Generous: the player compiles 14 MB of WebAssembly, under sanitizers, on a shared machine.
constexpr int loadMs = 90000;

class FlashViewTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
        flashPrepareContext(webkit_web_context_get_default());

        routes = std::make_shared<Routes>();
        server = std::make_unique<LoopbackServer>(serveRoutes(routes));
        ASSERT_TRUE(server->listening());
        serve("/page.html", "text/html",
              "<!DOCTYPE html><title>Page</title><body style=\"background:#20c040\">");
    }

    static void TearDownTestSuite() {
        server.reset();
        routes.reset();
    }

    // Answers requests for `target` with `body` as `contentType` from now on.
    static void serve(const std::string& target, const std::string& contentType,
                      const std::string& body) {
        routes->set(target, httpResponse(body, "Content-Type: " + contentType + "\r\n"));
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
        bool shown = runEventsUntil(
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
            loadMs);
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

    // Serves a test movie with a box of `box` at `path` and returns its address on `host`;
    // `requested` is the path as the player asks for it, when that differs.
    static std::string serveMovie(const std::string& path, MovieColour box,
                                  const std::string& host = "127.0.0.1",
                                  const std::string& requested = "") {
        serve(requested.empty() ? path : requested, "application/x-shockwave-flash",
              tinyMovie(200, 150, stageColour, 50, 40, 150, 110, box));
        return "http://" + host + ":" + std::to_string(server->port()) + path;
    }

    bool showsPanic() {
        const std::string panelShown = R"js(
            (() => {
                const player = document.querySelector("ruffle-player");
                const panel = player && player.shadowRoot.getElementById("panic");
                return !!panel && panel.offsetWidth > 0;
            })())js";
        return runEventsUntil([&] { return evaluateScript(view, panelShown) == "true"; }, loadMs);
    }

    static std::shared_ptr<Routes> routes;
    static std::unique_ptr<LoopbackServer> server;
    GtkWidget* window = nullptr;
    WebKitWebView* view = nullptr;
    bool webProcessEnded = false;
};

std::shared_ptr<Routes> FlashViewTest::routes;
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
        serve(c.moviePath, c.contentType, movie);
        if (std::string(c.path) != c.moviePath)
            routes->set(c.path, httpResponse("",
                                             "Content-Type: text/plain\r\nLocation: " +
                                                 server->url(c.moviePath) + "\r\n",
                                             "302 Found"));
        flashOpenAddress(view, server->url(c.path).c_str());
        EXPECT_TRUE(showsMovie(c.box, "movie" + std::string(c.path).substr(1, 5)));
        EXPECT_STREQ(flashShownAddress(view), server->url(c.moviePath).c_str());
    }
    EXPECT_FALSE(webProcessEnded);
}

TEST_F(FlashViewTest, OrdinaryPageLoadsWithoutThePlayer) {
    std::string address = server->url("/page.html");
    flashOpenAddress(view, address.c_str());
    EXPECT_TRUE(showsColours({{{0.5, 0.5}, pageColour}, {{0.05, 0.95}, pageColour}}, "page"));
    EXPECT_STREQ(flashShownAddress(view), address.c_str());
    EXPECT_EQ(evaluateScript(view, "typeof window.RufflePlayer"), "undefined");
}

TEST_F(FlashViewTest, MissingMovieShowsThePlayersErrorPanel) {
    std::string address = server->url("/absent.swf");
    flashOpenAddress(view, address.c_str());
    EXPECT_TRUE(showsPanic());
    EXPECT_STREQ(flashShownAddress(view), address.c_str());
    EXPECT_FALSE(webProcessEnded);
}

TEST_F(FlashViewTest, KeptPlayerShowsEachMovieInTurn) {
    // Two origins (the same server by two names): a movie may come from any host. The third
    // address carries what would break out of a script if it were pasted into one.
    std::string movies[] = {
        serveMovie("/first.swf", 0xe02020),
        serveMovie("/second.swf", 0x20e0e0, "localhost"),
        serveMovie("/third.swf?'\"</script><script>window.injected=1</script>", 0xe0e020,
                   "127.0.0.1",
                   "/third.swf?%27%22%3C/script%3E%3Cscript%3Ewindow.injected=1%3C/script%3E"),
    };
    MovieColour boxes[] = {0xe02020, 0x20e0e0, 0xe0e020};
    for (int index = 0; index < 3; ++index) {
        SCOPED_TRACE(movies[index]);
        flashOpenAddress(view, movies[index].c_str());
        EXPECT_TRUE(showsMovie(boxes[index], "kept" + std::to_string(index)));
        EXPECT_STREQ(flashShownAddress(view), movies[index].c_str());
        if (index == 0)
            evaluateScript(view, "window.keptPage = 'still here'");
        // The page, and with it the compiled player, stayed.
        EXPECT_EQ(evaluateScript(view, "String(window.keptPage)"), "still here");
    }
    EXPECT_EQ(evaluateScript(view, "typeof window.injected"), "undefined");
    EXPECT_FALSE(webProcessEnded);
}

TEST_F(FlashViewTest, OrdinaryPageBetweenMoviesShowsAsAPage) {
    flashOpenAddress(view, serveMovie("/before.swf", 0xe02020).c_str());
    EXPECT_TRUE(showsMovie(0xe02020, "before"));

    std::string page = server->url("/page.html");
    flashOpenAddress(view, page.c_str());
    EXPECT_TRUE(showsColours({{{0.5, 0.5}, pageColour}, {{0.05, 0.95}, pageColour}}, "between"));
    EXPECT_STREQ(flashShownAddress(view), page.c_str());
    EXPECT_EQ(evaluateScript(view, "typeof window.RufflePlayer"), "undefined");

    std::string after = serveMovie("/after.swf", 0x20e020);
    flashOpenAddress(view, after.c_str());
    EXPECT_TRUE(showsMovie(0x20e020, "after"));
    EXPECT_STREQ(flashShownAddress(view), after.c_str());
}

TEST_F(FlashViewTest, MissingMovieAfterAGoodOneShowsTheErrorAndTheNextStillPlays) {
    flashOpenAddress(view, serveMovie("/good.swf", 0xe02020).c_str());
    EXPECT_TRUE(showsMovie(0xe02020, "good"));
    flashOpenAddress(view, server->url("/gone.swf").c_str());
    EXPECT_TRUE(showsPanic());
    flashOpenAddress(view, serveMovie("/better.swf", 0xe020e0).c_str());
    EXPECT_TRUE(showsMovie(0xe020e0, "better"));
    EXPECT_FALSE(webProcessEnded);
}

} // namespace
