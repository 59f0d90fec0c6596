#pragma once

#include <string>

#include <webkit2/webkit2.h>

// Flash movies in a WebKitWebView: WebKit has no Flash, so a movie is shown by Ruffle, the
// Flash emulator, inside a small page whose address is the movie's own.

// The URI scheme Ruffle's files are served from inside the views.
inline constexpr const char* flashRuffleScheme = "quorvel-ruffle";

// The folder Ruffle's files are served from: "../share/quorvel/ruffle" from the executable's
// folder when installed, else "ruffle" beside the executable (the build tree); empty when
// neither holds ruffle.js.
std::string flashRuffleFolder();

// Serves Ruffle's files to the context's views and gives them page languages that Ruffle can
// parse. Call before the context's first view loads anything; calling again does nothing.
void flashPrepareContext(WebKitWebContext* context);

// Makes the view play a movie that a navigation turns out to be (the server says
// application/x-shockwave-flash, or a ".swf" path answers with content WebKit cannot show).
// Prepares the view's context too. Calling again does nothing.
void flashPrepareView(WebKitWebView* view);

// True when the UTF-8 address's path, before any query or fragment, ends in ".swf" (letters in
// any case). Null and empty addresses are not movies.
bool isFlashAddress(const char* uri);

// Shows the movie at `movieUri` in the view through Ruffle. The page takes the movie's address
// as its own, so the view's URI reads `movieUri`, the movie is fetched same-origin and its own
// relative loads go to its host.
void flashLoadMovie(WebKitWebView* view, const char* movieUri);

// Loads `uri` in the view: a Flash address through flashLoadMovie, anything else as an
// ordinary page.
void flashOpenAddress(WebKitWebView* view, const char* uri);
