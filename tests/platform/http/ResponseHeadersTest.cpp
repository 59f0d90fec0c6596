#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/http/ResponseHeaders.h"

TEST(ResponseHeaders, KeepsTheLinesOfTheResponseThatEndsTheExchange) {
    struct Case {
        const char* name;
        std::vector<std::string> lines; // as curl hands them over
        bool followingRedirects;
        std::string block;
        bool complete;
    };
    const Case cases[] = {
        {"one response",
         {"HTTP/1.1 200 OK\r\n", "A: 1\r\n", "\r\n"},
         true,
         "HTTP/1.1 200 OK\r\nA: 1\r\n",
         true},
        {"an interim response passed by",
         {"HTTP/1.1 100 Continue\r\n", "\r\n", "HTTP/1.1 204 No Content\n", "B: 2\n", "\n"},
         true,
         "HTTP/1.1 204 No Content\r\nB: 2\r\n",
         true},
        {"a redirect being followed",
         {"HTTP/1.1 302 Found\r\n", "Location: /x\r\n", "\r\n"},
         true,
         "HTTP/1.1 302 Found\r\nLocation: /x\r\n",
         false},
        {"a redirect not followed",
         {"HTTP/1.1 302 Found\r\n", "Location: /x\r\n", "\r\n"},
         false,
         "HTTP/1.1 302 Found\r\nLocation: /x\r\n",
         true},
        {"headers not yet ended",
         {"HTTP/1.1 200 OK\r\n", "A: 1\r\n"},
         true,
         "HTTP/1.1 200 OK\r\nA: 1\r\n",
         false},
        // Found by fuzzing: the digits were summed into an int until it overflowed.
        {"a status of thirteen digits",
         {"HTTP/1.1 3020000000000 Found\r\n", "\r\n"},
         true,
         "HTTP/1.1 3020000000000 Found\r\n",
         false},
        {"trailers after the body are not headers",
         {"HTTP/1.1 200 OK\r\n", "\r\n", "X-Trailer: 1\r\n", "\r\n"},
         true,
         "HTTP/1.1 200 OK\r\n",
         true},
    };
    for (const Case& c : cases) {
        ResponseHeaders headers;
        headers.setFollowingRedirects(c.followingRedirects);
        for (const std::string& line : c.lines)
            headers.addLine(line);
        EXPECT_EQ(headers.text(), c.block) << c.name;
        EXPECT_EQ(headers.finalComplete(), c.complete) << c.name;
    }
}
