#include "platform/window/flash/FlashPlayer.h"

#include <string_view>

namespace {

// The movie's address is the page's own (document.URL), so nothing from outside is pasted
// into the markup.
constexpr const char* moviePage = R"html(<!DOCTYPE html>
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
if (window.RufflePlayer.newest) {
    const player = window.RufflePlayer.newest().createPlayer();
    document.body.appendChild(player);
    player.ruffle().load({ url: document.URL });
} else {
    document.body.style.color = "#fff";
    document.body.textContent = "Ruffle, the Flash player, is missing beside the program.";
}
</script></body></html>
)html";

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
    flashPrepareView(view);
    webkit_web_view_load_html(view, moviePage, movieUri);
}

void flashOpenAddress(WebKitWebView* view, const char* uri) {
    if (isFlashAddress(uri))
        flashLoadMovie(view, uri);
    else
        webkit_web_view_load_uri(view, uri ? uri : "");
}

void flashPrepareView(WebKitWebView* view) {
    static const char* const preparedKey = "quorvel-flash-prepared";
    if (!view || g_object_get_data(G_OBJECT(view), preparedKey))
        return;
    g_object_set_data(G_OBJECT(view), preparedKey, GINT_TO_POINTER(1));
    flashPrepareContext(webkit_web_view_get_context(view));
    g_signal_connect(view, "decide-policy", G_CALLBACK(playFlashResponse), nullptr);
}
