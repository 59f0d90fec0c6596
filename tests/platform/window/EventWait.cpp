#include "tests/platform/window/EventWait.h"

#include <unistd.h>

#include "platform/window/RuntimeTesting.h"
#include "tests/support/Wait.h"

bool runEventsUntil(const std::function<bool()>& done, int timeoutMs) {
    return waitUntil(done, timeoutMs, [] {
        if (!runPendingEvent())
            usleep(2000); // nothing to do until the next event
    });
}
