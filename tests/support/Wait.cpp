#include "tests/support/Wait.h"

#include <ctime>
#include <unistd.h>

long long monotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs,
               const std::function<void()>& between) {
    long long deadline = monotonicMilliseconds() + timeoutMs;
    while (!done()) {
        if (monotonicMilliseconds() >= deadline)
            return done();
        if (between)
            between();
        else
            usleep(20000);
    }
    return true;
}
