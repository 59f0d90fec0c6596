#include "platform/http/ResponseHeaders.h"

#include <cctype>

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

// "HTTP/1.1 302 Found" gives 302; 0 when there is no number or one of more than three digits
// (no status, and no int to overflow).
int statusOf(std::string_view line) {
    std::size_t space = line.find(' ');
    int code = 0;
    for (std::size_t i = space + 1; space != std::string_view::npos && i < line.size(); ++i) {
        if (line[i] < '0' || line[i] > '9')
            break;
        if (code >= 100)
            return 0;
        code = code * 10 + (line[i] - '0');
    }
    return code;
}

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

} // namespace

void ResponseHeaders::addLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    if (startsWithNoCase(line, "HTTP/")) {
        block.clear();
        status = statusOf(line);
        hasLocation = false;
        inHeaders = true;
        complete = false;
    } else if (line.empty()) {
        if (inHeaders && status >= 200)
            complete = !(followingRedirects && isRedirect(status) && hasLocation);
        inHeaders = false;
        return;
    } else if (!inHeaders) {
        return;
    } else if (startsWithNoCase(line, "Location:")) {
        hasLocation = true;
    }
    block.append(line);
    block.append("\r\n");
}
