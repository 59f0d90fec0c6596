#pragma once

#include <string>

#include <sys/types.h>

// A private X server for one test program: Xvfb on a display number it picks itself
// (-displayfd), made the DISPLAY of this process; stopped when the object goes.
class XvfbDisplay {
  public:
    XvfbDisplay();
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    // ":N", or empty when the server did not start.
    const std::string& name() const { return displayName; }

  private:
    pid_t server = -1;
    std::string displayName;
};
