#pragma once

#include <cstddef>
#include <cstdint>

#include "text/Text.h"

// UTF-16 results are Bytes of little-endian units; GBK is code page 936.

// UTF-8 text (up to its end) to GBK.
Text utf8ToGbk(const Text& text);
// All bytes as UTF-8 (a zero byte included) to GBK, read as Text up to the first zero byte.
Text utf8BytesToGbkText(const Bytes& bytes);
// GBK to UTF-16 with the terminating NUL unit; the empty text gives empty Bytes.
Bytes gbkToUtf16(const Text& text);
// The most bytes that gbkToUtf16(text) can give.
std::size_t gbkToUtf16Bound(const Text& text);
// Writes gbkToUtf16(text) into `out`, which holds gbkToUtf16Bound(text) bytes and is aligned
// for 16-bit units, and returns how many bytes it wrote.
std::size_t gbkToUtf16Into(const Text& text, char* out);
// All whole units to GBK with composition, read as Text up to the first zero byte.
Text utf16BytesToGbkText(const Bytes& bytes);
// `text` in `codePage` to UTF-16 with the terminating NUL unit; the empty text or an unknown
// code page gives empty Bytes.
Bytes codePageToUtf16(const Text& text, std::uint32_t codePage = 65001);
// Units up to the first NUL unit (all when none) to `codePage` (0: the system code page).
Text utf16ToCodePage(const Bytes& bytes, std::uint32_t codePage = 0);
