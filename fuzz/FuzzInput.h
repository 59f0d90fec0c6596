#pragma once

#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

#include "text/Text.h"

// A property of the code under test; when it does not hold, the run fails with the line.
inline void check(bool holds, const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
    if (holds)
        return;
    std::fprintf(stderr, "property does not hold: %s:%d\n", file, line);
    std::abort();
}

// Texts made from fuzzer bytes.

// A Text never holds a zero byte: the bytes without theirs.
inline Text textFrom(std::string bytes) {
    std::erase(bytes, '\0');
    return bytes;
}

// Bytes mapped onto the few that text rules turn on, so that searches find something and
// characters split in interesting places: letters in both cases, spaces (0x20 and the
// ideographic A1 A1), GBK lead and trail bytes at their edges, full-width digits, separators.
// Bytes from 0xC0 up stay as they are.
inline Text gbkLikeText(const std::string& bytes) {
    static const char alphabet[] = {'a',    'A',    'b',    'Z',    ' ',    ';',    '=',
                                    '/',    ':',    '.',    '1',    '-',    '\x80', '\x81',
                                    '\xA1', '\xA3', '\xB0', '\xFE', '\xFF', '\x40', '\x7F',
                                    '#',    '\xD2', '\xFD', '\xBA', '\xC5', '"',    '\t'};
    Text text;
    for (unsigned char byte : bytes) {
        if (byte >= 0xC0)
            text += static_cast<char>(byte);
        else
            text += alphabet[byte % sizeof alphabet];
    }
    return text;
}

// The next text of at most `maxLength` bytes, mapped as gbkLikeText.
inline Text nextText(FuzzedDataProvider& data, std::size_t maxLength) {
    return gbkLikeText(data.ConsumeRandomLengthString(maxLength));
}
