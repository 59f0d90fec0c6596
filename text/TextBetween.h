#pragma once

#include "text/Text.h"

// Every "#引号" (23 D2 FD BA C5) in `t` becomes one double quote, so that patterns
// and markers can spell quotes easily.
Text expandQuoteMarkers(const Text& t);

// The part of `text` between the first `leftMarker` at or after `start` and the next
// `rightMarker` after it; empty when either is missing. Both markers get their quote
// markers expanded first.
Text textBetween(const Text& text, const Text& leftMarker, const Text& rightMarker, int start = 0,
                 bool ignoreCase = false);
