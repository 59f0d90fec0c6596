#pragma once

#include <string>
#include <string_view>

// The converters behind MultiByteToWideChar and WideCharToMultiByte. None fails: what
// cannot be converted is replaced as each comment says.

// UTF-8 to UTF-16; each maximal invalid subsequence becomes one U+FFFD.
std::u16string utf8ToUtf16Units(std::string_view bytes);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16UnitsToUtf8(std::u16string_view units);

// GBK (Windows code page 936) to UTF-16. An invalid or unmapped sequence becomes one '?':
// a lead byte together with the byte after it when that is a possible trail byte
// (0x40-0x7E, 0x80-0xFE), else the lone byte, so that ASCII after a stray lead survives.
std::u16string gbkToUtf16Units(std::string_view bytes);
// UTF-16 to GBK; each character that GBK lacks (a surrogate pair counts as one, an unpaired
// surrogate as one) becomes `replacement`, and `usedReplacement` tells whether that happened.
std::string utf16UnitsToGbk(std::u16string_view units, std::string_view replacement,
                            bool& usedReplacement);

// A base letter followed by combining marks, composed into the precomposed character where
// GBK holds one (e + U+0301 gives U+00E9); everything else unchanged.
std::u16string composeForGbk(std::u16string_view units);
