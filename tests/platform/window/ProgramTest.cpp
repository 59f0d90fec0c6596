// The program's own entry point, with stand-ins for the two large handlers, run as a user
// would run it.
#include <string>

#include <gtest/gtest.h>

#include "tests/platform/window/XDesktop.h"
#include "tests/support/Wait.h"

namespace {

TEST(ProgramTest, EscInTheEditBoxEndsTheProgramWithZero) {
    ASSERT_TRUE(testDesktop().ready());
    pid_t program = startShell("exec " QUORVEL_WINDOW_PROGRAM);
    std::string window;
    ASSERT_TRUE(waitUntil(
        [&] {
            window = shellOutput("xdotool search --onlyvisible --name '^Quorvel$'");
            return !window.empty();
        },
        30000));
    window = window.substr(0, window.find('\n'));
    // The start-up stand-in keeps the window on top, as the real checks do.
    EXPECT_TRUE(waitUntil(
        [&] {
            return shellOutput("xprop -id " + window + " _NET_WM_STATE")
                       .find("_NET_WM_STATE_ABOVE") != std::string::npos;
        },
        5000));
    // Into the edit box, whatever had the focus.
    shellOutput("xdotool windowactivate --sync " + window + " mousemove --window " + window +
                " 300 22 click 1 key Escape");
    int exitCode = -1;
    EXPECT_TRUE(waitUntil([&] { return processEnded(program, exitCode); }, 10000));
    EXPECT_EQ(exitCode, 0);
    stopProcess(program);
}

TEST(ProgramTest, ExitProgramEndsItAtOnceWithItsCode) {
    ASSERT_TRUE(testDesktop().ready());
    pid_t program = startShell("QUORVEL_TEST_EXIT_CODE=3 exec " QUORVEL_WINDOW_PROGRAM);
    int exitCode = -1;
    bool windowSeen = false;
    EXPECT_TRUE(waitUntil(
        [&] {
            windowSeen = windowSeen ||
                         !shellOutput("xdotool search --onlyvisible --name '^Quorvel$'").empty();
            return processEnded(program, exitCode);
        },
        30000));
    EXPECT_EQ(exitCode, 3);
    EXPECT_FALSE(windowSeen);
    stopProcess(program);
}

} // namespace
