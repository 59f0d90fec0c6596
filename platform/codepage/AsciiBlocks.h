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

// The eight ASCII bytes at `bytes` as eight units, and back; vector code where the compiler has it.
inline void widenAsciiBlock(const unsigned char* bytes, char16_t* units) {
    using ByteBlock = std::uint8_t __attribute__((vector_size(asciiBlockLength)));
    using UnitBlock = std::uint16_t __attribute__((vector_size(asciiBlockLength * 2)));
    ByteBlock block;
    std::memcpy(&block, bytes, sizeof block);
    const UnitBlock wide = __builtin_convertvector(block, UnitBlock);
    std::memcpy(units, &wide, sizeof wide);
}

inline void narrowAsciiBlock(const char16_t* units, char* bytes) {
    using ByteBlock = std::uint8_t __attribute__((vector_size(asciiBlockLength)));
    using UnitBlock = std::uint16_t __attribute__((vector_size(asciiBlockLength * 2)));
    UnitBlock block;
    std::memcpy(&block, units, sizeof block);
    const ByteBlock narrow = __builtin_convertvector(block, ByteBlock);
    std::memcpy(bytes, &narrow, sizeof narrow);
}
