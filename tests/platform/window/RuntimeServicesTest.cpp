// The runtime's services beside the window: message boxes, the browser opener, the HTTP file
// reader, the encoding converters. Real GTK under Xvfb; boxes are answered with xdotool.
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/window/NetworkServices.h"
#include "platform/window/RuntimeTesting.h"
#include "platform/window/Utf8Crossing.h"
#include "tests/platform/window/BoxDriver.h"
#include "tests/platform/window/EventWait.h"
#include "tests/platform/window/XDesktop.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/RequestBounds.h"
#include "tests/support/Wait.h"

namespace {

// The source is UTF-8, but plain literals become GBK; UTF-8 texts are spelt with u8.
std::string utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

std::vector<std::string> linesOf(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class RuntimeServicesTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(testDesktop().ready()); }

    WindowRuntime& runtime = initRuntime();
};

TEST_F(RuntimeServicesTest, MessageBoxShowsItsTitleAndAnswersByButton) {
    struct Case {
        int style;
        Text title;
        const char* keys;
        int answer;
        std::string shownTitle; // UTF-8
    };
    const Case cases[] = {
        {36, "Dravik提示：", "Return", 5, utf8(u8"Dravik提示：")}, // Yes is the default
        {36, "Dravik提示：", "alt+n", 6, utf8(u8"Dravik提示：")},
        {36 + 0x100, "t", "Return", 6, "t"},     // the second button as the default
        {16, "", "Return", 0, utf8(u8"信息：")}, // no title
        {1, "t", "Escape", 1, "t"},              // Esc cancels when there is Cancel
        {4, "t", "Escape Return", 5, "t"},       // and does nothing without it
        {3, "t", "Escape", 1, "t"},
        {2, "t", "Return", 2, "t"}, // Abort, Retry, Ignore
    };
    for (const Case& c : cases) {
        // The only window of this program is the box.
        BoxDriver driver("--pid " + std::to_string(getpid()),
                         std::string("--clearmodifiers ") + c.keys);
        EXPECT_EQ(runtime.messageBox("text", c.style, c.title), c.answer) << c.style << c.keys;
        EXPECT_EQ(driver.title(), "_NET_WM_NAME(UTF8_STRING) = \"" + c.shownTitle + "\"");
        EXPECT_TRUE(driver.answeredInTime()) << c.style << c.keys;
        EXPECT_EQ(openMessageBoxHandle(), 0u);
    }
}

TEST_F(RuntimeServicesTest, AQueuedCloseWaitsForTheRunningHandler) {
    std::vector<std::string> events;
    auto windowState = [this] {
        return runtime.windowHandle(Control::MainWindow) != 0 ? "open" : "closed";
    };
    WindowForm form;
    form.caption = "queued";
    form.width = 300;
    form.height = 200;
    // As after an accepted update: close, then a box, then the window is still written to.
    form.created = [&] {
        runtime.destroyWindow(Control::MainWindow);
        BoxDriver driver("--pid " + std::to_string(getpid()), "Return");
        runtime.messageBox("still here?", 0, "t");
        events.push_back(std::string("created, box answered, ") + windowState());
        runtime.writeProperty(Control::MainWindow, Property::alwaysOnTop, 1);
    };
    form.sizeChanged = [&] { events.push_back(std::string("size changed, ") + windowState()); };
    runtime.loadWindow(form);
    EXPECT_TRUE(runEventsUntil([&] { return std::string(windowState()) == "closed"; }, 5000));
    EXPECT_EQ(events,
              (std::vector<std::string>{"created, box answered, open", "size changed, open"}));
}

TEST_F(RuntimeServicesTest, HotkeysNeedAFreeKeyAndControlsOfTheWindow) {
    WindowForm form;
    form.caption = "hotkeys";
    form.width = 300;
    form.height = 200;
    form.controls.push_back(ControlForm{Control::AddressLabel, ControlKind::Label,
                                        Control::MainWindow, 5, 5, 60, 15, "label", false, nullptr,
                                        nullptr, nullptr});
    runtime.loadWindow(form);
    WindowHandle window = runtime.windowHandle(Control::MainWindow);
    WindowHandle label = runtime.windowHandle(Control::AddressLabel);
    ASSERT_NE(window, 0u);
    ASSERT_NE(label, 0u);
    ASSERT_NE(label, window);
    int first = runtime.registerHotkey(window, label, 0, 122);
    EXPECT_GE(first, 33001);
    struct Case {
        WindowHandle owner, receiver;
        int modifiers, key;
        int identifier;
    };
    const Case cases[] = {
        {window, label, 0, 122, 0},             // F11 is already this program's
        {window, label, 1 + 2, 122, first + 1}, // Ctrl+Shift+F11 is another key
        {window, window, 4, 'Q', first + 2},    // the window itself may receive
        {window, label, 0, 0xE8, 0},            // no key here for this code
        {window, runtime.windowHandle(Control::PlayButton), 0, 'W', 0}, // no such control
        {12345, label, 0, 'E', 0},                                      // not our window
    };
    for (const Case& c : cases)
        EXPECT_EQ(runtime.registerHotkey(c.owner, c.receiver, c.modifiers, c.key), c.identifier)
            << c.key;
    runtime.destroyWindow(Control::MainWindow);
    EXPECT_TRUE(
        runEventsUntil([&] { return runtime.windowHandle(Control::MainWindow) == 0; }, 5000));
}

TEST_F(RuntimeServicesTest, OnlyWebAddressesReachTheBrowser) {
    std::string home = testDesktop().homeFolder();
    std::ofstream(home + "/note.txt") << "a local file\n";
    const Text opened[] = {
        "http://example.test/a",
        "HTTPS://example.test/b", // the scheme in any case
        "HtTp://example.test/c?x=1&y=2",
    };
    const Text refused[] = {
        "",
        "file://" + home + "/note.txt",
        home + "/note.txt",
        "/bin/sh",
        "ftp://example.test/",
        "javascript:alert(1)",
        " http://example.test/space-first",
        "http://example.test/\nfile:///etc/passwd",
        "http://",
    };
    for (const Text& address : refused)
        EXPECT_FALSE(runtime.openInBrowser(address)) << address;
    for (const Text& address : opened)
        EXPECT_TRUE(runtime.openInBrowser(address)) << address;

    std::string record = testDesktop().browserRecord();
    EXPECT_TRUE(runEventsUntil([&] { return linesOf(record).size() >= 3; }, 10000));
    // Give a stray launch time to show up.
    runEventsUntil([] { return false; }, 1000);
    std::vector<std::string> seen = linesOf(record);
    std::vector<std::string> expected(std::begin(opened), std::end(opened));
    std::sort(seen.begin(), seen.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(seen, expected);
}

TEST_F(RuntimeServicesTest, HttpReadFileGivesTheBodyOrNothing) {
    const Bytes body("page\0with \xE6\x95\x99 bytes", 20);
    LoopbackServer server(replyWith(httpResponse(body)));
    ASSERT_TRUE(server.listening());
    EXPECT_EQ(runtime.httpReadFile(server.url("/version")), body);
    EXPECT_EQ(server.received(0).rfind("GET /version HTTP/1.1\r\n", 0), 0u) << server.received(0);

    LoopbackServer closed([](ServerConnection& connection) { connection.close(); });
    for (const Text& address : {closed.url("/"), Text("file:///etc/hostname"), Text("")})
        EXPECT_EQ(runtime.httpReadFile(address), "") << address;

    // What the connectivity test asks of its probe address.
    EXPECT_TRUE(addressOpens(server.url("/")));
    EXPECT_FALSE(addressOpens(closed.url("/")));
    EXPECT_FALSE(addressOpens("file:///"));
}

TEST_F(RuntimeServicesTest, HttpReadFileAndTheProbeEndWithinTheRequestBound) {
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n";
    LoopbackServer trickle(sendForever(head + "\r\n", "x", 200));
    LoopbackServer endless(sendForever(head + "\r\n", std::string(64 * 1024, 'b')));
    LoopbackServer endlessHeaders(sendForever(head, "X-More: 1\r\n", 200));
    RequestBounds bounds(1000, 2500);
    long long start = monotonicMilliseconds();
    EXPECT_EQ(runtime.httpReadFile(trickle.url("/")), "");
    EXPECT_EQ(runtime.httpReadFile(endless.url("/")), "");
    EXPECT_FALSE(addressOpens(endlessHeaders.url("/")));
    // Two bounds and one body limit, generously.
    EXPECT_LT(monotonicMilliseconds() - start, 2 * 2500 + 10000);
}

TEST_F(RuntimeServicesTest, ConvertEncodingReplacesWhatItCannotConvert) {
    struct Case {
        Bytes input;
        Text from, to;
        Bytes output;
    };
    const Case cases[] = {
        {utf8(u8"教程 4106"), "UTF-8", "GBK", "\xBD\xCC\xB3\xCC 4106"},
        {"\xBD\xCC\xB3\xCC", "GBK", "UTF-8", utf8(u8"教程")},
        {Bytes("a\0b", 3), "UTF-8", "GBK", Bytes("a\0b", 3)},
        {"", "UTF-8", "GBK", ""},
        // A page footer: what GBK lacks becomes '?', one for each character, and the rest stays.
        {utf8(u8"\u00A9 2014\u00A0Dravik \u2022 \u00AE\u2122 <p>http://x/</p>"), "UTF-8", "GBK",
         "? 2014?Dravik ? ?? <p>http://x/</p>"},
        {utf8(u8"a\U0001F600b"), "UTF-8", "GBK", "a?b"},
        {"abc\xFF", "UTF-8", "GBK", "abc?"}, // not UTF-8
        // A character cut short keeps the bytes that broke it, and one at the end is one '?'.
        {"\xE6\x95<p>", "UTF-8", "GBK", "?<p>"},
        {"a\xE6\x95", "UTF-8", "GBK", "a?"},
        {"\xBD\xCC\x81", "GBK", "UTF-8", utf8(u8"教?")},
        {"abc", "UTF-8", "NO-SUCH-SET", ""},
        {"abc", "NO-SUCH-SET", "GBK", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(runtime.convertEncoding(c.input, c.from, c.to), c.output) << c.input;
}

TEST_F(RuntimeServicesTest, TextsCrossToGtkAndBack) {
    struct Case {
        Text gbk;
        std::string utf8Form;
    };
    const Case cases[] = {
        {"视频地址：", utf8(u8"视频地址：")},
        {"\x80", utf8(u8"\u20AC")}, // code page 936's euro sign
        {"a\x81", "a?"},            // half a character at the end
        {"\x81 b", "? b"},          // a lead byte without its trail byte keeps the next byte
    };
    for (const Case& c : cases)
        EXPECT_EQ(utf8FromText(c.gbk), c.utf8Form) << c.gbk;
    EXPECT_EQ(textFromUtf8(utf8(u8"迷你播放").c_str()), "迷你播放");
    EXPECT_EQ(textFromUtf8(utf8(u8"a\U0001F600b").c_str()), "a?b");
    EXPECT_EQ(textFromUtf8("\xFF"), "?");
    EXPECT_EQ(textFromUtf8(nullptr), "");
}

} // namespace
