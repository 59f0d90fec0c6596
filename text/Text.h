#pragma once

#include <climits>
#include <string>
#include <vector>

// A text in the system code page (GBK). It never holds a zero byte; the empty
// text stands for the absent one. Positions and lengths count bytes from 1.
using Text = std::string;

// A length and that many bytes; zero bytes are allowed. UTF-16 travels as
// Bytes of little-endian code units.
using Bytes = std::string;

// Members are addressed 1 to arraySize() by the logic (index - 1 in C++).
using TextArray = std::vector<Text>;

// Passed as `start` of findTextReverse: search the whole text.
inline constexpr int wholeText = INT_MAX;

// 0 when equal, else -1 or 1 by unsigned bytes.
int compareText(const Text& a, const Text& b);
// `a` followed by `b`; pass `a` as an rvalue to append in place.
Text concatText(Text a, const Text& b);
Bytes concatBytes(Bytes a, const Bytes& b);

int textLength(const Text& t);
int bytesLength(const Bytes& b);
int arraySize(const TextArray& a);

// The first or last min(n, length) bytes; empty when n < 1.
Text leftText(const Text& t, int n);
Text rightText(const Text& t, int n);
Bytes leftBytes(const Bytes& b, int n);
// min(n, length - pos + 1) bytes from byte pos; empty when pos < 1, pos > length or n < 1.
Text midText(const Text& t, int pos, int n);

// Position of the first occurrence at or after byte `start` (below 1: byte 1), stepping
// by whole characters counted from byte 1; -1 when none. An empty `sub` gives 1 when the range is
// not empty. ignoreCase folds A-Z only.
int findText(const Text& t, const Text& sub, int start = 0, bool ignoreCase = false);
// Position of the last occurrence lying wholly within bytes 1 to start - 1 (wholeText or
// beyond the length: the whole text); -1 when none.
int findTextReverse(const Text& t, const Text& sub, int start = wholeText, bool ignoreCase = false);
// Replaces non-overlapping occurrences left to right from byte `start`, at most `count`
// (below 0: all); caseSensitive false folds A-Z. An empty `t` or `find` gives `t`.
Text replaceSubtext(const Text& t, const Text& find, const Text& repl = {}, int start = 1,
                    int count = -1, bool caseSensitive = true);
// The pieces between occurrences of `sep`; a trailing empty piece is dropped
// ("a;;b;" gives a, "", b). Empty `t`: no members; empty `sep`: `t` alone.
TextArray splitText(const Text& t, const Text& sep = ",");

// A-Z to a-z in one-byte characters; every other byte, trail bytes included, unchanged.
Text toLower(const Text& t);
// The decimal integer at the start after spaces and a sign; full-width digits, signs and
// the ideographic space count as ASCII. 0 when there is none; saturates beyond int.
int toInt(const Text& t);
// A space is 0x20 or the ideographic space A1 A1.
Text trimBoth(const Text& t);
Text removeAllSpaces(const Text& t);

// The bytes of `t` without a terminator.
Bytes toBytes(const Text& t);
// The bytes before the first zero byte, all of them when there is none; a Bytes value given
// up is cut in place.
Text toText(const Bytes& b);
Text toText(Bytes&& b);
// Kind 10 selects text (as toText); any other kind gives the empty text.
inline constexpr int textKind = 10;
Text dataFromBytes(const Bytes& b, int kind);

// n spaces, n zero bytes; empty when n < 1.
Text blankText(int n);
Bytes blankBytes(int n);
// The one-byte text of `code`; empty for 0.
Text charFromCode(int code);
