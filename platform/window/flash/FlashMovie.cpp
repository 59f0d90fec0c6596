#include "platform/window/flash/FlashPlayer.h"

#include <string_view>

namespace {

// One Ruffle player for the page's lifetime: each movie is handed to it by play(), so the
// WebAssembly module, compiled with the first movie, serves every later one. The address
// arrives as a script argument, never as markup or script text.
constexpr const char* playerPage = R"html(<!DOCTYPE html>
<html><head><meta charset="utf-8">
<style>
html, body { margin: 0; width: 100%; height: 100%; overflow: hidden; background: #000; }
ruffle-player { display: block; width: 100%; height: 100%; }
</style>
<script>
window.RufflePlayer = window.RufflePlayer || {};
window.RufflePlayer.config = {
    publicPath: "quorvel-ruffle://player/",
    polyfills: false,
    autoplay: "on",
    unmuteOverlay: "hidden",
    splashScreen: false,
    warnOnUnsupportedContent: false,
    showSwfDownload: false,
    logLevel: "error",
    // Starts first and weighs least of Ruffle's renderers here (no GPU, two cores).
    preferredRenderer: "canvas",
};
</script>
<script src="quorvel-ruffle://player/ruffle.js"></script>
</head><body><script>
let player = null;
function play(movie) {
    if (!window.RufflePlayer.newest) {
        document.body.style.color = "#fff";
        document.body.textContent = "Ruffle, the Flash player, is missing beside the program.";
        return;
    }
    // A player that met an error keeps showing it: a new one takes the next movie.
    if (player && player.shadowRoot && player.shadowRoot.getElementById("panic")) {
        player.remove();
        player = null;
    }
    if (!player) {
        player = window.RufflePlayer.newest().createPlayer();
        document.body.appendChild(player);
    }
    // The movie's own relative loads go to its folder, as when it was the page itself.
    player.ruffle().load({ url: movie, base: new URL(".", movie).href });
}
</script></body></html>
)html";

struct PlayerState {
    enum class Page { Absent, Loading, Ready };
    Page page = Page::Absent; // the player page in the view
    std::string movie;        // shown by the player, or waiting for the page
};

PlayerState& playerStateOf(WebKitWebView* view) {
    static const char* const key = "quorvel-flash-player";
    auto* state = static_cast<PlayerState*>(g_object_get_data(G_OBJECT(view), key));
    if (!state) {
        state = new PlayerState;
        g_object_set_data_full(G_OBJECT(view), key, state,
                               [](gpointer data) { delete static_cast<PlayerState*>(data); });
    }
    return *state;
}

bool isPlayerPage(const char* uri) {
    return uri && std::string_view(uri) == flashPlayerAddress;
}

// The page may read the movie's own host and no other, as a page of that host could.
void allowMovieHost(WebKitWebView* view, const char* movieUri) {
    GUri* uri = g_uri_parse(movieUri, G_URI_FLAGS_NONE, nullptr);
    if (!uri || !g_uri_get_host(uri) || !*g_uri_get_host(uri)) {
        webkit_web_view_set_cors_allowlist(view, nullptr);
    } else {
        char* pattern = g_strdup_printf("%s://%s/*", g_uri_get_scheme(uri), g_uri_get_host(uri));
        const char* const patterns[] = {pattern, nullptr};
        webkit_web_view_set_cors_allowlist(view, patterns);
        g_free(pattern);
    }
    if (uri)
        g_uri_unref(uri);
}

void handMovie(WebKitWebView* view, const std::string& movie) {
    allowMovieHost(view, movie.c_str());
    GVariantBuilder arguments;
    g_variant_builder_init(&arguments, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&arguments, "{sv}", "movie", g_variant_new_string(movie.c_str()));
    webkit_web_view_call_async_javascript_function(view, "play(movie);", -1,
                                                   g_variant_builder_end(&arguments), nullptr,
                                                   nullptr, nullptr, nullptr, nullptr);
}

void followPlayerPage(WebKitWebView* view, WebKitLoadEvent event, gpointer) {
    using Page = PlayerState::Page;
    PlayerState& state = playerStateOf(view);
    bool playerShown = isPlayerPage(webkit_web_view_get_uri(view));
    if (event == WEBKIT_LOAD_COMMITTED && !playerShown) {
        state.page = Page::Absent;
    } else if (event == WEBKIT_LOAD_FINISHED && playerShown && state.page == Page::Loading) {
        state.page = Page::Ready;
        if (!state.movie.empty())
            handMovie(view, state.movie);
    }
}

void forgetPlayerPage(WebKitWebView* view, WebKitWebProcessTerminationReason, gpointer) {
    playerStateOf(view).page = PlayerState::Page::Absent;
}

gboolean playFlashResponse(WebKitWebView* view, WebKitPolicyDecision* decision,
                           WebKitPolicyDecisionType type, gpointer) {
    if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE)
        return FALSE;
    auto* responseDecision = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    if (!webkit_response_policy_decision_is_main_frame_main_resource(responseDecision))
        return FALSE;
    WebKitURIResponse* response = webkit_response_policy_decision_get_response(responseDecision);
    const char* mimeType = webkit_uri_response_get_mime_type(response);
    std::string uri = webkit_uri_response_get_uri(response);
    bool flashType = mimeType && g_ascii_strcasecmp(mimeType, "application/x-shockwave-flash") == 0;
    // Servers often send movies as application/octet-stream, which would become a download.
    bool unshownMovie = isFlashAddress(uri.c_str()) &&
                        !webkit_response_policy_decision_is_mime_type_supported(responseDecision);
    if (!flashType && !unshownMovie)
        return FALSE;
    webkit_policy_decision_ignore(decision);
    flashLoadMovie(view, uri.c_str());
    return TRUE;
}

} // namespace

bool isFlashAddress(const char* uri) {
    if (!uri)
        return false;
    std::string_view address(uri);
    address = address.substr(0, address.find_first_of("?#"));
    // The host is not part of the path: "http://example.swf/" is a page.
    if (size_t scheme = address.find("://"); scheme != std::string_view::npos) {
        size_t path = address.find('/', scheme + 3);
        address = path == std::string_view::npos ? std::string_view() : address.substr(path);
    }
    constexpr std::string_view suffix = ".swf";
    if (address.size() < suffix.size())
        return false;
    std::string_view tail = address.substr(address.size() - suffix.size());
    return g_ascii_strncasecmp(tail.data(), suffix.data(), suffix.size()) == 0;
}

void flashLoadMovie(WebKitWebView* view, const char* movieUri) {
    using Page = PlayerState::Page;
    flashPrepareView(view);
    PlayerState& state = playerStateOf(view);
    state.movie = movieUri ? movieUri : "";
    if (state.page == Page::Ready) {
        // A navigation still on its way would take the player away.
        if (webkit_web_view_is_loading(view))
            webkit_web_view_stop_loading(view);
        handMovie(view, state.movie);
    } else if (state.page == Page::Absent) {
        state.page = Page::Loading;
        webkit_web_view_load_html(view, playerPage, flashPlayerAddress);
    }
    // A page on its way takes the movie when it has loaded.
}

void flashOpenAddress(WebKitWebView* view, const char* uri) {
    if (isFlashAddress(uri))
        return flashLoadMovie(view, uri);
    flashPrepareView(view);
    PlayerState& state = playerStateOf(view);
    state.movie.clear();
    // The page stays ready until the new one replaces it: a movie by its content type is
    // still handed to it.
    if (state.page == PlayerState::Page::Loading)
        state.page = PlayerState::Page::Absent;
    webkit_web_view_set_cors_allowlist(view, nullptr);
    webkit_web_view_load_uri(view, uri ? uri : "");
}

const char* flashShownAddress(WebKitWebView* view) {
    const char* uri = webkit_web_view_get_uri(view);
    if (!isPlayerPage(uri))
        return uri;
    const std::string& movie = playerStateOf(view).movie;
    return movie.empty() ? uri : movie.c_str();
}

void flashPrepareView(WebKitWebView* view) {
    static const char* const preparedKey = "quorvel-flash-prepared";
    if (!view || g_object_get_data(G_OBJECT(view), preparedKey))
        return;
    g_object_set_data(G_OBJECT(view), preparedKey, GINT_TO_POINTER(1));
    flashPrepareContext(webkit_web_view_get_context(view));
    // Ruffle draws on a 2D canvas; compositing it through OpenGL, which is Mesa's software
    // renderer where there is no GPU, played the stress movie at 37 instead of 60 frames a
    // second and weighed 50 MiB more.
    webkit_settings_set_hardware_acceleration_policy(webkit_web_view_get_settings(view),
                                                     WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    g_signal_connect(view, "decide-policy", G_CALLBACK(playFlashResponse), nullptr);
    g_signal_connect(view, "load-changed", G_CALLBACK(followPlayerPage), nullptr);
    g_signal_connect(view, "web-process-terminated", G_CALLBACK(forgetPlayerPage), nullptr);
}
