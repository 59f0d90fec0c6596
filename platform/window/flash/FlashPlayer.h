#pragma once

#include <string>

#include <webkit2/webkit2.h>

// Flash movies in a WebKitWebView: WebKit has no Flash, so a movie is shown by Ruffle, the
// Flash emulator, inside a player page of our own. The page stays loaded from one movie to
// the next, so Ruffle's WebAssembly is compiled once, not once per movie.

// The URI scheme that the player page and Ruffle's files are served from.
inline constexpr const char* flashRuffleScheme = "quorvel-ruffle";
// The player page's own address.
inline constexpr const char* flashPlayerAddress = "quorvel-ruffle://player/";

// The folder Ruffle's files are served from: "../share/quorvel/ruffle" from the executable's
// folder when installed, else "ruffle" beside the executable (the build tree); empty when
// neither holds ruffle.js.
std::string flashRuffleFolder();

// Tunes the JavaScript engine of the web processes that WebKit starts from now on for
// Ruffle's large WebAssembly module; a setting already in the environment wins. Call before
// the first view loads anything.
void flashPrepareEnvironment();

// Serves Ruffle's files to the context's views, keeps its caches small and gives its views page
// languages that Ruffle can parse. Call before the context's first view loads anything; calling
// again does nothing.
void flashPrepareContext(WebKitWebContext* context);

// Makes the view play a movie that a navigation turns out to be (the server says
// application/x-shockwave-flash, or a ".swf" path answers with content WebKit cannot show).
// Prepares the view's context too. Calling again does nothing.
void flashPrepareView(WebKitWebView* view);

// True when the UTF-8 address's path, before any query or fragment, ends in ".swf" (letters in
// any case). Null and empty addresses are not movies.
bool isFlashAddress(const char* uri);

// Shows the movie at `movieUri` in the view through Ruffle: handed to the player page when
// the view shows it, else after loading the page. The movie may read its own host only, as
// if the page were there.
void flashLoadMovie(WebKitWebView* view, const char* movieUri);

// Loads `uri` in the view: a Flash address through flashLoadMovie, anything else as an
// ordinary page.
void flashOpenAddress(WebKitWebView* view, const char* uri);

// What the view shows, as a UTF-8 address: the movie's own while the player page is there,
// else the view's URI; null before the view has loaded anything.
const char* flashShownAddress(WebKitWebView* view);
