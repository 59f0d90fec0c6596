#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

#include "tests/platform/http/InternetExchange.h"
#include "tests/support/LoopbackServer.h"

namespace {

// Every "{host}" in `pattern` becomes the server's host:port.
std::string withHost(std::string pattern, const LoopbackServer& server) {
    for (std::size_t at; (at = pattern.find("{host}")) != std::string::npos;)
        pattern.replace(at, 6, server.hostAndPort());
    return pattern;
}

// Reads what a client sends first (a TLS ClientHello, a proxy request) and hangs up.
void recordAndClose(ServerConnection& connection) {
    connection.readSome();
}

} // namespace

TEST(WinInetRequest, SendsTheLinesItIsGivenAndNothingElse) {
    struct Case {
        const char* name;
        std::string agent, verb, object, headers;
        std::optional<std::string> body;
        std::string expected;
    };
    const std::string large(2 * 1024 * 1024, 'x');
    const Case cases[] = {
        {"agent then the block in its order", "Agent/1", "GET", "/p?q=1",
         "Accept: */*\r\nReferer: http://r/\r\nX-Last: 1", std::nullopt,
         "GET /p?q=1 HTTP/1.1\r\nHost: {host}\r\nUser-Agent: Agent/1\r\nAccept: */*\r\n"
         "Referer: http://r/\r\nX-Last: 1\r\n\r\n"},
        // A line break ends the agent rather than start a header line of its own.
        {"agent with a line break", "A\r\nX-Injected: 1", "GET", "/", "", std::nullopt,
         "GET / HTTP/1.1\r\nHost: {host}\r\nUser-Agent: A\r\n\r\n"},
        // No agent and no Accept in the block: no User-Agent and no Accept line at all.
        {"bare", "", "GET", "/", "", std::nullopt, "GET / HTTP/1.1\r\nHost: {host}\r\n\r\n"},
        // A User-Agent line of the block stands in for the agent's, in the block's place.
        {"agent in the block", "X", "GET", "/", "Accept: */*\r\nUser-Agent: X", std::nullopt,
         "GET / HTTP/1.1\r\nHost: {host}\r\nAccept: */*\r\nUser-Agent: X\r\n\r\n"},
        // A bare CR or LF ends a line as CRLF does: no header line reaches the server with
        // a line break inside it, which the server might read as the start of another.
        {"bare CR and LF end lines", "", "GET", "/", "X-A: 1\rX-B: 2\nX-C: 3\r\rX-D: 4",
         std::nullopt,
         "GET / HTTP/1.1\r\nHost: {host}\r\nX-A: 1\r\nX-B: 2\r\nX-C: 3\r\nX-D: 4\r\n\r\n"},
        {"empty value kept, colonless line dropped", "", "GET", "/",
         "User-Agent:\r\njunk\r\nX-Empty:  ", std::nullopt,
         "GET / HTTP/1.1\r\nHost: {host}\r\nUser-Agent:\r\nX-Empty:\r\n\r\n"},
        {"post body, no content type of the client's own", "", "POST", "/form", "", "a=1&b=2",
         "POST /form HTTP/1.1\r\nHost: {host}\r\nContent-Length: 7\r\n\r\na=1&b=2"},
        {"post without a body", "", "POST", "/", "", std::nullopt,
         "POST / HTTP/1.1\r\nHost: {host}\r\nContent-Length: 0\r\n\r\n"},
        {"get with a body", "", "GET", "/", "Content-Type: text/plain", "a=1",
         "GET / HTTP/1.1\r\nHost: {host}\r\nContent-Type: text/plain\r\nContent-Length: "
         "3\r\n\r\na=1"},
        // curl would ask "Expect: 100-continue" before a body this large.
        {"large body, no expect", "", "POST", "/", "", large,
         "POST / HTTP/1.1\r\nHost: {host}\r\nContent-Length: 2097152\r\n\r\n" + large},
        {"space in the object name", "", "GET", "/a b", "", std::nullopt,
         "GET /a%20b HTTP/1.1\r\nHost: {host}\r\n\r\n"},
        {"object name without its slash", "", "GET", "p", "", std::nullopt,
         "GET /p HTTP/1.1\r\nHost: {host}\r\n\r\n"},
    };
    for (const Case& c : cases) {
        LoopbackServer server(replyWith(httpResponse("ok")));
        ExchangeResult result = exchange({.agent = c.agent,
                                          .port = server.port(),
                                          .verb = c.verb,
                                          .object = c.object,
                                          .flags = INTERNET_FLAG_NO_COOKIES,
                                          .headers = c.headers,
                                          .body = c.body});
        EXPECT_TRUE(result.sent) << c.name;
        EXPECT_EQ(result.body, "ok") << c.name;
        EXPECT_EQ(server.received(0), withHost(c.expected, server)) << c.name;
    }
}

TEST(WinInetRequest, SecureFlagSpeaksTlsToTheGivenPort) {
    LoopbackServer server(recordAndClose);
    ExchangeResult result = exchange({.port = server.port(), .flags = INTERNET_FLAG_SECURE});
    // A TLS handshake record, not "GET / HTTP/1.1"; the hang-up fails the request.
    ASSERT_FALSE(server.received(0).empty());
    EXPECT_EQ(server.received(0)[0], '\x16');
    EXPECT_FALSE(result.sent);
    EXPECT_EQ(result.body, "");
}

TEST(WinInetRequest, ProxyListPicksTheProxyByScheme) {
    struct Case {
        std::string list; // "{proxy}" is the proxy's host:port, "{refused}" one where none listens
        bool secure;
        DWORD accessType;
        std::string expectedAtProxy; // start of what the proxy receives; empty: direct
    };
    const Case cases[] = {
        {"{proxy}", false, INTERNET_OPEN_TYPE_PROXY, "GET http://{host}/p HTTP/1.1\r\n"},
        {"{proxy}", true, INTERNET_OPEN_TYPE_PROXY, "CONNECT {host} HTTP/1.1\r\n"},
        {"http={proxy}", false, INTERNET_OPEN_TYPE_PROXY, "GET http://{host}/p HTTP/1.1\r\n"},
        // A proxy for plain HTTP only: the secure request goes straight to the server.
        {"http={proxy}", true, INTERNET_OPEN_TYPE_PROXY, ""},
        {"https={proxy}", false, INTERNET_OPEN_TYPE_PROXY, ""},
        {"https={proxy} http={refused}", true, INTERNET_OPEN_TYPE_PROXY,
         "CONNECT {host} HTTP/1.1\r\n"},
        {"", false, INTERNET_OPEN_TYPE_DIRECT, ""},
    };
    for (const Case& c : cases) {
        LoopbackServer proxy(recordAndClose);
        LoopbackServer origin(recordAndClose);
        std::string list = c.list;
        if (std::size_t at = list.find("{proxy}"); at != std::string::npos)
            list.replace(at, 7, proxy.hostAndPort());
        if (std::size_t at = list.find("{refused}"); at != std::string::npos)
            list.replace(at, 9, "127.0.0.1:" + std::to_string(refusedPort()));
        exchange({.accessType = c.accessType,
                  .proxy = list,
                  .port = origin.port(),
                  .object = "/p",
                  .flags = c.secure ? INTERNET_FLAG_SECURE : 0});
        std::string atProxy = proxy.received(0);
        if (c.expectedAtProxy.empty()) {
            EXPECT_EQ(proxy.connectionCount(), 0) << c.list << " " << c.secure;
            EXPECT_EQ(origin.connectionCount(), 1) << c.list << " " << c.secure;
        } else {
            std::string expected = withHost(c.expectedAtProxy, origin);
            EXPECT_EQ(atProxy.substr(0, expected.size()), expected) << c.list;
        }
    }
}

TEST(WinInetRequest, DirectAccessIgnoresTheEnvironmentsProxy) {
    LoopbackServer proxy(recordAndClose);
    LoopbackServer origin(replyWith(httpResponse("direct")));
    ::unsetenv("no_proxy");
    ::unsetenv("NO_PROXY");
    ::setenv("http_proxy", proxy.url().c_str(), 1);
    ExchangeResult direct = exchange({.port = origin.port()});
    // The platform's own settings are what INTERNET_OPEN_TYPE_PRECONFIG asks for.
    ExchangeResult preconfigured =
        exchange({.accessType = INTERNET_OPEN_TYPE_PRECONFIG, .port = origin.port()});
    ::unsetenv("http_proxy");
    EXPECT_EQ(direct.body, "direct");
    EXPECT_EQ(origin.connectionCount(), 1);
    EXPECT_EQ(proxy.connectionCount(), 1);
    EXPECT_EQ(preconfigured.body, "");
}

TEST(WinInetRequest, AServerNameIsAHostNameAndNothingMore) {
    struct Case {
        std::string serverName;
        bool reaches;
    };
    const Case cases[] = {
        {"127.0.0.1", true},
        // Read as a whole address these would ask for another object, or another host.
        {"127.0.0.1?q=1", false},
        {"127.0.0.1#top", false},
        {"127.0.0.1/p", false},
        {"a@127.0.0.1", false},
        {"127.0.0.1 x", false},
    };
    for (const Case& c : cases) {
        for (bool throughProxy : {false, true}) {
            SCOPED_TRACE(c.serverName + (throughProxy ? " through the proxy" : " direct"));
            LoopbackServer server(replyWith(httpResponse("ok")));
            ExchangeRequest request{.host = c.serverName, .port = server.port()};
            if (throughProxy) {
                request.accessType = INTERNET_OPEN_TYPE_PROXY;
                request.proxy = server.hostAndPort();
            }
            ExchangeResult result = exchange(request);
            // The handles open; the send fails as for a name that does not resolve.
            EXPECT_TRUE(result.opened);
            EXPECT_EQ(result.sent, c.reaches);
            EXPECT_EQ(result.body, c.reaches ? "ok" : "");
            EXPECT_EQ(server.connectionCount(), c.reaches ? 1 : 0) << server.received(0);
        }
    }
}

TEST(WinInetRequest, HandlesThatCannotBeOpened) {
    HINTERNET internet = InternetOpenA("a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_NE(internet, nullptr);
    EXPECT_EQ(InternetOpenA("a", INTERNET_OPEN_TYPE_PROXY, "", "", 0), nullptr);
    EXPECT_EQ(InternetOpenA("a", 7, nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(InternetConnectA(internet, "", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0),
              nullptr);
    // A handle of the wrong kind, and one already closed, are refused, not followed.
    EXPECT_EQ(HttpOpenRequestA(internet, "GET", "/", "HTTP/1.1", nullptr, nullptr, 0, 0), nullptr);
    HINTERNET connection =
        InternetConnectA(internet, "127.0.0.1", 1, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    ASSERT_NE(connection, nullptr);
    DWORD count = 7;
    char buffer[4];
    EXPECT_FALSE(InternetReadFile(connection, buffer, sizeof buffer, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(InternetCloseHandle(connection));
    EXPECT_FALSE(InternetCloseHandle(connection));
    EXPECT_EQ(HttpOpenRequestA(connection, "GET", "/", "HTTP/1.1", nullptr, nullptr, 0, 0),
              nullptr);
    EXPECT_TRUE(InternetCloseHandle(internet));
}
