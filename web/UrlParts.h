#pragma once

#include <optional>

#include "text/Text.h"

// The host of `address`, lower-cased. Without `dotCount` the host is cut after the
// scheme; with it, only the last labels are kept (dotCount + 1 with rootDomain,
// dotCount + 2 without). rootDomain keeps the last two labels; keepPort keeps ":port".
Text urlHost(const Text& address, bool rootDomain = false, bool keepPort = false,
             std::optional<int> dotCount = std::nullopt);
// The port to connect to: the explicit one, else 443 for "https" addresses, else 80.
int urlPort(const Text& address);
// The object name to request: everything from the first "/" after the host, or "/".
Text urlPath(const Text& address);
