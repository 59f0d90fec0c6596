// The regular-expression object over random patterns and texts, with every option and every
// reading operation. Whatever the pattern, a run ends: the engine's match limit stops runaway
// backtracking (the fuzzer's -timeout tells a run that does not), and the memory limit
// (-rss_limit_mb) one that grows without end.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "fuzz/FuzzInput.h"
#include "regex/RegexObject.h"

namespace {

// Patterns built of the pieces that make engines work hard, with text between them.
Text patternFrom(FuzzedDataProvider& data) {
    static const char* const pieces[] = {
        "(",  ")",    "*", "+", "?",   "*?",  "|",     ".",   "\\",  "[",
        "]",  "{2,}", "^", "$", "\\1", "(?:", "(a+)+", "\\d", "\\s", "#\xD2\xFD\xBA\xC5",
        "[^", "-",    "{", "}"};
    Text pattern;
    for (int i = data.ConsumeIntegralInRange(0, 12); i > 0 && data.remaining_bytes() > 0; --i) {
        if (data.ConsumeBool())
            pattern += pieces[data.ConsumeIntegralInRange<std::size_t>(0, 23)];
        else
            pattern += nextText(data, 3);
    }
    return pattern;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::uint8_t options = data.ConsumeIntegral<std::uint8_t>();
    const Text pattern = patternFrom(data);
    const Text replacement = nextText(data, 8);
    const Text text = nextText(data, 2048);

    RegexObject regex;
    regex.create(pattern, text, options & 1, options & 2, options & 4, options & 8);
    regex.pattern();
    regex.replace(replacement);
    const int matches = regex.matchCount();
    const int groups = regex.subMatchCount();
    // A position is -2 (not found) or a byte offset within the text.
    auto checkPosition = [&text](int position) {
        check(position == -2 ||
              (position >= 0 && static_cast<std::size_t>(position) <= text.size()));
    };
    for (int index = 0; index <= matches + 1 && index < 4; ++index) {
        int position = 0;
        regex.matchText(index, &position);
        checkPosition(position);
        for (int subIndex = 0; subIndex <= groups + 1 && subIndex < 4; ++subIndex) {
            regex.subMatchText(index, subIndex, &position);
            checkPosition(position);
        }
    }
    // A second run on the same object replaces everything of the first.
    if (options & 16)
        regex.create(text.substr(0, 8), pattern);
    std::unique_ptr<RegexObject> copy = regex.copy();
    copy->subMatchText(1, 1);
    copy->destroy();
    regex.destroy();
    return 0;
}
