#pragma once

#include <functional>

// The one way tests wait for something: a condition checked against a deadline on a clock
// that only moves forward, never a fixed sleep between two steps that depend on each other.

// Milliseconds on the monotonic clock.
long long monotonicMilliseconds();

// Checks `done` until it holds or `timeoutMs` have passed, running `between` after each
// check that failed (empty: a pause of 20 ms). Returns done().
bool waitUntil(const std::function<bool()>& done, int timeoutMs,
               const std::function<void()>& between = {});
