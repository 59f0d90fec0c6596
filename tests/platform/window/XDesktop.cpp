#include "tests/platform/window/XDesktop.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/Wait.h"

namespace {

pid_t startProgram(const char* const argv[], int keepOpen = -1) {
    pid_t child = fork();
    if (child != 0)
        return child;
    if (keepOpen >= 0)
        fcntl(keepOpen, F_SETFD, 0); // the display number is written into it
    int quiet = open("/dev/null", O_RDWR);
    dup2(quiet, STDIN_FILENO);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    setpgid(0, 0);
    execvp(argv[0], const_cast<char* const*>(argv));
    _exit(127);
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path) << content;
}

class DesktopEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        desktop = std::make_unique<XDesktop>();
        ASSERT_TRUE(desktop->ready()) << "Xvfb or openbox did not start";
    }
    void TearDown() override { desktop.reset(); }

    std::unique_ptr<XDesktop> desktop;
};

DesktopEnvironment* environment =
    static_cast<DesktopEnvironment*>(::testing::AddGlobalTestEnvironment(new DesktopEnvironment));

} // namespace

XDesktop& testDesktop() {
    return *environment->desktop;
}

XDesktop::XDesktop() {
    makeHome();
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return;
    std::string fd = std::to_string(ends[1]);
    const char* serverArguments[] = {"Xvfb",         "-displayfd", fd.c_str(), "-screen", "0",
                                     "1280x1024x24", "-nolisten",  "tcp",      nullptr};
    server = startProgram(serverArguments, ends[1]);
    close(ends[1]);
    std::string number;
    pollfd wait{ends[0], POLLIN, 0};
    char c;
    while (poll(&wait, 1, 20000) == 1 && read(ends[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(ends[0]);
    if (number.empty())
        return;
    setenv("DISPLAY", (":" + number).c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    setenv("NO_AT_BRIDGE", "1", 1);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);

    // On a loaded machine openbox now and then ends before it takes over the display: start
    // it again while the deadline lasts.
    const char* managerArguments[] = {"openbox", "--sm-disable", nullptr};
    pid_t manager = startProgram(managerArguments);
    bool managing = waitUntil(
        [&] {
            if (waitpid(manager, nullptr, WNOHANG) == manager)
                manager = startProgram(managerArguments);
            return shellOutput("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") !=
                   std::string::npos;
        },
        60000);
    if (managing)
        windowManager = manager;
    else
        stopProcess(manager);
}

XDesktop::~XDesktop() {
    stopProcess(windowManager);
    stopProcess(server);
    if (!home.empty())
        std::filesystem::remove_all(home);
}

void XDesktop::makeHome() {
    char pattern[] = "/tmp/quorvel-desktop-XXXXXX";
    if (!mkdtemp(pattern))
        return;
    home = pattern;
    std::filesystem::create_directories(home + "/.config");
    std::filesystem::create_directories(home + "/.local/share/applications");
    std::filesystem::create_directories(home + "/.cache");
    std::filesystem::create_directories(home + "/runtime");
    std::filesystem::permissions(home + "/runtime", std::filesystem::perms::owner_all);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home + "/.cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home + "/runtime").c_str(), 1);

    std::string recorder = home + "/recording-browser";
    writeFile(recorder, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + browserRecord() + "'\n");
    std::filesystem::permissions(recorder, std::filesystem::perms::owner_all);
    // Everything a careless opener could hand on goes to the recorder, so that a refused
    // address would show if it got through.
    const std::string types = "x-scheme-handler/http;x-scheme-handler/https;"
                              "x-scheme-handler/ftp;x-scheme-handler/file;"
                              "x-scheme-handler/javascript;text/plain;text/html;"
                              "application/x-shellscript;application/x-executable;";
    writeFile(home + "/.local/share/applications/recording-browser.desktop",
              "[Desktop Entry]\nType=Application\nName=Recording browser\nExec=" + recorder +
                  " %u\nMimeType=" + types + "\nNoDisplay=true\n");
    std::string defaults = "[Default Applications]\n";
    std::string rest = types;
    for (std::size_t end; (end = rest.find(';')) != std::string::npos; rest.erase(0, end + 1))
        defaults += rest.substr(0, end) + "=recording-browser.desktop\n";
    writeFile(home + "/.config/mimeapps.list", defaults);
}

std::string shellOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[512];
    while (std::size_t read = fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, read);
    pclose(pipe);
    return output;
}

pid_t startShell(const std::string& command) {
    const char* arguments[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    return startProgram(arguments);
}

bool processEnded(pid_t pid, int& exitCode) {
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, WNOHANG) != pid)
        return false;
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return true;
}

void stopProcess(pid_t pid) {
    if (pid <= 0)
        return;
    int exitCode;
    if (processEnded(pid, exitCode))
        return;
    kill(-pid, SIGTERM);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}
