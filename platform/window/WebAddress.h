#pragma once

#include "text/Text.h"

// True for an address that may be handed to a browser or fetched: it starts with "http://" or
// "https://" (the scheme in any case) and holds no control character. A page's text must not
// reach the system's opener as a file, a program or another scheme.
bool isWebAddress(const Text& address);
