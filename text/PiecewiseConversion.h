#pragma once

#include <cstdint>
#include <string_view>

#include "text/Text.h"

// Large conversions go through a small buffer a piece at a time and append to a result that
// holds its upper bound from the start: no intermediate copy of the whole text, and no page
// of the result is touched before it is written. Each piece ends where the source encoding
// lets a conversion restart without changing a unit, so the result is the one-shot one.

// `bytes` in `codePage` (936, 0 or 65001) to UTF-16 Bytes, without a terminator; false for any
// other code page.
bool appendUtf16(std::string_view bytes, std::uint32_t codePage, Bytes& out);

// UTF-8 `bytes` to GBK; every zero byte of `bytes` becomes a zero byte.
Text gbkFromUtf8(std::string_view bytes);
