#pragma once

#include <cstddef>
#include <string_view>

// Character stepping over GBK bytes: a byte of 0x80 or more and the byte after it are one
// character; searches accept a match only where a character begins. Offsets here are 0-based.

inline constexpr std::size_t noOccurrence = std::string_view::npos;

inline bool isLeadByte(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

// Whether a character begins at `offset` of `t` (counting characters from the first byte).
bool isCharacterStart(std::string_view t, std::size_t offset);

// The first character start at or after `offset`; t.size() when there is none.
std::size_t nextCharacterStart(std::string_view t, std::size_t offset);

// Finds occurrences of one needle that begin on character starts, left to right in one pass.
class ForwardSearch {
  public:
    ForwardSearch(std::string_view haystack, std::string_view needle)
        : haystack_(haystack), needle_(needle) {}
    // The first occurrence at or after `from`, else noOccurrence. `from` must not decrease
    // between calls; the needle must not be empty.
    std::size_t next(std::size_t from);

  private:
    void advanceCursorTo(std::size_t offset);

    std::string_view haystack_;
    std::string_view needle_;
    std::size_t cursor_ = 0; // first character start at or after the last `from`
    bool cursorPlaced_ = false;
};

// The last occurrence that begins on a character start and ends at or before `limit`, else
// noOccurrence. The needle must not be empty.
std::size_t lastOccurrence(std::string_view haystack, std::string_view needle, std::size_t limit);
