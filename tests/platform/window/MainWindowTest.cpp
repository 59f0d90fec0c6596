// The main window on the real GTK runtime under Xvfb and openbox, driven with xdotool.
#include <cstdlib>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/MainWindow.h"
#include "platform/window/RuntimeTesting.h"
#include "tests/platform/window/BoxDriver.h"
#include "tests/platform/window/EventWait.h"
#include "tests/platform/window/HandlerDoubles.h"
#include "tests/platform/window/XDesktop.h"
#include "tests/support/LoopbackServer.h"

namespace {

struct Rectangle {
    int left, top, width, height;
};

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(testDesktop().ready());
        WindowForm form = mainWindowForm(runtime);
        for (ControlForm& control : form.controls) {
            if (control.id != Control::AddressLabel)
                continue;
            control.feedback = [this, toggle = control.feedback](int eventId, int eventData) {
                toggle(eventId, eventData);
                if (afterFeedback)
                    afterFeedback();
            };
        }
        runtime.loadWindow(form);
        window = std::to_string(runtime.windowHandle(Control::MainWindow));
        // Shown, and laid out for the size the window manager gave it.
        ASSERT_TRUE(runEventsUntil(
            [this] {
                ControlPlace player = placeOfControl(Control::PlayerView);
                return player.showing &&
                       player.width == placeOfControl(Control::MainWindow).width &&
                       player.width == runtime.clientWidth(Control::MainWindow);
            },
            10000));
        ASSERT_NE(hotkeyId, 0);
    }

    void TearDown() override {
        runtime.destroyWindow(Control::MainWindow);
        runEventsUntil([this] { return runtime.windowHandle(Control::MainWindow) == 0; }, 5000);
    }

    // Runs an xdotool command while the window keeps handling its events.
    void xdotool(const std::string& arguments) {
        pid_t tool = startShell("xdotool " + arguments);
        int exitCode = -1;
        EXPECT_TRUE(runEventsUntil([&] { return processEnded(tool, exitCode); }, 10000))
            << "xdotool " << arguments;
        stopProcess(tool);
    }

    void clickInClient(int x, int y) {
        xdotool("mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) +
                " click 1");
    }

    static void expectPlace(Control control, Rectangle expected, const char* name) {
        ControlPlace place = placeOfControl(control);
        EXPECT_EQ(place.left, expected.left) << name;
        EXPECT_EQ(place.top, expected.top) << name;
        EXPECT_EQ(place.width, expected.width) << name;
        EXPECT_EQ(place.height, expected.height) << name;
    }

    static void expectLayout(int width, int height) {
        expectPlace(Control::PlayerView, {0, 0, width, height}, "PlayerView");
        expectPlace(Control::AddressBar, {0, -5, width, 50}, "AddressBar");
        expectPlace(Control::AddressLabel, {5, 20, 60, 15}, "AddressLabel");
        expectPlace(Control::AddressEdit, {70, 15, width - 160, 25}, "AddressEdit");
        expectPlace(Control::PlayButton, {width - 85, 12, 80, 30}, "PlayButton");
        expectPlace(Control::BarOverlay, {0, 5, 680, 45}, "BarOverlay");
    }

    bool barShowing() {
        return std::get<int>(runtime.readProperty(Control::AddressBar, Property::visible)) == 1 &&
               placeOfControl(Control::AddressEdit).showing;
    }
    bool barHidden() {
        return std::get<int>(runtime.readProperty(Control::AddressBar, Property::visible)) == 0 &&
               !placeOfControl(Control::AddressEdit).showing;
    }

    WindowRuntime& runtime = initRuntime();
    std::string window;
    // Runs after each feedback of AddressLabel has been handled.
    std::function<void()> afterFeedback;
};

TEST_F(MainWindowTest, FillsTheFrameAndFollowsTheClientSize) {
    // 685 x 485 with the window manager's frame.
    std::string extents = shellOutput("xprop -id " + window + " _NET_FRAME_EXTENTS");
    int left = 0, right = 0, top = 0, bottom = 0;
    ASSERT_EQ(std::sscanf(extents.c_str(), "_NET_FRAME_EXTENTS(CARDINAL) = %d, %d, %d, %d", &left,
                          &right, &top, &bottom),
              4)
        << extents;
    ControlPlace client = placeOfControl(Control::MainWindow);
    EXPECT_EQ(client.width + left + right, 685);
    EXPECT_EQ(client.height + top + bottom, 485);
    EXPECT_EQ(runtime.clientWidth(Control::MainWindow), client.width);
    expectLayout(client.width, client.height);

    // The frame centred on the 1280 x 1024 screen (openbox adds no panel).
    std::string info = shellOutput("xwininfo -id " + window);
    auto number = [&info](const std::string& label) {
        std::size_t at = info.find(label);
        return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + label.size());
    };
    EXPECT_EQ(number("Absolute upper-left X:") - number("Relative upper-left X:"), (1280 - 685) / 2)
        << info;
    EXPECT_EQ(number("Absolute upper-left Y:") - number("Relative upper-left Y:"), (1024 - 485) / 2)
        << info;

    xdotool("windowsize --sync " + window + " 1000 600");
    ASSERT_TRUE(
        runEventsUntil([] { return placeOfControl(Control::PlayerView).width == 1000; }, 5000));
    EXPECT_EQ(runtime.clientWidth(Control::MainWindow), 1000);
    expectLayout(1000, 600);
    EXPECT_EQ(std::get<int>(runtime.readProperty(Control::PlayButton, Property::left)), 915);
    EXPECT_EQ(std::get<int>(runtime.readProperty(Control::AddressEdit, Property::width)), 840);

    // With the bar hidden the layout still moves its controls; showing it shows them there.
    runtime.writeProperty(Control::AddressBar, Property::visible, 0);
    xdotool("windowsize --sync " + window + " 800 500");
    ASSERT_TRUE(
        runEventsUntil([] { return placeOfControl(Control::PlayerView).width == 800; }, 5000));
    runtime.writeProperty(Control::AddressBar, Property::visible, 1);
    ASSERT_TRUE(runEventsUntil(
        [this] { return barShowing() && placeOfControl(Control::AddressBar).width == 800; }, 5000));
    expectLayout(800, 500);
}

TEST_F(MainWindowTest, F11TogglesTheBarWhileAnotherProgramHasTheFocus) {
    pid_t other = startShell("exec xmessage -geometry +0+0 other-program");
    std::string otherWindow;
    ASSERT_TRUE(runEventsUntil(
        [&] {
            otherWindow = shellOutput("xdotool search --onlyvisible --name '^xmessage$'");
            return !otherWindow.empty();
        },
        10000));
    otherWindow = otherWindow.substr(0, otherWindow.find('\n'));
    xdotool("windowactivate --sync " + otherWindow);
    EXPECT_EQ(shellOutput("xdotool getactivewindow"), otherWindow + "\n");
    ASSERT_TRUE(barShowing());

    // The grab holds whatever the lock keys say.
    for (const char* lock : {"", "Num_Lock", "Caps_Lock"}) {
        if (*lock)
            xdotool(std::string("key ") + lock);
        xdotool("key F11");
        EXPECT_TRUE(runEventsUntil([this] { return barHidden(); }, 5000)) << lock;
        xdotool("key F11");
        EXPECT_TRUE(runEventsUntil([this] { return barShowing(); }, 5000)) << lock;
        if (*lock)
            xdotool(std::string("key ") + lock);
    }
    stopProcess(other);
}

TEST_F(MainWindowTest, FeedbackOfAnotherIdentifierIsIgnored) {
    toggleAddressBar(runtime, hotkeyId + 1, 0);
    EXPECT_TRUE(barShowing());
    toggleAddressBar(runtime, hotkeyId, 0);
    EXPECT_TRUE(runEventsUntil([this] { return barHidden(); }, 5000));
}

TEST_F(MainWindowTest, TypingStartsInTheEditBox) {
    // Not in the player, the first tab stop from the top left, which the bar covers.
    EXPECT_EQ(focusedControl(), Control::AddressEdit);
    xdotool("windowactivate --sync " + window);
    xdotool("type --delay 20 abc");
    EXPECT_TRUE(runEventsUntil(
        [this] {
            return std::get<Text>(runtime.readProperty(Control::AddressEdit, Property::content)) ==
                   "abc";
        },
        5000));
}

TEST_F(MainWindowTest, EnterInTheEditBoxAndTheButtonPlay) {
    xdotool("windowactivate --sync " + window);
    clickInClient(300, 22);
    ASSERT_TRUE(runEventsUntil([] { return focusedControl() == Control::AddressEdit; }, 5000));
    int before = playRequests;
    xdotool("type --delay 20 abc");
    ASSERT_TRUE(runEventsUntil(
        [this] {
            return std::get<Text>(runtime.readProperty(Control::AddressEdit, Property::content)) ==
                   "abc";
        },
        5000));
    EXPECT_EQ(playRequests, before) << "other keys only edit";
    xdotool("key Return");
    EXPECT_TRUE(runEventsUntil([&] { return playRequests == before + 1; }, 5000));
    clickInClient(630, 22);
    EXPECT_TRUE(runEventsUntil([&] { return playRequests == before + 2; }, 5000));
}

TEST_F(MainWindowTest, EscInTheEditBoxClosesTheWindow) {
    xdotool("windowactivate --sync " + window);
    clickInClient(300, 22);
    ASSERT_TRUE(runEventsUntil([] { return focusedControl() == Control::AddressEdit; }, 5000));
    xdotool("key Escape");
    EXPECT_TRUE(
        runEventsUntil([this] { return runtime.windowHandle(Control::MainWindow) == 0; }, 5000));
}

TEST_F(MainWindowTest, AlwaysOnTopShowsInTheWindowState) {
    auto above = [this] {
        return shellOutput("xprop -id " + window + " _NET_WM_STATE").find("_NET_WM_STATE_ABOVE") !=
               std::string::npos;
    };
    // The start-up checks switched it on.
    EXPECT_TRUE(runEventsUntil(above, 5000));
    runtime.writeProperty(Control::MainWindow, Property::alwaysOnTop, 0);
    EXPECT_TRUE(runEventsUntil([&] { return !above(); }, 5000));
    EXPECT_EQ(std::get<int>(runtime.readProperty(Control::MainWindow, Property::alwaysOnTop)), 0);
    runtime.writeProperty(Control::MainWindow, Property::alwaysOnTop, 1);
    EXPECT_TRUE(runEventsUntil(above, 5000));
}

TEST_F(MainWindowTest, TheHotkeyWorksWhileAMessageBoxIsOpen) {
    // F11, then OK as soon as the bar has gone; the box returns before the main loop runs
    // again, so a hidden bar means the press was handled inside the box's loop.
    pid_t pressOk = -1;
    afterFeedback = [&] {
        if (std::get<int>(runtime.readProperty(Control::AddressBar, Property::visible)) == 0)
            pressOk = startShell("xdotool key Return");
    };
    BoxDriver driver("'^Dravik'", "F11");
    EXPECT_EQ(runtime.messageBox("教程视频已打开。显示隐藏搜索拦按F11", 48, "Dravik提示："), 0);
    EXPECT_EQ(std::get<int>(runtime.readProperty(Control::AddressBar, Property::visible)), 0);
    EXPECT_TRUE(driver.answeredInTime());
    stopProcess(pressOk);
}

TEST_F(MainWindowTest, PlayerViewReadsTheAddressItShows) {
    EXPECT_EQ(std::get<Text>(runtime.readProperty(Control::PlayerView, Property::url)),
              "http://player.youku.com/player.php/sid/XNzk3NjU5MDc2/v.swf");
    // Nothing listens there: the address reads back though no page arrives.
    Text movie = "http://127.0.0.1:" + std::to_string(refusedPort()) + "/a.swf";
    runtime.writeProperty(Control::PlayerView, Property::url, movie);
    EXPECT_EQ(std::get<Text>(runtime.readProperty(Control::PlayerView, Property::url)), movie);
}

} // namespace
