// Times a movie's start in the browser control and weighs the program's processes.
// Prints, for each run: seconds from handing the address to the view until the movie's first
// frame is on screen, and the memory (RSS and PSS) of this process and WebKit's children
// with an empty view, with an ordinary page and with a movie playing.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include "platform/window/flash/FlashPlayer.h"
#include "tests/platform/window/flash/LoopbackServer.h"
#include "tests/platform/window/flash/TinyMovie.h"
#include "tests/platform/window/flash/ViewProbe.h"
#include "tests/platform/window/flash/XvfbDisplay.h"

namespace {

long fieldKilobytes(const std::string& file, const char* field) {
    FILE* stream = std::fopen(file.c_str(), "r");
    if (!stream)
        return 0;
    char line[256];
    long value = 0;
    std::string prefix = std::string(field) + ":";
    while (std::fgets(line, sizeof line, stream))
        if (std::string(line).rfind(prefix, 0) == 0)
            value = std::atol(line + prefix.size());
    std::fclose(stream);
    return value;
}

std::vector<int> processFamily() {
    std::vector<int> family{getpid()};
    DIR* proc = opendir("/proc");
    while (dirent* entry = readdir(proc)) {
        int pid = std::atoi(entry->d_name);
        if (pid <= 0)
            continue;
        std::string status = "/proc/" + std::to_string(pid) + "/status";
        if (fieldKilobytes(status, "PPid") == getpid())
            family.push_back(pid);
    }
    closedir(proc);
    return family;
}

void printMemory(const char* state) {
    long rss = 0, pss = 0;
    std::string names;
    for (int pid : processFamily()) {
        std::string base = "/proc/" + std::to_string(pid);
        long processRss = fieldKilobytes(base + "/status", "VmRSS");
        long processPss = fieldKilobytes(base + "/smaps_rollup", "Pss");
        char name[64] = "";
        if (FILE* comm = std::fopen((base + "/comm").c_str(), "r")) {
            if (std::fgets(name, sizeof name, comm))
                name[std::strcspn(name, "\n")] = '\0';
            std::fclose(comm);
        }
        if (processRss == 0) // Xvfb and finished helpers are not the program's
            continue;
        if (std::string(name) == "Xvfb")
            continue;
        rss += processRss;
        pss += processPss;
        names += " " + std::string(name) + " " + std::to_string(processRss / 1024) + "/" +
                 std::to_string(processPss / 1024);
    }
    std::printf("memory %-6s RSS %4ld MiB, PSS %4ld MiB (RSS/PSS MiB:%s)\n", state, rss / 1024,
                pss / 1024, names.c_str());
}

bool waitForBox(WebKitWebView* view, MovieColour box, double seconds) {
    return runUntil(
        [&] {
            cairo_surface_t* image = viewSnapshot(view);
            bool shown = image && sameColour(pixelAt(image, 0.5, 0.5), box);
            if (image)
                cairo_surface_destroy(image);
            return shown;
        },
        seconds);
}

} // namespace

int main(int argc, char** argv) {
    int movies = argc > 1 ? std::atoi(argv[1]) : 3;
    XvfbDisplay display;
    if (display.name().empty() || !gtk_init_check(nullptr, nullptr))
        return 1;
    flashPrepareContext(webkit_web_context_get_default());
    LoopbackServer server;
    server.answer("/page.html", {200, "text/html", "<!DOCTYPE html><p>page</p>", ""});

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), 685, 485);
    auto* view = WEBKIT_WEB_VIEW(webkit_web_view_new());
    flashPrepareView(view);
    gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(view));
    gtk_widget_show_all(window);

    webkit_web_view_load_uri(view, "about:blank");
    runUntil([&] { return !webkit_web_view_is_loading(view); }, 30);
    runUntil([] { return false; }, 1);
    printMemory("empty");
    webkit_web_view_load_uri(view, server.address("/page.html").c_str());
    runUntil([&] { return !webkit_web_view_is_loading(view); }, 30);
    runUntil([] { return false; }, 1);
    printMemory("page");

    for (int run = 0; run < movies; ++run) {
        MovieColour box = 0xe02020 + run * 0x10;
        std::string path = "/movie" + std::to_string(run) + ".swf";
        server.answer(path, {200, "application/x-shockwave-flash",
                             tinyMovie(200, 150, 0x2040c0, 50, 40, 150, 110, box), ""});
        gint64 start = g_get_monotonic_time();
        flashOpenAddress(view, server.address(path).c_str());
        bool shown = waitForBox(view, box, 120);
        double seconds = (g_get_monotonic_time() - start) / 1e6;
        std::printf("movie %d: first frame %s after %.2f s\n", run + 1,
                    shown ? "shown" : "NOT shown", seconds);
        runUntil([] { return false; }, 1);
        printMemory("movie");
    }
    gtk_widget_destroy(window);
    return 0;
}
