#pragma once

#include <functional>

// Lets the window's events run while a test waits for `done`, at most `timeoutMs`; returns
// done().
bool runEventsUntil(const std::function<bool()>& done, int timeoutMs);
