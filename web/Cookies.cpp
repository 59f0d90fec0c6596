#include "web/Cookies.h"

#include <string_view>
#include <unordered_set>

namespace {

const Text deletedMarker = "=deleted";
const Text mergedSeparator = "; ";

} // namespace

Text mergeCookies(Text& oldCookies, Text& newCookies) {
    oldCookies = removeAllSpaces(oldCookies);
    newCookies = removeAllSpaces(newCookies);
    TextArray oldEntries = splitText(oldCookies, ";");
    TextArray entries = splitText(newCookies, ";");

    // The names present in `entries`, kept in step with it so that each old entry is
    // checked in constant time; the outcome is that of hasCookie on the growing array.
    std::unordered_set<Text> names;
    for (const Text& entry : entries) {
        names.insert(cookieName(entry));
    }
    for (Text& entry : oldEntries) {
        if (names.insert(cookieName(entry)).second) {
            entries.push_back(std::move(entry));
        }
    }

    Text merged;
    for (const Text& entry : entries) {
        if (rightText(entry, textLength(deletedMarker)) != deletedMarker) {
            merged += entry;
            merged += mergedSeparator;
        }
    }
    merged = leftText(merged, textLength(merged) - textLength(mergedSeparator));
    oldCookies = joinUnique(merged, mergedSeparator);
    return oldCookies;
}

Text cookieName(const Text& entry) {
    int equals = findText(entry, "=", 1);
    return trimBoth(equals == -1 ? entry : leftText(entry, equals - 1));
}

bool hasCookie(const TextArray& entries, const Text& name) {
    for (const Text& entry : entries) {
        if (compareText(cookieName(entry), name) == 0) {
            return true;
        }
    }
    return false;
}

Text joinUnique(const Text& text, const Text& sep) {
    TextArray pieces = splitText(text, sep);
    // Views into `pieces`, which outlives the set; same answer as indexOfText over the
    // kept pieces without rescanning them for each piece.
    std::unordered_set<std::string_view> seen;
    Text out;
    for (const Text& piece : pieces) {
        if (seen.insert(piece).second) {
            out += piece;
            out += sep;
        }
    }
    return leftText(out, textLength(out) - textLength(sep));
}

int indexOfText(const TextArray& array, const Text& text) {
    for (int i = 0; i < arraySize(array); ++i) {
        if (compareText(array[i], text) == 0) {
            return i + 1;
        }
    }
    return -1;
}
