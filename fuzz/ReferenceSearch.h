#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "text/Text.h"

// The searches as the rules state them, plainly: a byte of 0x80 or more and the byte after it
// are one character, counted from the first byte; a match begins only where a character
// begins; ignoring case folds A-Z in one-byte characters only. Offsets from 0.
namespace reference {

inline bool isLead(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

// starts[i]: whether a character begins at byte i (i up to t.size()).
inline std::vector<bool> characterStarts(const Text& t) {
    std::vector<bool> starts(t.size() + 1, false);
    for (std::size_t i = 0; i < t.size(); i += isLead(t[i]) ? 2 : 1)
        starts[i] = true;
    return starts;
}

inline char fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether `sub` lies at byte `at` of `t`. Both begin on a character, so the characters of the
// sought text tell which of its bytes are one-byte characters.
inline bool matchAt(const Text& t, std::size_t at, const Text& sub, bool ignoreCase) {
    if (at + sub.size() > t.size())
        return false;
    for (std::size_t i = 0; i < sub.size(); ++i) {
        if (isLead(sub[i])) {
            // A character of two bytes (or a lone lead byte at the end) matches exactly.
            if (t[at + i] != sub[i] || (i + 1 < sub.size() && t[at + i + 1] != sub[i + 1]))
                return false;
            ++i;
        } else if (ignoreCase ? fold(t[at + i]) != fold(sub[i]) : t[at + i] != sub[i]) {
            return false;
        }
    }
    return true;
}

// The first occurrence at a character start at or after byte `from`; t.size() when none.
inline std::size_t firstFrom(const Text& t, const std::vector<bool>& starts, const Text& sub,
                             std::size_t from, bool ignoreCase) {
    for (std::size_t i = from; i < t.size(); ++i) {
        if (starts[i] && matchAt(t, i, sub, ignoreCase))
            return i;
    }
    return t.size();
}

// findText: position from 1, or -1.
inline int find(const Text& t, const Text& sub, int start, bool ignoreCase) {
    std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= t.size())
        return -1;
    if (sub.empty())
        return 1;
    std::size_t at = firstFrom(t, characterStarts(t), sub, from, ignoreCase);
    return at == t.size() ? -1 : static_cast<int>(at) + 1;
}

// findTextReverse: the last occurrence lying wholly within bytes 1 to start - 1 (start beyond
// the length: the whole text); from 1, or -1.
inline int findReverse(const Text& t, const Text& sub, int start, bool ignoreCase) {
    std::size_t limit = start <= 1 ? 0
                        : static_cast<std::size_t>(start) <= t.size()
                            ? static_cast<std::size_t>(start) - 1
                            : t.size();
    if (limit == 0)
        return -1;
    if (sub.empty())
        return 1;
    std::vector<bool> starts = characterStarts(t);
    for (std::size_t i = limit; i-- > 0;) {
        if (starts[i] && i + sub.size() <= limit && matchAt(t, i, sub, ignoreCase))
            return static_cast<int>(i) + 1;
    }
    return -1;
}

// replaceSubtext: at most `count` (below 0: all) occurrences from byte `start`, left to right.
inline Text replace(const Text& t, const Text& find, const Text& repl, int start, int count,
                    bool caseSensitive) {
    std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (t.empty() || find.empty() || from >= t.size() || count == 0)
        return t;
    const std::vector<bool> starts = characterStarts(t);
    Text result = t.substr(0, from);
    std::size_t copied = from;
    for (int done = 0; count < 0 || done < count; ++done) {
        std::size_t at = firstFrom(t, starts, find, copied, !caseSensitive);
        if (at == t.size())
            break;
        result += t.substr(copied, at - copied) + repl;
        copied = at + find.size();
    }
    return result + t.substr(std::min(copied, t.size()));
}

// splitText: the pieces between separators; a last piece that is empty does not count.
inline TextArray split(const Text& t, const Text& sep) {
    if (t.empty())
        return {};
    if (sep.empty())
        return {t};
    const std::vector<bool> starts = characterStarts(t);
    TextArray pieces;
    std::size_t pieceStart = 0, at;
    while (pieceStart < t.size() &&
           (at = firstFrom(t, starts, sep, pieceStart, false)) != t.size()) {
        pieces.push_back(t.substr(pieceStart, at - pieceStart));
        pieceStart = at + sep.size();
    }
    if (pieceStart < t.size())
        pieces.push_back(t.substr(pieceStart));
    return pieces;
}

} // namespace reference
