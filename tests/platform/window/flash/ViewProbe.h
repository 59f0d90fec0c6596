#pragma once

#include <cstdint>
#include <string>

#include <webkit2/webkit2.h>

// Looking at a WebKitWebView from a test the way a person would: what it shows and what its
// page holds, while the GTK main loop keeps running.

// How long the view may take to answer one snapshot or script; longer fails the test. Generous:
// its web process may be compiling the player, under sanitizers, on a shared machine.
constexpr int viewAnswerMs = 90000;

// The visible part of the view as an image; null when the snapshot failed. The caller
// destroys it.
cairo_surface_t* viewSnapshot(WebKitWebView* view);

// The 0xRRGGBB colour at (x, y) of an image from viewSnapshot, as fractions of its size.
std::uint32_t pixelAt(cairo_surface_t* image, double x, double y);

// True when every channel of the two colours differs by at most `tolerance`.
bool sameColour(std::uint32_t a, std::uint32_t b, int tolerance = 8);

// The script's value turned into a string, or "error: ..." when it threw.
std::string evaluateScript(WebKitWebView* view, const std::string& script);
