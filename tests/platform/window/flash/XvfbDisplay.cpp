#include "tests/platform/window/flash/XvfbDisplay.h"

#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

XvfbDisplay::XvfbDisplay() {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return;
    server = fork();
    if (server == 0) {
        // The write end must survive exec: Xvfb writes the display number into it.
        fcntl(pipeEnds[1], F_SETFD, 0);
        int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        std::string fd = std::to_string(pipeEnds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
               "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string number;
    pollfd wait{pipeEnds[0], POLLIN, 0};
    char c;
    while (server > 0 && poll(&wait, 1, 30000) == 1 && read(pipeEnds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(pipeEnds[0]);
    if (number.empty())
        return;
    displayName = ":" + number;
    setenv("DISPLAY", displayName.c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    setenv("GDK_BACKEND", "x11", 1);
}

XvfbDisplay::~XvfbDisplay() {
    if (server <= 0)
        return;
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
}
