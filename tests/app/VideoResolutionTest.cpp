#include <gtest/gtest.h>

#include <memory>

#include "app/ServiceHosts.h"
#include "app/VideoResolution.h"
#include "tests/app/RecordingRuntime.h"
#include "tests/support/LoopbackServer.h"

namespace {

// Pages arrive as UTF-8 whatever this file's literals are compiled to.
Text utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

const Text wrongAddress = "box 48 Dravik提示： 请输入正确的优酷、土豆、爱奇艺视频网址！";
const Text tutorialShown = "box 48 Dravik提示： 教程视频已打开。显示隐藏搜索拦按F11";
const Text offTop = "write MainWindow.29 0";
const Text onTop = "write MainWindow.29 1";
const Text showTutorial = Text("write PlayerView.11 ") + tutorialAddress;
// Nothing listens there: the download fails at once.
const Text unreachable = "http://127.0.0.1:" + std::to_string(refusedPort());

Text plays(const Text& address) {
    return "write PlayerView.11 " + address;
}

struct Case {
    const char* name;
    Text page;          // served to the typed address; empty: nothing is served
    Text typed;         // appended to the server's address when a page is served
    Text shown;         // PlayerView.url before the run
    TextArray expected; // the runtime's log
};

void run(const Case& c) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<LoopbackServer> server;
    Text typed = c.typed;
    if (!c.page.empty()) {
        server = std::make_unique<LoopbackServer>(replyWith(httpResponse(c.page)));
        typed = server->url(c.typed);
    }
    RecordingRuntime runtime;
    runtime.properties[{Control::AddressEdit, Property::content}] = typed;
    runtime.properties[{Control::PlayerView, Property::url}] = c.shown;
    resolveVideoAddress(runtime);
    EXPECT_EQ(runtime.log, c.expected);
    if (server) {
        EXPECT_EQ(server->connectionCount(), 1);
    }
}

TEST(VideoResolution, PlaysByTheFirstRuleThePageMatches) {
    const Case cases[] = {
        {"first service",
         "<embed value=\"http://A/B/v.swf\" >",
         "/v_show/id_1.html",
         "",
         {plays("http://A/B/v.swf")}},
        // Letters match in any case; the group keeps the page's own case.
        {"first service, capitals",
         "VALUE=\"HTTP://A/v.SWF\" >",
         "/x",
         "",
         {plays("http://A/v.swf")}},
        // The page is UTF-8 and the player address comes out in GBK.
        {"first service, Chinese path",
         utf8(u8"value=\"http://A/优酷/v.swf\" >"),
         "/x",
         "",
         {plays("http://A/优酷/v.swf")}},
        {"both first and second marks",
         ",icode: 'X1' <p value=\"http://A/v.swf\" >",
         "/x",
         "",
         {plays("http://A/v.swf")}},
        {"second service",
         "var c = {,icode: 'X1' ,lid: 2}",
         "/programs/view/X1/",
         "",
         {plays("http://www.tudou.com/v/X1/v.swf")}},
        {"third service",
         "<div videoid=\"123\" data-x>",
         "/p?http://www.iqiyi.com/v_abc.html",
         "",
         {plays("http://player.video.qiyi.com/123/0/0/v_abc.swf")}},
        // Only the page name is required.
        {"third service without a video id",
         "<div>nothing</div>",
         "/p?http://www.iqiyi.com/v_abc.html",
         "",
         {plays("http://player.video.qiyi.com//0/0/v_abc.swf")}},
        // The host's dots and the one before "html" are not escaped: any byte will do.
        {"third service, dots match anything",
         "videoid=\"9\" data",
         "/p?http://wwwXiqiyi-com/v_abc!html",
         "",
         {plays("http://player.video.qiyi.com/9/0/0/v_abc.swf")}},
        {"third service, page that cannot be fetched",
         "",
         unreachable + "/?http://www.iqiyi.com/v_abc.html",
         "",
         {plays("http://player.video.qiyi.com//0/0/v_abc.swf")}},
    };
    for (const Case& c : cases)
        run(c);
}

TEST(VideoResolution, TellsTheUserWhenNoRuleApplies) {
    const Case cases[] = {
        {"page of no service",
         "<html>a page</html>",
         "/watch",
         tutorialAddress,
         {offTop, wrongAddress, onTop}},
        // The second service's code needs the space after its closing quote.
        {"second service's mark without its space",
         ",icode: 'X1',",
         "/x",
         "",
         {offTop, wrongAddress, onTop}},
        {"page that cannot be fetched",
         "",
         unreachable + "/video.html",
         "",
         {offTop, wrongAddress, onTop}},
        {"empty address bar", "", "", tutorialAddress, {offTop, wrongAddress, onTop}},
        {"tutorial keyword while the tutorial shows",
         "",
         "教程",
         tutorialAddress,
         {offTop, tutorialShown, onTop}},
        {"tutorial keyword after another video",
         "",
         "教程",
         "http://A/v.swf",
         {offTop, tutorialShown, showTutorial, tutorialShown, onTop}},
        // The video code is compared in exact case.
        {"tutorial code in other letters",
         "",
         "教程",
         "http://player.youku.com/player.php/sid/xnzk3nju5mdc2/v.swf",
         {offTop, tutorialShown, showTutorial, tutorialShown, onTop}},
        // The keyword is compared untrimmed.
        {"keyword after a space", "", " 教程", tutorialAddress, {offTop, wrongAddress, onTop}},
        {"keyword before a space", "", "教程 ", tutorialAddress, {offTop, wrongAddress, onTop}},
    };
    for (const Case& c : cases)
        run(c);
}

TEST(VideoResolution, TutorialAddressIsTheFirstServicesPlayer) {
    EXPECT_EQ(Text(tutorialAddress), Text("http://") + youkuPlayerHost + "/player.php/sid/" +
                                         tutorialVideoCode + "/v.swf");
}

} // namespace
