#pragma once

#include <string>
#include <string_view>

// Collects the header lines of the responses of one exchange as curl hands them over and
// keeps those of the last response: redirects and interim responses are passed by.
class ResponseHeaders {
  public:
    // Whether a redirect response is passed by for the one it leads to.
    void setFollowingRedirects(bool following) { followingRedirects = following; }
    // One raw line as received, with its line end; a status line starts a new response.
    void addLine(std::string_view line);
    // True once the headers of the response that ends the exchange are complete.
    bool finalComplete() const { return complete; }
    // The status line and header lines of the latest response, each ended by CRLF.
    const std::string& text() const { return block; }

  private:
    std::string block;
    int status = 0;
    bool hasLocation = false;
    bool inHeaders = false;
    bool complete = false;
    bool followingRedirects = true;
};
