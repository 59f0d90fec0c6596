#pragma once

#include <string>
#include <string_view>

#include "platform/automation/RegExpEngine.h"

// `replacement` for match `match` of `results` over `subject`, with $1 to $99 (a group that took no
// part gives nothing), $& (the match), $` (the text before it), $' (the text after it) and $$ (one
// dollar). $nn names group nn when it exists, else $n followed by the digit; a dollar in any other
// place stays as it is.
std::u16string expandReplacement(std::u16string_view replacement, std::u16string_view subject,
                                 const MatchResults& results, std::size_t match);

// `subject` with every match of `results` replaced by its expanded `replacement`.
std::u16string replaceMatches(std::u16string_view replacement, std::u16string_view subject,
                              const MatchResults& results);
