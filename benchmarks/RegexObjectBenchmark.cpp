// The program's patterns over a 2 MB page of mostly Chinese text, through the whole object
// (GBK to UTF-16, Execute, the first group read back as GBK), and the three rules of the
// video address resolution end to end from the page as it arrives in UTF-8.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string_view>

#include "app/ServiceHosts.h"
#include "benchmarks/GoalReport.h"
#include "regex/RegexObject.h"
#include "text/CodePageConversion.h"

namespace {

constexpr std::size_t pageBytes = 2 * 1024 * 1024;

// The rules' patterns, as the video address resolution runs them.
constexpr char youkuPagePattern[] = "value=\"http://(.*?)swf\" >";
constexpr char tudouPagePattern[] = ",icode: '(.*?)' ";
constexpr char iqiyiVideoIdPattern[] = "videoid=\"(.*?)\" data";
constexpr char versionLinkPattern[] = "clearfix\"> <p>(.*?)</p> </div>";

Text utf8(std::u8string_view text) {
    return Text(reinterpret_cast<const char*>(text.data()), text.size());
}

// A page like the services' own, in UTF-8: lines of Chinese text and markup, several with
// nearly the beginning of a pattern, repeated to `pageBytes`, then `ending`. Every pattern
// scans the whole page before it reaches the ending.
Text utf8Page(std::u8string_view ending) {
    const std::u8string_view lines[] = {
        u8"<p class=\"简介\">优酷视频在线观看，高清正版视频，海量影视剧、综艺节目和动漫。</p>\r\n",
        u8"<div class=\"评论\">网友评论：这部电视剧的剧情非常精彩，演员的表演也很到位。</div>\r\n",
        u8"<embed value=\"https://static.youku.com/图片/logo.png\" />\r\n",
        u8"<script>var 标题 = '土豆视频：每个人都是生活的导演', icode: 'none';</script>\r\n",
        u8"<span data-player-video=\"未知\">爱奇艺</span><div class=\"clearfix\"> <p>\r\n",
    };
    Text page;
    page.reserve(pageBytes + 1024);
    while (page.size() < pageBytes) {
        for (const std::u8string_view line : lines) {
            page += utf8(line);
        }
    }
    page += utf8(ending);
    return page;
}

// Every pattern's group at the very end.
const Text& pageForEachPattern() {
    static const Text page = utf8ToGbk(utf8Page(
        u8"<embed value=\"http://player.youku.com/player.php/sid/XNzk3/v.swf\" >\r\n"
        u8"  ,icode: 'X1' \r\n"
        u8"<div id=\"flashbox\" data-player-videoid=\"123abc\" data-player-tvid=\"456\">\r\n"
        u8"<div class=\"clearfix\"> <p>http://example.com/Dravik4107.exe</p> </div>\r\n"));
    return page;
}

// A third-service page: the first two rules find nothing, the third its video id at the end.
const Text& thirdServicePage() {
    static const Text page = utf8Page(
        u8"<div id=\"flashbox\" data-player-videoid=\"123abc\" data-player-tvid=\"456\">\r\n");
    return page;
}

void runPattern(benchmark::State& state, const char* pattern, const char* group) {
    const Text& page = pageForEachPattern();
    PageFaultCounter faults(state);
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
    runPattern(state, youkuPagePattern, "player.youku.com/player.php/sid/XNzk3/v.");
}
void BM_SecondServicePattern(benchmark::State& state) {
    runPattern(state, tudouPagePattern, "X1");
}
void BM_ThirdServicePagePattern(benchmark::State& state) {
    runPattern(state, iqiyiVideoIdPattern, "123abc");
}
void BM_VersionLinkPattern(benchmark::State& state) {
    runPattern(state, versionLinkPattern, "http://example.com/Dravik4107.exe");
}

// The conversion alone, for comparison with the whole path.
void BM_PageToUtf16(benchmark::State& state) {
    const Text& page = pageForEachPattern();
    for (auto _ : state) {
        benchmark::DoNotOptimize(gbkToUtf16(page));
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(page.size()));
}

// What the play button does with a downloaded third-service page: the page to GBK, then the
// three rules in their order, each object reading its group.
void BM_ThreeRules(benchmark::State& state) {
    const Text& page = thirdServicePage();
    const Text typed = Text("http://") + iqiyiSiteHost + "/v_abc.html";
    const Text addressPattern = Text("http://") + iqiyiSiteHost + "/(.*?).html";
    PageFaultCounter faults(state);
    for (auto _ : state) {
        Text pageText = utf8ToGbk(page);
        RegexObject youkuRegex;
        RegexObject tudouRegex;
        RegexObject iqiyiRegex;
        youkuRegex.create(youkuPagePattern, pageText);
        Text youkuGroup = youkuRegex.subMatchText(1, 1);
        tudouRegex.create(tudouPagePattern, pageText);
        Text tudouGroup = tudouRegex.subMatchText(1, 1);
        tudouRegex.create(addressPattern, typed);
        iqiyiRegex.create(iqiyiVideoIdPattern, pageText);
        if (!youkuGroup.empty() || !tudouGroup.empty() ||
            tudouRegex.subMatchText(1, 1) != "v_abc" || iqiyiRegex.subMatchText(1, 1) != "123abc") {
            state.SkipWithError("the rules did not resolve the page");
            break;
        }
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(page.size()));
}

// The floor under the three rules: plain byte searches for the markers that begin them, over
// the same UTF-8 bytes (the first two are missing, the third is at the end).
void BM_MarkerSearchFloor(benchmark::State& state) {
    const Text& page = thirdServicePage();
    const std::string_view markers[] = {"value=\"http://", ",icode: '", "videoid=\""};
    for (auto _ : state) {
        std::size_t found = 0;
        for (const std::string_view marker : markers) {
            found += memmem(page.data(), page.size(), marker.data(), marker.size()) != nullptr;
        }
        if (found != 1) {
            state.SkipWithError("the page does not hold only the third marker");
            break;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(page.size()));
}

} // namespace

BENCHMARK(BM_FirstServicePattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SecondServicePattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThirdServicePagePattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VersionLinkPattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageToUtf16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreeRules)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkerSearchFloor)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return runBenchmarksAgainstGoals(argc, argv,
                                     {
                                         {"BM_ThreeRules", "", 5.0},
                                         {"BM_ThreeRules", "BM_MarkerSearchFloor", 10.0},
                                     });
}
