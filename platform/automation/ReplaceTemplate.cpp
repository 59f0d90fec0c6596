#include "platform/automation/ReplaceTemplate.h"

#include <algorithm>

namespace {

bool isDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

} // namespace

std::u16string expandReplacement(std::u16string_view replacement, std::u16string_view subject,
                                 const MatchResults& results, std::size_t match) {
    std::u16string expanded;
    std::size_t i = 0;
    while (i < replacement.size()) {
        char16_t unit = replacement[i];
        char16_t next = i + 1 < replacement.size() ? replacement[i + 1] : 0;
        if (unit != u'$' || next == 0) {
            expanded += unit;
            ++i;
            continue;
        }
        if (next == u'$') {
            expanded += u'$';
        } else if (next == u'&') {
            expanded += results.text(subject, match, 0);
        } else if (next == u'`') {
            expanded += subject.substr(0, results.start(match, 0));
        } else if (next == u'\'') {
            expanded += subject.substr(results.end(match, 0));
        } else if (isDigit(next)) {
            std::size_t group = next - u'0';
            std::size_t used = 2;
            char16_t after = i + 2 < replacement.size() ? replacement[i + 2] : 0;
            std::size_t twoDigits = group * 10 + (isDigit(after) ? after - u'0' : 0);
            if (isDigit(after) && twoDigits >= 1 && twoDigits <= results.groupCount) {
                group = twoDigits;
                used = 3;
            }
            if (group == 0 || group > results.groupCount) {
                expanded += u'$'; // no such group: the text stays
                ++i;
                continue;
            }
            expanded += results.text(subject, match, group);
            i += used;
            continue;
        } else {
            expanded += u'$';
            ++i;
            continue;
        }
        i += 2;
    }
    return expanded;
}

std::u16string replaceMatches(std::u16string_view replacement, std::u16string_view subject,
                              const MatchResults& results) {
    std::u16string replaced;
    std::size_t copied = 0;
    for (std::size_t match = 0; match < results.matchCount(); ++match) {
        std::size_t start = results.start(match, 0);
        if (start > copied) {
            replaced += subject.substr(copied, start - copied);
        }
        replaced += expandReplacement(replacement, subject, results, match);
        copied = std::max(copied, results.end(match, 0));
    }
    replaced += subject.substr(copied);
    return replaced;
}
