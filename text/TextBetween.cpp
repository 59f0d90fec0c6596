#include "text/TextBetween.h"

Text expandQuoteMarkers(const Text& t) {
    return replaceSubtext(t, "#\xD2\xFD\xBA\xC5", "\"");
}

Text textBetween(const Text& text, const Text& leftMarker, const Text& rightMarker, int start,
                 bool ignoreCase) {
    const Text left = expandQuoteMarkers(leftMarker);
    const Text right = expandQuoteMarkers(rightMarker);
    const int leftAt = findText(text, left, start, ignoreCase);
    if (leftAt == -1) {
        return {};
    }
    const int wantedAt = leftAt + textLength(left);
    const int rightAt = findText(text, right, wantedAt, ignoreCase);
    if (rightAt == -1) {
        return {};
    }
    return midText(text, wantedAt, rightAt - wantedAt);
}
