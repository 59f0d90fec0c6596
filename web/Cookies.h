#pragma once

#include "text/Text.h"

// Folds `newCookies` into `oldCookies` (both written: oldCookies receives the merged
// "name=value; ..." string, newCookies loses its spaces); returns a copy of the merge.
Text mergeCookies(Text& oldCookies, Text& newCookies);
// The text before the first "=" (all of it when none), trimmed.
Text cookieName(const Text& entry);
// True when a member of `entries` has the cookie name `name` (exact case).
bool hasCookie(const TextArray& entries, const Text& name);
// `text` split at `sep`, each piece kept the first time it occurs, joined with `sep`.
Text joinUnique(const Text& text, const Text& sep);
// The 1-based index of the first member equal to `text`, or -1.
int indexOfText(const TextArray& array, const Text& text);
