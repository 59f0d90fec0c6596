#include "text/CharacterSearch.h"
#include "text/Text.h"

#include <climits>
#include <cstdint>

namespace {

unsigned char byteAt(const Text& t, std::size_t i) {
    return static_cast<unsigned char>(t[i]);
}

bool isFullWidthSpace(const Text& t, std::size_t i) {
    return i + 1 < t.size() && byteAt(t, i) == 0xA1 && byteAt(t, i + 1) == 0xA1;
}

// The byte length of the space character at `i`, 0 when the character there is no space.
std::size_t spaceLength(const Text& t, std::size_t i) {
    if (t[i] == ' ') {
        return 1;
    }
    return isFullWidthSpace(t, i) ? 2 : 0;
}

std::size_t characterLength(const Text& t, std::size_t i) {
    return isLeadByte(t[i]) && i + 1 < t.size() ? 2 : 1;
}

// The ASCII byte that the character at `i` stands for in a number, with its length; full-width
// digits and signs (A3 B0..A3 B9, A3 AB, A3 AD) and the ideographic space map to ASCII.
char numberCharacter(const Text& t, std::size_t i, std::size_t& length) {
    length = characterLength(t, i);
    if (length == 1) {
        return t[i];
    }
    if (isFullWidthSpace(t, i)) {
        return ' ';
    }
    if (byteAt(t, i) == 0xA3) {
        const unsigned char second = byteAt(t, i + 1);
        if (second >= 0xB0 && second <= 0xB9) {
            return static_cast<char>('0' + (second - 0xB0));
        }
        if (second == 0xAB) {
            return '+';
        }
        if (second == 0xAD) {
            return '-';
        }
    }
    return '\0';
}

bool isWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

Text toLower(const Text& t) {
    Text result = t;
    // Only whole one-byte characters fold: a trail byte in A-Z belongs to a Chinese character.
    for (std::size_t i = 0; i < result.size(); i += characterLength(result, i)) {
        if (result[i] >= 'A' && result[i] <= 'Z') {
            result[i] = static_cast<char>(result[i] - 'A' + 'a');
        }
    }
    return result;
}

int toInt(const Text& t) {
    std::size_t i = 0;
    std::size_t length = 0;
    char c = '\0';
    while (i < t.size() && isWhiteSpace(c = numberCharacter(t, i, length))) {
        i += length;
    }
    bool negative = false;
    if (i < t.size() && (c == '+' || c == '-')) {
        negative = c == '-';
        i += length;
    }
    // Accumulate toward the sign's limit so that INT_MIN itself is readable; beyond it saturate.
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
    std::int64_t value = 0;
    while (i < t.size()) {
        c = numberCharacter(t, i, length);
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + (c - '0');
        if (value > limit) {
            value = limit;
        }
        i += length;
    }
    return static_cast<int>(negative ? -value : value);
}

Text trimBoth(const Text& t) {
    std::size_t begin = 0;
    while (begin < t.size()) {
        const std::size_t space = spaceLength(t, begin);
        if (space == 0) {
            break;
        }
        begin += space;
    }
    // Walk forward so that a trailing A1 A1 is only taken when it is a whole character.
    std::size_t end = begin;
    for (std::size_t i = begin; i < t.size();) {
        const std::size_t space = spaceLength(t, i);
        if (space != 0) {
            i += space;
        } else {
            i += characterLength(t, i);
            end = i;
        }
    }
    return t.substr(begin, end - begin);
}

Text removeAllSpaces(const Text& t) {
    Text result;
    result.reserve(t.size());
    for (std::size_t i = 0; i < t.size();) {
        const std::size_t space = spaceLength(t, i);
        if (space != 0) {
            i += space;
            continue;
        }
        const std::size_t length = characterLength(t, i);
        result.append(t, i, length);
        i += length;
    }
    return result;
}
