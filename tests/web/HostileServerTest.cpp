// Servers that misbehave on purpose, as a typed page address may lead to them: whatever they
// do, fetchPage ends within the bound on a whole request, and a body over the limit fails it.
#include <gtest/gtest.h>
#include <string>
#include <string_view>

#include "tests/support/LoopbackServer.h"
#include "tests/support/RequestBounds.h"
#include "tests/support/Wait.h"
#include "web/PageRequest.h"

namespace {

// The bounds of 60 s for a wait and 75 s for a whole request, shortened for the test.
constexpr DWORD waitBound = 1000;
constexpr DWORD requestBound = 2500;
constexpr long long bodyLimit = 64LL * 1024 * 1024;

// How many requests the server was sent, over all its connections.
int requestCount(const LoopbackServer& server) {
    int count = 0;
    for (int i = 0; i < server.connectionCount(); ++i) {
        std::string received = server.received(i);
        for (std::size_t at = 0; (at = received.find("GET /", at)) != std::string::npos; ++at)
            ++count;
    }
    return count;
}

} // namespace

TEST(HostileServer, EveryRequestEndsBoundedWhateverTheServerDoes) {
    const std::string headOnly = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n";
    const std::string promise = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n";
    const std::string part(3000, 'p');
    const std::string block(64 * 1024, 'b');
    struct Case {
        const char* name;
        LoopbackServer::Handler handler;
        Bytes body;
        int mostRequests = 1;
    };
    const Case cases[] = {
        {"garbage instead of HTTP",
         replyWith(std::string("\x16\x03\x01 no HTTP at all \xff\xfe\0\r\n\r\n", 26)), ""},
        // A cut body is still a body: what arrived is the result.
        {"reset in the middle of the body",
         [&](ServerConnection& c) {
             c.readRequest();
             c.send(promise + part);
             c.reset();
         },
         part},
        {"redirects to itself for ever",
         serveRoutes({{"/page", httpResponse("again", "Location: /page\r\n", "302 Found")}}), "",
         21},
        {"headers, then silence",
         [&](ServerConnection& c) {
             c.readRequest();
             c.send(promise);
             c.waitForClose();
         },
         ""},
        // Never quiet for as long as a wait bound: only the bound on the whole request helps.
        {"one byte at a time", sendForever(promise, "x", 200), ""},
        {"headers that never end", sendForever(headOnly, "X-More: 1\r\n", 200), ""},
        {"headers that never end, at full speed",
         sendForever(headOnly, "X-More: " + std::string(1000, 'm') + "\r\n"), ""},
        {"a body that never ends, at full speed", sendForever(headOnly + "\r\n", block), ""},
        {"a body announced as 1 GiB",
         sendForever(headOnly + "Content-Length: 1073741824\r\n\r\n", block), ""},
        {"a body one byte over the limit", replyWith(httpResponse(std::string(bodyLimit + 1, 'o'))),
         ""},
    };
    RequestBounds bounds(waitBound, requestBound);
    for (const Case& c : cases) {
        LoopbackServer server(c.handler);
        long long start = monotonicMilliseconds();
        Bytes body = fetchPage(server.url("/page"));
        long long elapsed = monotonicMilliseconds() - start;
        // Generous: these rows look for hangs, not for speed.
        EXPECT_LT(elapsed, requestBound + 10000) << c.name;
        EXPECT_EQ(body.size(), c.body.size()) << c.name;
        EXPECT_TRUE(body == c.body) << c.name;
        EXPECT_LE(requestCount(server), c.mostRequests) << c.name;
    }
}
