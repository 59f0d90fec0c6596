// The program's patterns over a 2 MB page of mostly Chinese text, through the whole object:
// GBK to UTF-16, Execute, and the first group read back as GBK.
#include <benchmark/benchmark.h>

#include "regex/RegexObject.h"
#include "text/CodePageConversion.h"

namespace {

// A page like the services' own: lines of Chinese text and markup, some with the
// beginning of a pattern but not its end, and the wanted lines at the very end, so that
// every pattern scans the whole page.
const Text& largePage() {
    static const Text page = [] {
        const Text lines[] = {
            "<p "
            "class=\"简介\">优酷视频在线观看，高清正版视频，海量影视剧、综艺节目和动漫。</p>\r\n",
            "<div "
            "class=\"评论\">网友评论：这部电视剧的剧情非常精彩，演员的表演也很到位。</div>\r\n",
            "<embed value=\"http://static.youku.com/图片/logo.png\" />\r\n",
            "<script>var 标题 = '土豆视频：每个人都是生活的导演', icode: 'none';</script>\r\n",
            "<span data-player-videoid=\"未知\">爱奇艺</span><div class=\"clearfix\"> <p>\r\n",
        };
        Text text;
        while (text.size() < 2 * 1024 * 1024) {
            for (const Text& line : lines) {
                text += line;
            }
        }
        text += "<embed value=\"http://player.youku.com/player.php/sid/XNzk3/v.swf\" >\r\n"
                "  ,icode: 'X1' \r\n"
                "<div id=\"flashbox\" data-player-videoid=\"123abc\" data-player-tvid=\"456\">\r\n"
                "<div class=\"clearfix\"> <p>http://example.com/Dravik4107.exe</p> </div>\r\n";
        return text;
    }();
    return page;
}

void runPattern(benchmark::State& state, const char* pattern, const char* group) {
    const Text& page = largePage();
    for (auto _ : state) {
        RegexObject r;
        r.create(pattern, page);
        Text found = r.subMatchText(1, 1);
        if (found != group) {
            state.SkipWithError("the pattern did not find its group");
            break;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(page.size()));
}

void BM_FirstServicePattern(benchmark::State& state) {
    runPattern(state, "value=\"http://(.*?)swf\" >", "player.youku.com/player.php/sid/XNzk3/v.");
}
void BM_SecondServicePattern(benchmark::State& state) {
    runPattern(state, ",icode: '(.*?)' ", "X1");
}
void BM_ThirdServicePagePattern(benchmark::State& state) {
    runPattern(state, "videoid=\"(.*?)\" data", "123abc");
}
void BM_VersionLinkPattern(benchmark::State& state) {
    runPattern(state, "clearfix\"> <p>(.*?)</p> </div>", "http://example.com/Dravik4107.exe");
}

// The conversion alone, for comparison with the whole path.
void BM_PageToUtf16(benchmark::State& state) {
    const Text& page = largePage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(gbkToUtf16(page));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(page.size()));
}

} // namespace

BENCHMARK(BM_FirstServicePattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SecondServicePattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThirdServicePagePattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VersionLinkPattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageToUtf16)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
