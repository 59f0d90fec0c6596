#include "text/CharacterSearch.h"
#include "text/Text.h"

int findText(const Text& t, const Text& sub, int start, bool ignoreCase) {
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= t.size()) {
        return -1;
    }
    if (sub.empty()) {
        return 1;
    }
    const std::size_t found = ForwardSearch(t, sub, ignoreCase).next(from);
    return found == noOccurrence ? -1 : static_cast<int>(found) + 1;
}

int findTextReverse(const Text& t, const Text& sub, int start, bool ignoreCase) {
    // The searched range is bytes 1 to start - 1, or the whole text.
    std::size_t limit = t.size();
    if (start <= 1) {
        limit = 0;
    } else if (static_cast<std::size_t>(start) <= t.size()) {
        limit = static_cast<std::size_t>(start) - 1;
    }
    if (limit == 0) {
        return -1;
    }
    if (sub.empty()) {
        return 1;
    }
    const std::size_t found = lastOccurrence(t, sub, limit, ignoreCase);
    return found == noOccurrence ? -1 : static_cast<int>(found) + 1;
}
