#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Runs of ASCII go eight characters at a time through the converters.
inline constexpr std::size_t asciiBlockLength = 8;

// Whether the eight bytes at `bytes` are all below 0x80.
inline bool isAsciiBlock(const unsigned char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, asciiBlockLength);
    return (word & 0x8080808080808080u) == 0;
}

// Whether the eight units at `units` are all below 0x80.
inline bool isAsciiBlock(const char16_t* units) {
    std::uint64_t words[2];
    std::memcpy(words, units, asciiBlockLength * 2);
    return ((words[0] | words[1]) & 0xFF80FF80FF80FF80u) == 0;
}
