#pragma once

#include "text/Text.h"

// The page at `address` fetched with the default request: its body as Text, up to the
// first zero byte; empty when it cannot be fetched.
Text fetchPageText(const Text& address);
