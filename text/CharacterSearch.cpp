#include "text/CharacterSearch.h"

#include <cstring>

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

void ForwardSearch::advanceCursorTo(std::size_t offset) {
    if (!cursorPlaced_) {
        cursor_ = nextCharacterStart(haystack_, offset);
        cursorPlaced_ = true;
        return;
    }
    while (cursor_ < offset) {
        cursor_ += isLeadByte(haystack_[cursor_]) ? 2 : 1;
    }
}

std::size_t ForwardSearch::next(std::size_t from) {
    advanceCursorTo(from);
    while (cursor_ < haystack_.size() && haystack_.size() - cursor_ >= needle_.size()) {
        const char* begin = haystack_.data() + cursor_;
        const void* found =
            memmem(begin, haystack_.size() - cursor_, needle_.data(), needle_.size());
        if (found == nullptr) {
            return noOccurrence;
        }
        const std::size_t candidate = static_cast<const char*>(found) - haystack_.data();
        advanceCursorTo(candidate);
        if (cursor_ == candidate) {
            return candidate;
        }
        // The candidate began on a trail byte; the cursor now sits on the next character.
    }
    return noOccurrence;
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

std::size_t lastOccurrence(std::string_view haystack, std::string_view needle, std::size_t limit) {
    if (limit > haystack.size()) {
        limit = haystack.size();
    }
    if (needle.size() > limit) {
        return noOccurrence;
    }
    StartCheck startCheck(haystack);
    // Candidates are the positions holding the needle's first byte, from the last possible one
    // down.
    std::size_t span = limit - needle.size() + 1;
    while (span > 0) {
        const void* found = memrchr(haystack.data(), needle[0], span);
        if (found == nullptr) {
            return noOccurrence;
        }
        const std::size_t candidate = static_cast<const char*>(found) - haystack.data();
        if (std::memcmp(haystack.data() + candidate, needle.data(), needle.size()) == 0 &&
            startCheck(candidate)) {
            return candidate;
        }
        span = candidate;
    }
    return noOccurrence;
}
