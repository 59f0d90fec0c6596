#include "tests/platform/window/BoxDriver.h"

#include <filesystem>
#include <fstream>

#include "tests/platform/window/XDesktop.h"

namespace {

int boxesDriven = 0;

} // namespace

BoxDriver::BoxDriver(const std::string& searchArguments, const std::string& keys)
    : folder(testDesktop().homeFolder() + "/box-" + std::to_string(++boxesDriven)) {
    std::filesystem::create_directories(folder);
    // A box that has just closed may still be found for a moment: look again until one answers.
    driver =
        startShell("for i in $(seq 100); do w=$(xdotool search --onlyvisible " + searchArguments +
                   " | head -n 1); [ -n \"$w\" ] && xprop -id $w " + "_NET_WM_NAME > " + folder +
                   "/title 2>/dev/null && break; sleep 0.1; "
                   "done; timeout 10 xdotool windowactivate --sync $w; xdotool key " +
                   keys + "; sleep 10; echo > " + folder +
                   "/late; timeout 10 xdotool windowactivate --sync $w; "
                   "xdotool key Escape Return");
}

BoxDriver::~BoxDriver() {
    stopProcess(driver);
    std::filesystem::remove_all(folder);
}

std::string BoxDriver::title() const {
    std::string line;
    std::ifstream in(folder + "/title");
    std::getline(in, line);
    return line;
}

bool BoxDriver::answeredInTime() const {
    return !std::filesystem::exists(folder + "/late");
}
