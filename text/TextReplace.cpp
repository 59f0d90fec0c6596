#include "text/CharacterSearch.h"
#include "text/Text.h"

Text replaceSubtext(const Text& t, const Text& find, const Text& repl, int start, int count,
                    bool caseSensitive) {
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (t.empty() || find.empty() || from >= t.size() || count == 0) {
        return t;
    }
    ForwardSearch search(t, find, !caseSensitive);

    Text result;
    result.reserve(t.size());
    result.append(t, 0, from);
    std::size_t copied = from;
    int replaced = 0;
    while (count < 0 || replaced < count) {
        const std::size_t found = search.next(copied);
        if (found == noOccurrence) {
            break;
        }
        result.append(t, copied, found - copied);
        result += repl;
        copied = found + find.size();
        ++replaced;
    }
    result.append(t, copied);
    return result;
}

TextArray splitText(const Text& t, const Text& sep) {
    if (t.empty()) {
        return {};
    }
    if (sep.empty()) {
        return {t};
    }
    TextArray pieces;
    ForwardSearch search(t, sep);
    std::size_t pieceStart = 0;
    for (;;) {
        const std::size_t found = search.next(pieceStart);
        if (found == noOccurrence) {
            break;
        }
        pieces.emplace_back(t, pieceStart, found - pieceStart);
        pieceStart = found + sep.size();
    }
    // The piece after the last separator counts only when it holds something.
    if (pieceStart < t.size()) {
        pieces.emplace_back(t, pieceStart);
    }
    return pieces;
}
