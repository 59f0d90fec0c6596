#pragma once

#include <random>
#include <string_view>

#include "text/Text.h"

// A text of up to `maxLength` bytes drawn from `alphabet`; an alphabet of lead and trail
// bytes makes texts whose character boundaries fall everywhere.
inline Text randomText(std::mt19937& random, std::string_view alphabet, std::size_t maxLength) {
    Text t(random() % (maxLength + 1), ' ');
    for (char& c : t)
        c = alphabet[random() % alphabet.size()];
    return t;
}
