#pragma once

#include "text/Text.h"

// True when a GET of `address` (http or https) opens through the HTTP layer, whatever the
// status; what the connectivity test asks of its fixed public address.
bool addressOpens(const Text& address);

// The body of a GET of `address` through the HTTP layer; empty when it is not an http or https
// address or when opening or reading fails.
Bytes readWholeFile(const Text& address);

// Hands an http or https address to the user's default browser; anything else is refused.
// False when refused or when no browser could be started for it.
bool openWithDefaultBrowser(const Text& address);
