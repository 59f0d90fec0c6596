#include <gtest/gtest.h>

#include "app/MainWindow.h"
#include "app/ServiceHosts.h"
#include "app/StartupChecks.h"
#include "tests/app/RecordingRuntime.h"

namespace {

const Text readVersion = Text("read ") + versionPageAddress;
const Text question = "box 36 Dravik提示： 软件已更新，是否更新最新版本？";
const Text noDownload = "box 16 Dravik提示： 未找到下载地址。";
// MainWindow and AddressLabel as RecordingRuntime hands out their handles.
const Text onTopAndHotkey[] = {"write MainWindow.29 1", "hotkey 100 102 0 122"};

// Pages arrive as UTF-8 whatever this file's literals are compiled to.
Text utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

// A version page as the maker lays it out.
Bytes versionPage(const Text& version, const Text& link = "http://example.test/q.exe") {
    return "<h2 class=\"title content-title\">" + version + "</h2>\n<div class=\"clearfix\"> <p>" +
           link + "</p> </div>";
}

TextArray withOnTopAndHotkey(TextArray lines) {
    lines.insert(lines.end(), std::begin(onTopAndHotkey), std::end(onTopAndHotkey));
    return lines;
}

TEST(StartupChecks, OfflineShowsOnlyTheStopMessageAndExits) {
    RecordingRuntime runtime;
    runtime.online = false;
    hotkeyId = 0;
    runStartupChecks(runtime);
    EXPECT_EQ(runtime.log, (TextArray{"box 16 无网络： 未检测到网络…", "exit 0"}));
    EXPECT_EQ(hotkeyId, 0);
}

TEST(StartupChecks, AsksOnlyWhenAVersionIsPublishedAndDiffers) {
    struct Case {
        const char* name;
        Bytes page;
        bool asks;
    };
    const Case cases[] = {
        {"current", versionPage("4106"), false},
        {"newer", versionPage("4107"), true},
        {"older", versionPage("4105"), true},
        // Compared byte for byte: a stray space or full-width digits are another version.
        {"trailing space", versionPage("4106 "), true},
        {"full-width digits", versionPage(utf8(u8"４１０６")), true},
        // Nothing published is not an update: an unreachable page, a page in another
        // layout, markers around nothing.
        {"no page", Bytes{}, false},
        {"no markers", "<html><body>4107</body></html>", false},
        {"right marker missing", "title content-title\">4107", false},
        {"empty version", versionPage(""), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingRuntime runtime;
        if (!c.page.empty())
            runtime.files[versionPageAddress] = c.page;
        runtime.boxAnswers = {boxNo};
        hotkeyId = 0;
        runStartupChecks(runtime);
        TextArray expected{readVersion};
        if (c.asks)
            expected.push_back(question);
        EXPECT_EQ(runtime.log, withOnTopAndHotkey(expected));
        EXPECT_EQ(hotkeyId, 33001);
    }
}

TEST(StartupChecks, AnyAnswerButYesKeepsTheProgramRunning) {
    for (int answer : {boxOk, boxCancel, boxAbort, boxRetry, boxIgnore, boxNo}) {
        SCOPED_TRACE(answer);
        RecordingRuntime runtime;
        runtime.files[versionPageAddress] = versionPage("4107");
        runtime.boxAnswers = {answer};
        runStartupChecks(runtime);
        EXPECT_EQ(runtime.log, withOnTopAndHotkey({readVersion, question}));
    }
}

TEST(StartupChecks, YesOpensTheDownloadLinkAndClosesAfterTheHandler) {
    struct Case {
        const char* name;
        Bytes page;
        Text opened; // GBK
    };
    const Case cases[] = {
        {"plain link", versionPage("4107", "http://dl.example.test/quorvel.exe"),
         "http://dl.example.test/quorvel.exe"},
        // The second reading goes through the encoding converter: UTF-8 becomes GBK.
        {"link with Chinese", versionPage("4107", utf8(u8"http://dl.example.test/新版.exe")),
         "http://dl.example.test/新版.exe"},
        // Characters GBK lacks elsewhere on the page do not cost the link.
        {"footer GBK lacks",
         versionPage("4107", "http://dl.example.test/q.exe") +
             utf8(u8"<footer>\u00A9 2014 Dravik \u2022 \u00AE\u2122\u00A0</footer>"),
         "http://dl.example.test/q.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingRuntime runtime;
        runtime.files[versionPageAddress] = c.page;
        runtime.boxAnswers = {boxYes};
        runStartupChecks(runtime);
        EXPECT_EQ(runtime.log,
                  withOnTopAndHotkey({readVersion, question, readVersion, "convert UTF-8 GBK",
                                      "open " + c.opened, "destroy MainWindow"}));
    }
}

TEST(StartupChecks, YesWithoutALinkTheBrowserTakesTellsTheUserAndRunsOn) {
    struct Case {
        const char* name;
        Bytes page;
        bool browserTakes;
        TextArray opened; // what reached openInBrowser
    };
    const Case cases[] = {
        // The pattern wants exactly one space before <p> and one before </div>.
        {"link in another layout",
         "title content-title\">4107</h2><div class=\"clearfix\"><p>http://x</p></div>",
         true,
         {}},
        {"empty link", versionPage("4107", ""), true, {}},
        {"link refused",
         versionPage("4107", "file:///etc/passwd"),
         false,
         {"open file:///etc/passwd"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingRuntime runtime;
        runtime.files[versionPageAddress] = c.page;
        runtime.boxAnswers = {boxYes};
        runtime.browserTakes = c.browserTakes;
        hotkeyId = 0;
        runStartupChecks(runtime);
        TextArray expected{readVersion, question, readVersion, "convert UTF-8 GBK"};
        expected.insert(expected.end(), c.opened.begin(), c.opened.end());
        expected.push_back(noDownload);
        EXPECT_EQ(runtime.log, withOnTopAndHotkey(expected));
        EXPECT_EQ(hotkeyId, 33001);
    }
}

TEST(StartupChecks, AFailedHotkeyRegistrationLeavesTheIdentifierZero) {
    RecordingRuntime runtime;
    runtime.files[versionPageAddress] = versionPage("4106");
    runtime.hotkeyResult = 0;
    hotkeyId = 12345;
    runStartupChecks(runtime);
    EXPECT_EQ(runtime.log, withOnTopAndHotkey({readVersion}));
    EXPECT_EQ(hotkeyId, 0);
}

} // namespace
