#include "tests/platform/window/BoxDriver.h"

#include <unistd.h>

#include "tests/platform/window/XDesktop.h"
#include "tests/support/Wait.h"

BoxDriver::BoxDriver(const std::string& searchArguments, const std::string& keys)
    : driver([this, searchArguments, keys] { drive(searchArguments, keys); }) {}

BoxDriver::~BoxDriver() {
    answered = true;
    driver.join();
}

void BoxDriver::drive(const std::string& searchArguments, const std::string& keys) {
    std::string window;
    // A box that has just closed may still be found for a moment: look again until one
    // answers.
    bool found = waitUntil(
        [&] {
            window = shellOutput("xdotool search --onlyvisible " + searchArguments);
            window = window.substr(0, window.find('\n'));
            if (window.empty())
                return false;
            boxTitle = shellOutput("xprop -id " + window + " _NET_WM_NAME 2>/dev/null");
            boxTitle = boxTitle.substr(0, boxTitle.find('\n'));
            return !boxTitle.empty();
        },
        30000, [] { usleep(100000); });
    titleRead = true;
    if (!found)
        return;
    shellOutput("timeout 10 xdotool windowactivate --sync " + window + "; xdotool key " + keys);
    if (waitUntil([this] { return answered.load(); }, 10000))
        return;
    late = true;
    shellOutput("timeout 10 xdotool windowactivate --sync " + window +
                "; xdotool key Escape Return");
}

std::string BoxDriver::title() const {
    return titleRead ? boxTitle : std::string();
}

bool BoxDriver::answeredInTime() const {
    return !late;
}
