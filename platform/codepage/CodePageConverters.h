#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The converters behind MultiByteToWideChar and WideCharToMultiByte. Each writes into `out`,
// which has room for the worst case its comment names, and returns the count written. None
// fails: what cannot be converted is replaced as each comment says.

// UTF-8 to UTF-16, at most one unit a byte; each maximal invalid subsequence becomes U+FFFD.
std::size_t utf8ToUtf16Units(std::string_view bytes, char16_t* out);
// One character of UTF-8 at `in`, which begins with a byte from 0x80 on and has `available`
// bytes: its code point, or U+FFFD for a broken sequence as far as it went (its maximal
// subpart). Returns the bytes taken.
std::size_t decodeUtf8Sequence(const unsigned char* in, std::size_t available, char32_t& codePoint);
// UTF-8 straight to GBK: the bytes that utf8ToUtf16Units and then utf16UnitsToGbk with '?'
// give, at most one byte a byte.
std::size_t utf8ToGbkBytes(std::string_view bytes, char* out);
// UTF-16 to UTF-8, at most three bytes a unit; an unpaired surrogate becomes U+FFFD.
std::size_t utf16UnitsToUtf8(std::u16string_view units, char* out);

// GBK (Windows code page 936) to UTF-16, at most one unit a byte. An invalid or unmapped sequence
// becomes one '?': a lead byte together with the byte after it when that is a possible trail byte
// (0x40-0x7E, 0x80-0xFE), else the lone byte, so that ASCII after a stray lead survives.
std::size_t gbkToUtf16Units(std::string_view bytes, char16_t* out);
// UTF-16 to GBK, at most two bytes a unit; each character that GBK lacks (a surrogate pair counts
// as one, an unpaired surrogate as one) becomes `replacement` (at most two bytes), and
// `usedReplacement` tells whether that happened.
std::size_t utf16UnitsToGbk(std::u16string_view units, std::string_view replacement, char* out,
                            bool& usedReplacement);

// Whether `units` hold a combining mark that composeForGbk might join to its base.
bool hasCombiningMark(std::u16string_view units);
// A base letter followed by combining marks, composed into the precomposed character where
// GBK holds one (e + U+0301 gives U+00E9); everything else unchanged.
std::u16string composeForGbk(std::u16string_view units);
