#include <gtest/gtest.h>

#include "regex/RegexObject.h"

namespace {

// The patterns that the program runs, as it writes them.
const Text firstService = "value=\"http://(.*?)swf\" >";
const Text secondService = ",icode: '(.*?)' ";
const Text thirdServicePage = "videoid=\"(.*?)\" data";
const Text thirdServiceAddress = "http://www.iqiyi.com/(.*?).html";
const Text versionLink = "clearfix\"> <p>(.*?)</p> </div>";

const Text firstServicePage =
    "<html><head><title>优酷视频 - 在线观看</title></head>\r\n"
    "<body>\r\n"
    "<div class=\"logo\"><embed value=\"http://static.youku.com/logo.png\" /></div>\r\n"
    "<p>简介：一段很长的中文介绍，讲述视频的内容。</p>\r\n"
    "<embed src=\"x\" value=\"http://player.youku.com/player.php/sid/XNzk3/v.swf\" >\r\n"
    "</body></html>\r\n";

const Text secondServicePage = "<script>\r\n"
                               "var pageConfig = {\r\n"
                               "  iid: 1234\r\n"
                               "  ,icode: 'X1' \r\n"
                               "  ,title: '土豆视频：好看' \r\n"
                               "};\r\n"
                               "</script>\r\n";

const Text thirdServicePageText =
    "<div class=\"标题\">爱奇艺</div>\n"
    "<div id=\"flashbox\" data-player-videoid=\"123abc\" data-player-tvid=\"456\"></div>\n";

const Text versionPage =
    "<h2 class=\"title content-title\">4107</h2>\r\n"
    "<div class=\"说明\">新版本下载</div>\r\n"
    "<div class=\"clearfix\"> <p>http://example.com/Dravik4107.exe</p> </div>\r\n";

struct Row {
    const char* what;
    Text pattern;
    Text text;
    Text group;
};

TEST(ServicePatterns, FindTheirFirstGroupInSmallPages) {
    const Row table[] = {
        // The logo's lazy group may not run across lines into the player's "swf\" >".
        {"first service", firstService, firstServicePage,
         "player.youku.com/player.php/sid/XNzk3/v."},
        {"first service, bare", firstService, "value=\"http://A/B/v.swf\" >", "A/B/v."},
        {"first service, CJK group", firstService, "value=\"http://优酷/v.swf\" >", "优酷/v."},
        {"first service, split line", firstService, "value=\"http://A/B/v.\r\nswf\" >", ""},
        {"first service, other page", firstService, secondServicePage, ""},
        {"second service", secondService, secondServicePage, "X1"},
        {"second service, split line", secondService, ",icode: 'X1\n' ", ""},
        {"second service, other page", secondService, firstServicePage, ""},
        {"third service page", thirdServicePage, thirdServicePageText, "123abc"},
        {"third service page, other page", thirdServicePage, firstServicePage, ""},
        {"third service address", thirdServiceAddress, "http://www.iqiyi.com/v_abc.html", "v_abc"},
        // The host's dots are not escaped and match any character.
        {"third service address, loose dots", thirdServiceAddress,
         "http://wwwXiqiyi-com/v_abc_html", "v_abc"},
        {"third service address, other host", thirdServiceAddress,
         "http://v.youku.com/v_show/id_XNzk3.html", ""},
        {"version link", versionLink, versionPage, "http://example.com/Dravik4107.exe"},
        {"version link, split paragraph", versionLink,
         "<div class=\"clearfix\"> <p>http://example.com/a.exe\r\n</p> </div>", ""},
        // Letters match without regard to case, as the program never asks otherwise.
        {"version link, capitals", versionLink, "CLEARFIX\"> <P>x</P> </DIV>", "x"},
    };
    for (const Row& row : table) {
        RegexObject r;
        r.create(row.pattern, row.text);
        EXPECT_EQ(r.subMatchText(1, 1), row.group) << row.what;
    }
}

} // namespace
