#include "text/CharacterSearch.h"

#include <algorithm>
#include <cstring>

namespace {

char foldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

char otherCase(char c) {
    if (c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    if (c >= 'a' && c <= 'z') {
        return static_cast<char>(c - 'a' + 'A');
    }
    return c;
}

} // namespace

bool isCharacterStart(std::string_view t, std::size_t offset) {
    // Right after a byte below 0x80 a character always begins (that byte is either a character
    // or the trail of one), so only the run of high bytes just before `offset` decides.
    std::size_t runStart = offset;
    while (runStart > 0 && isLeadByte(t[runStart - 1])) {
        --runStart;
    }
    return (offset - runStart) % 2 == 0;
}

std::size_t nextCharacterStart(std::string_view t, std::size_t offset) {
    if (offset >= t.size()) {
        return t.size();
    }
    return isCharacterStart(t, offset) ? offset : offset + 1;
}

bool matchesAt(std::string_view haystack, std::size_t offset, std::string_view needle,
               bool ignoreCase) {
    if (offset > haystack.size() || haystack.size() - offset < needle.size()) {
        return false;
    }
    const char* here = haystack.data() + offset;
    if (!ignoreCase) {
        return std::memcmp(here, needle.data(), needle.size()) == 0;
    }
    // Both sides begin on a character start, so their characters line up while they match.
    for (std::size_t i = 0; i < needle.size(); ++i) {
        if (isLeadByte(needle[i])) {
            if (here[i] != needle[i] || (i + 1 < needle.size() && here[i + 1] != needle[i + 1])) {
                return false;
            }
            ++i;
        } else if (foldCase(here[i]) != foldCase(needle[i])) {
            return false;
        }
    }
    return true;
}

FirstByteFinder::FirstByteFinder(std::string_view haystack, char first, bool ignoreCase)
    : haystack_(haystack), bytes_{first, ignoreCase ? otherCase(first) : first},
      byteCount_(bytes_[0] == bytes_[1] ? 1 : 2), found_{noOccurrence, noOccurrence} {}

std::size_t FirstByteFinder::atOrAfter(std::size_t from) {
    std::size_t nearest = noOccurrence;
    for (int i = 0; i < byteCount_; ++i) {
        // A remembered position stays the answer while it is not behind `from`.
        if (!known_[i] || (found_[i] != noOccurrence && found_[i] < from)) {
            const void* hit =
                from < haystack_.size()
                    ? std::memchr(haystack_.data() + from, bytes_[i], haystack_.size() - from)
                    : nullptr;
            found_[i] = hit ? static_cast<const char*>(hit) - haystack_.data() : noOccurrence;
            known_[i] = true;
        }
        nearest = std::min(nearest, found_[i]);
    }
    return nearest;
}

std::size_t FirstByteFinder::before(std::size_t end) {
    std::size_t nearest = noOccurrence;
    for (int i = 0; i < byteCount_; ++i) {
        if (!known_[i] || (found_[i] != noOccurrence && found_[i] >= end)) {
            const void* hit = end > 0 ? memrchr(haystack_.data(), bytes_[i], end) : nullptr;
            found_[i] = hit ? static_cast<const char*>(hit) - haystack_.data() : noOccurrence;
            known_[i] = true;
        }
        if (found_[i] != noOccurrence && (nearest == noOccurrence || found_[i] > nearest)) {
            nearest = found_[i];
        }
    }
    return nearest;
}

void ForwardSearch::advanceCursorTo(std::size_t offset) {
    if (!cursorPlaced_) {
        cursor_ = nextCharacterStart(haystack_, offset);
        cursorPlaced_ = true;
        return;
    }
    if (cursor_ >= offset) {
        return;
    }
    // Only the high bytes just before `offset` matter, back to a low byte or to the cursor
    // (both mark a character start); the bytes passed over are never looked at again.
    std::size_t runStart = offset;
    while (runStart > cursor_ && isLeadByte(haystack_[runStart - 1])) {
        --runStart;
    }
    cursor_ = (offset - runStart) % 2 == 0 ? offset : offset + 1;
}

std::size_t ForwardSearch::candidate(std::size_t from) {
    if (from >= haystack_.size() || haystack_.size() - from < needle_.size()) {
        return noOccurrence;
    }
    if (!ignoreCase_) {
        const void* hit = memmem(haystack_.data() + from, haystack_.size() - from, needle_.data(),
                                 needle_.size());
        return hit ? static_cast<const char*>(hit) - haystack_.data() : noOccurrence;
    }
    for (std::size_t at = firstBytes_.atOrAfter(from); at != noOccurrence;
         at = firstBytes_.atOrAfter(at + 1)) {
        if (matchesAt(haystack_, at, needle_, true)) {
            return at;
        }
    }
    return noOccurrence;
}

std::size_t ForwardSearch::next(std::size_t from) {
    advanceCursorTo(from);
    for (;;) {
        const std::size_t found = candidate(cursor_);
        if (found == noOccurrence) {
            return noOccurrence;
        }
        advanceCursorTo(found);
        if (cursor_ == found) {
            return found;
        }
        // The candidate began on a trail byte; the cursor now sits on the next character.
    }
}

namespace {

// Answers isCharacterStart for decreasing offsets, scanning each run of high bytes once.
class StartCheck {
  public:
    explicit StartCheck(std::string_view t) : t_(t) {}

    bool operator()(std::size_t offset) {
        if (offset == 0 || !isLeadByte(t_[offset - 1])) {
            return true;
        }
        if (!(runKnown_ && runStart_ <= offset - 1 && offset - 1 < runEnd_)) {
            runEnd_ = offset;
            runStart_ = offset - 1;
            while (runStart_ > 0 && isLeadByte(t_[runStart_ - 1])) {
                --runStart_;
            }
            runKnown_ = true;
        }
        return (offset - runStart_) % 2 == 0;
    }

  private:
    std::string_view t_;
    bool runKnown_ = false;
    std::size_t runStart_ = 0; // t_[runStart_, runEnd_) are all high bytes
    std::size_t runEnd_ = 0;
};

} // namespace

std::size_t lastOccurrence(std::string_view haystack, std::string_view needle, std::size_t limit,
                           bool ignoreCase) {
    limit = std::min(limit, haystack.size());
    if (needle.size() > limit) {
        return noOccurrence;
    }
    StartCheck startCheck(haystack);
    FirstByteFinder firstBytes(haystack, needle[0], ignoreCase);
    // Candidates hold the needle's first byte, taken from the last possible one down.
    for (std::size_t at = firstBytes.before(limit - needle.size() + 1); at != noOccurrence;
         at = firstBytes.before(at)) {
        if (matchesAt(haystack, at, needle, ignoreCase) && startCheck(at)) {
            return at;
        }
    }
    return noOccurrence;
}
