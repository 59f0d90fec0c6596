#include "platform/http/RequestHeaders.h"

#include <algorithm>
#include <cctype>

namespace {

bool sameNameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trimmed(std::string_view text) {
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos)
        return {};
    std::size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

} // namespace

std::vector<std::string> curlHeaderLines(std::string_view block) {
    std::vector<std::string> lines;
    std::vector<std::string_view> names;
    std::size_t begin = 0;
    while (begin < block.size()) {
        // CRLF, CR or LF ends a line: a bare CR left inside one could start another line for
        // the server.
        std::size_t end = block.find_first_of("\r\n", begin);
        if (end == std::string_view::npos)
            end = block.size();
        std::string_view line = block.substr(begin, end - begin);
        begin = block.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        std::string_view name = trimmed(line.substr(0, colon));
        names.push_back(name);
        // To curl "Name:" means "drop that header"; "Name;" sends it with no value.
        if (trimmed(line.substr(colon + 1)).empty())
            lines.push_back(std::string(name) + ";");
        else
            lines.emplace_back(line);
    }
    auto holds = [&names](std::string_view wanted) {
        return std::any_of(names.begin(), names.end(), [wanted](std::string_view name) {
            return sameNameNoCase(name, wanted);
        });
    };
    for (std::string_view own : {"Accept", "Expect", "Content-Type"}) {
        if (!holds(own))
            lines.push_back(std::string(own) + ":");
    }
    return lines;
}
