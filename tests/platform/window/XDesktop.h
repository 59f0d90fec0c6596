#pragma once

#include <string>

#include <sys/types.h>

// A private X desktop for one test program: Xvfb on a display it picks itself (-displayfd),
// openbox as the window manager (so that keep-above and focus are real), and a home of its own
// whose default browser for web addresses, files and other schemes is a script that records
// each address it is given. The test program's DISPLAY, HOME and XDG folders point at it.
// Stopped, and its home removed, when the object goes.
class XDesktop {
  public:
    XDesktop();
    ~XDesktop();
    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;

    // True when the server and the window manager are up.
    bool ready() const { return windowManager > 0; }
    // The file the recording browser appends each address to, one a line.
    std::string browserRecord() const { return home + "/browser-addresses"; }
    std::string homeFolder() const { return home; }

  private:
    void makeHome();

    pid_t server = -1;
    pid_t windowManager = -1;
    std::string home;
};

// The desktop that every test of the program runs on; started before the first test.
XDesktop& testDesktop();

// Runs `command` with /bin/sh to its end; its standard output.
std::string shellOutput(const std::string& command);

// Starts `command` with /bin/sh in the background; its process id.
pid_t startShell(const std::string& command);

// True when the process `pid` has ended, with its exit code in `exitCode` (128 + the signal
// when a signal ended it). Does not wait.
bool processEnded(pid_t pid, int& exitCode);

// Ends the process `pid` (and its process group) if it still runs, and reaps it.
void stopProcess(pid_t pid);
