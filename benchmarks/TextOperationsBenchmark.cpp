// replaceSubtext and splitText over a 16 MB GBK text beside plain references that do the same
// work with std::string and memmem (strcasestr where case is ignored).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string_view>

#include "benchmarks/GoalReport.h"
#include "text/Text.h"

namespace {

// Header-like and Chinese lines in GBK, repeated to 16 MB (to 64 kB in a smoke run, which
// the sanitizers slow down a hundredfold).
const Text& largeText() {
    static const Text text = [] {
        const std::size_t textBytes = isSmokeRun() ? 64 * 1024 : 16 * 1024 * 1024;
        const std::string_view lines[] = {
            "<p "
            "class=\"简介\">优酷视频在线观看，高清正版视频，海量影视剧、综艺节目和动漫。</p>\r\n",
            "set-cookie: 会话=甲乙丙; path=/; 过期时间=明天\r\n",
            "<div "
            "class=\"评论\">网友评论：这部电视剧的剧情非常精彩，演员的表演也很到位。</div>\r\n",
            "SET-COOKIE: 用户=丁戊\r\n",
        };
        Text made;
        made.reserve(textBytes + 256);
        while (made.size() < textBytes) {
            for (const std::string_view line : lines) {
                made += line;
            }
        }
        return made;
    }();
    return text;
}

Text referenceReplace(const Text& text, std::string_view find, std::string_view replacement,
                      bool ignoreCase) {
    const Text lowerFind = ignoreCase ? toLower(Text(find)) : Text(find);
    Text result;
    result.reserve(text.size());
    std::size_t copied = 0;
    for (;;) {
        const char* at =
            ignoreCase ? strcasestr(text.c_str() + copied, lowerFind.c_str())
                       : static_cast<const char*>(memmem(text.data() + copied, text.size() - copied,
                                                         find.data(), find.size()));
        if (at == nullptr) {
            break;
        }
        const std::size_t found = static_cast<std::size_t>(at - text.data());
        result.append(text, copied, found - copied);
        result += replacement;
        copied = found + find.size();
    }
    result.append(text, copied);
    return result;
}

TextArray referenceSplit(const Text& text, std::string_view separator) {
    TextArray pieces;
    std::size_t start = 0;
    for (;;) {
        const void* at =
            memmem(text.data() + start, text.size() - start, separator.data(), separator.size());
        if (at == nullptr) {
            break;
        }
        const std::size_t found =
            static_cast<std::size_t>(static_cast<const char*>(at) - text.data());
        pieces.emplace_back(text, start, found - start);
        start = found + separator.size();
    }
    if (start < text.size()) {
        pieces.emplace_back(text, start);
    }
    return pieces;
}

// Both sides give the same result on this text, or the comparison means nothing.
template <typename Result> bool agree(const Result& measured, const Result& reference) {
    return measured == reference;
}

void BM_ReplaceLineBreaks(benchmark::State& state) {
    const Text& text = largeText();
    if (!agree(replaceSubtext(text, "\r\n", "\n"), referenceReplace(text, "\r\n", "\n", false))) {
        state.SkipWithError("replaceSubtext and the reference differ");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(replaceSubtext(text, "\r\n", "\n"));
    }
}

void BM_ReplaceLineBreaksReference(benchmark::State& state) {
    const Text& text = largeText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(referenceReplace(text, "\r\n", "\n", false));
    }
}

// What fetchPage does to the response headers, on a text the size of a page.
void BM_ReplaceCookieNamesIgnoringCase(benchmark::State& state) {
    const Text& text = largeText();
    if (!agree(replaceSubtext(text, "Set-Cookie", "Set-Cookie", 1, -1, false),
               referenceReplace(text, "Set-Cookie", "Set-Cookie", true))) {
        state.SkipWithError("replaceSubtext and the reference differ");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(replaceSubtext(text, "Set-Cookie", "Set-Cookie", 1, -1, false));
    }
}

void BM_ReplaceCookieNamesIgnoringCaseReference(benchmark::State& state) {
    const Text& text = largeText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(referenceReplace(text, "Set-Cookie", "Set-Cookie", true));
    }
}

void BM_SplitLines(benchmark::State& state) {
    const Text& text = largeText();
    if (!agree(splitText(text, "\r\n"), referenceSplit(text, "\r\n"))) {
        state.SkipWithError("splitText and the reference differ");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(splitText(text, "\r\n"));
    }
}

void BM_SplitLinesReference(benchmark::State& state) {
    const Text& text = largeText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(referenceSplit(text, "\r\n"));
    }
}

} // namespace

BENCHMARK(BM_ReplaceLineBreaks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceLineBreaksReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceCookieNamesIgnoringCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceCookieNamesIgnoringCaseReference)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitLinesReference)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return runBenchmarksAgainstGoals(
        argc, argv,
        {
            {"BM_ReplaceLineBreaks", "BM_ReplaceLineBreaksReference", 3.0},
            {"BM_ReplaceCookieNamesIgnoringCase", "BM_ReplaceCookieNamesIgnoringCaseReference",
             3.0},
            {"BM_SplitLines", "BM_SplitLinesReference", 3.0},
        });
}
