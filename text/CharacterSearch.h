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

// Whether `needle` lies at `offset` of `haystack`; ignoreCase folds A-Z in one-byte
// characters only, so a two-byte character must match exactly.
bool matchesAt(std::string_view haystack, std::size_t offset, std::string_view needle,
               bool ignoreCase);

// Successive positions holding a needle's first byte (in either case when folding), found
// with memchr/memrchr and remembered, so each direction scans the haystack once.
class FirstByteFinder {
  public:
    FirstByteFinder(std::string_view haystack, char first, bool ignoreCase);
    // The first position at or after `from`; `from` must not decrease between calls.
    std::size_t atOrAfter(std::size_t from);
    // The last position before `end`; `end` must not increase between calls.
    std::size_t before(std::size_t end);

  private:
    std::string_view haystack_;
    char bytes_[2];
    int byteCount_;
    std::size_t found_[2];
    bool known_[2] = {false, false};
};

// Finds occurrences of one needle that begin on character starts, left to right in one pass.
class ForwardSearch {
  public:
    ForwardSearch(std::string_view haystack, std::string_view needle, bool ignoreCase = false)
        : haystack_(haystack), needle_(needle), ignoreCase_(ignoreCase),
          firstBytes_(haystack, needle.empty() ? '\0' : needle[0], ignoreCase) {}
    // The first occurrence at or after `from`, else noOccurrence. `from` must not decrease
    // between calls; the needle must not be empty.
    std::size_t next(std::size_t from);

  private:
    std::size_t candidate(std::size_t from);
    void advanceCursorTo(std::size_t offset);

    std::string_view haystack_;
    std::string_view needle_;
    bool ignoreCase_;
    FirstByteFinder firstBytes_;
    std::size_t cursor_ = 0; // first character start at or after the last `from`
    bool cursorPlaced_ = false;
};

// The last occurrence that begins on a character start and ends at or before `limit`, else
// noOccurrence. The needle must not be empty.
std::size_t lastOccurrence(std::string_view haystack, std::string_view needle, std::size_t limit,
                           bool ignoreCase);
