#pragma once

#include <atomic>
#include <string>
#include <thread>

// Answers the next message box from outside, as a user would: waits for a visible window that
// `xdotool search` finds with `searchArguments`, notes its title, activates it and sends
// `keys` (arguments of `xdotool key`). Should the box still be open ten seconds later, it is
// closed with Escape and Return, so that a lost key fails the test instead of hanging it.
class BoxDriver {
  public:
    BoxDriver(const std::string& searchArguments, const std::string& keys);
    // Tells the driver that the box is answered and waits for it to stop.
    ~BoxDriver();
    BoxDriver(const BoxDriver&) = delete;
    BoxDriver& operator=(const BoxDriver&) = delete;

    // The box's _NET_WM_NAME line as xprop printed it.
    std::string title() const;
    // False when the box had to be closed by the fallback.
    bool answeredInTime() const;

  private:
    void drive(const std::string& searchArguments, const std::string& keys);

    std::string boxTitle; // written by the driver before it sends the keys
    std::atomic<bool> titleRead{false};
    std::atomic<bool> answered{false};
    std::atomic<bool> late{false};
    std::thread driver;
};
