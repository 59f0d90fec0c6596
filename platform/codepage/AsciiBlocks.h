#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Runs of ASCII go eight characters at a time through the converters: a block of eight is
// converted whole, and the converter moves on by as many of them as were ASCII. The bytes
// written past those are overwritten next, and stay within the room that the worst case
// needs, since each converter writes a block only where eight more characters follow.
inline constexpr std::size_t asciiBlockLength = 8;

// How many of the eight bytes at `bytes` are below 0x80 before the first that is not.
inline std::size_t asciiPrefixLength(const unsigned char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, asciiBlockLength);
    const std::uint64_t high = word & 0x8080808080808080u;
    if constexpr (std::endian::native != std::endian::little) {
        std::size_t length = 0;
        while (length < asciiBlockLength && bytes[length] < 0x80) {
            ++length;
        }
        return length;
    }
    return high == 0 ? asciiBlockLength : static_cast<std::size_t>(std::countr_zero(high)) / 8;
}

// How many of the eight units at `units` are below 0x80 before the first that is not.
inline std::size_t asciiPrefixLength(const char16_t* units) {
    std::size_t length = 0;
    while (length < asciiBlockLength && units[length] < 0x80) {
        ++length;
    }
    return length;
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
