#include <gtest/gtest.h>
#include <optional>

#include "platform/http/WinInet.h"
#include "tests/support/LoopbackServer.h"
#include "web/PageRequest.h"

namespace {

const Text agentLine = "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\r\n";

// Every "{host}" becomes the server's host:port, every "{address}" the page address.
Text filled(Text pattern, const LoopbackServer& server, const Text& address = {}) {
    for (auto [marker, value] : {std::pair<Text, Text>{"{address}", address},
                                 std::pair<Text, Text>{"{host}", server.hostAndPort()}}) {
        for (std::size_t at; (at = pattern.find(marker)) != Text::npos;)
            pattern.replace(at, marker.size(), value);
    }
    return pattern;
}

// The shared cookie store outlives requests: each test starts a fresh session.
class PageRequest : public testing::Test {
  protected:
    void SetUp() override {
        InternetSetOptionA(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
    }
};

} // namespace

TEST_F(PageRequest, DefaultRequestAndThePlatformsCookies) {
    LoopbackServer server(replyWith(httpResponse("page", "Set-Cookie: s=1\r\n")));
    const Text address = server.url("/p?q=1");
    EXPECT_EQ(fetchPageText(address), "page");
    EXPECT_EQ(server.received(0),
              filled("GET /p?q=1 HTTP/1.1\r\nHost: {host}\r\n" + agentLine +
                         "Accept: */*\r\nReferer: {address}\r\nAccept-Language: zh-cn\r\n"
                         "Content-Type: application/x-www-form-urlencoded\r\n\r\n",
                     server, address));
    // The platform's cookie handling stays on: the next request carries the cookie back.
    fetchPageText(address);
    EXPECT_NE(server.received(1).find("\r\nCookie: s=1\r\n"), Text::npos);
}

TEST_F(PageRequest, SuppliedCookiesStandInForTheSharedStore) {
    LoopbackServer server(serveRoutes({
        {"/set", httpResponse("", "Set-Cookie: shared=1\r\n")},
        {"/own", httpResponse("", "Set-Cookie: own=2\r\n")},
        {"/show", httpResponse("")},
    }));
    auto lastRequest = [&] { return server.received(server.connectionCount() - 1); };
    fetchPageText(server.url("/set"));
    Text cookies;
    fetchPage(server.url("/show"), {.cookies = &cookies});
    EXPECT_EQ(lastRequest().find("Cookie:"), Text::npos) << "the store was read";
    fetchPage(server.url("/own"), {.cookies = &cookies});
    EXPECT_EQ(cookies, "own=2");
    fetchPageText(server.url("/show"));
    EXPECT_NE(lastRequest().find("\r\nCookie: shared=1\r\n"), Text::npos)
        << "the store was written";
}

TEST_F(PageRequest, RequestBuiltFromTheOptions) {
    const Text defaults = "Accept: */*\r\nReferer: {address}\r\nAccept-Language: zh-cn\r\n"
                          "Content-Type: application/x-www-form-urlencoded";
    struct Case {
        const char* name;
        Text address; // "{host}" is the server
        int method;
        Text postText;
        std::optional<Text> extraHeaders, cookies;
        std::optional<Bytes> postBytes;
        Text expectedRequest, expectedBlock; // "{address}" is the address
        std::optional<Bytes> expectedPostBytes;
    };
    const Case cases[] = {
        {"no scheme", "{host}/x", 0, "", std::nullopt, std::nullopt, std::nullopt,
         "GET /x HTTP/1.1\r\nHost: {host}\r\n" + agentLine + defaults + "\r\n\r\n", defaults,
         std::nullopt},
        // No "\r\n" after the agent: headerValue of the block gives it.
        {"agent alone", "http://{host}/", 0, "", "User-Agent: X", std::nullopt, std::nullopt,
         "GET / HTTP/1.1\r\nHost: {host}\r\nUser-Agent: X\r\n" + defaults + "\r\n\r\n",
         "User-Agent: X\r\n" + defaults, std::nullopt},
        {"agent and accept", "http://{host}/", 0, "", "User-Agent: X\r\nAccept: text/html",
         std::nullopt, std::nullopt,
         "GET / HTTP/1.1\r\nHost: {host}\r\nUser-Agent: X\r\nAccept: text/html\r\nReferer: "
         "{address}\r\nAccept-Language: zh-cn\r\nContent-Type: "
         "application/x-www-form-urlencoded\r\n\r\n",
         "User-Agent: X\r\nAccept: text/html\r\nReferer: {address}\r\nAccept-Language: "
         "zh-cn\r\nContent-Type: application/x-www-form-urlencoded",
         std::nullopt},
        // An empty agent: none is passed, so only the block's empty line goes out.
        {"empty agent", "http://{host}/", 0, "", "User-Agent:", std::nullopt, std::nullopt,
         "GET / HTTP/1.1\r\nHost: {host}\r\nUser-Agent:\r\n" + defaults + "\r\n\r\n",
         "User-Agent:\r\n" + defaults, std::nullopt},
        // The tests look anywhere in the block: X-Referer: counts as Referer:.
        {"x-referer", "http://{host}/", 0, "", "X-Referer: r", std::nullopt, std::nullopt,
         "GET / HTTP/1.1\r\nHost: {host}\r\n" + agentLine +
             "X-Referer: r\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: "
             "application/x-www-form-urlencoded\r\n\r\n",
         "X-Referer: r\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: "
         "application/x-www-form-urlencoded",
         std::nullopt},
        {"cookies", "http://{host}/", 0, "", std::nullopt, "a=1; b=2", std::nullopt,
         "GET / HTTP/1.1\r\nHost: {host}\r\n" + agentLine + defaults +
             "\r\nCookie: a=1; b=2\r\n\r\n",
         defaults + "\r\nCookie: a=1; b=2", std::nullopt},
        {"cookies supplied empty", "http://{host}/", 0, "", std::nullopt, "", std::nullopt,
         "GET / HTTP/1.1\r\nHost: {host}\r\n" + agentLine + defaults + "\r\n\r\n", defaults,
         std::nullopt},
        // The Cookie line is added whatever the block already holds.
        {"a cookie line of the caller's too", "http://{host}/", 0, "", "Cookie: z=0", "a=1",
         std::nullopt,
         "GET / HTTP/1.1\r\nHost: {host}\r\n" + agentLine + "Cookie: z=0\r\n" + defaults +
             "\r\nCookie: a=1\r\n\r\n",
         "Cookie: z=0\r\n" + defaults + "\r\nCookie: a=1", std::nullopt},
        {"post text", "http://{host}/f", 1, "a=1&b=2", std::nullopt, std::nullopt, Bytes(),
         "POST /f HTTP/1.1\r\nHost: {host}\r\n" + agentLine + defaults +
             "\r\nContent-Length: 7\r\n\r\na=1&b=2",
         defaults, Bytes("a=1&b=2")},
        {"method 2 is a get with a body", "http://{host}/f", 2, "a=1&b=2", std::nullopt,
         std::nullopt, Bytes(),
         "GET /f HTTP/1.1\r\nHost: {host}\r\n" + agentLine + defaults +
             "\r\nContent-Length: 7\r\n\r\na=1&b=2",
         defaults, Bytes("a=1&b=2")},
        {"post bytes win over the text", "http://{host}/f", 1, "text", std::nullopt, std::nullopt,
         Bytes("\x01\0\x02", 3),
         "POST /f HTTP/1.1\r\nHost: {host}\r\n" + agentLine + defaults +
             "\r\nContent-Length: 3\r\n\r\n" + Bytes("\x01\0\x02", 3),
         defaults, Bytes("\x01\0\x02", 3)},
        {"method 0 sends no body", "http://{host}/", 0, "a=1", std::nullopt, std::nullopt, Bytes(),
         "GET / HTTP/1.1\r\nHost: {host}\r\n" + agentLine + defaults + "\r\n\r\n", defaults,
         Bytes()},
        {"post of nothing", "http://{host}/", 1, "", std::nullopt, std::nullopt, Bytes(),
         "POST / HTTP/1.1\r\nHost: {host}\r\n" + agentLine + defaults +
             "\r\nContent-Length: 0\r\n\r\n",
         defaults, Bytes()},
    };
    for (const Case& c : cases) {
        LoopbackServer server(replyWith(httpResponse("ok")));
        const Text address = filled(c.address, server);
        std::optional<Text> extraHeaders = c.extraHeaders, cookies = c.cookies;
        std::optional<Bytes> postBytes = c.postBytes;
        Text block;
        Bytes body = fetchPage(address, {.method = c.method,
                                         .postText = c.postText,
                                         .cookies = cookies ? &*cookies : nullptr,
                                         .extraHeaders = extraHeaders ? &*extraHeaders : &block,
                                         .postBytes = postBytes ? &*postBytes : nullptr});
        EXPECT_EQ(body, "ok") << c.name;
        EXPECT_EQ(server.received(0), filled(c.expectedRequest, server, address)) << c.name;
        EXPECT_EQ(extraHeaders.value_or(block), filled(c.expectedBlock, server, address)) << c.name;
        EXPECT_EQ(postBytes, c.expectedPostBytes) << c.name;
    }
}

TEST_F(PageRequest, SecureAddressesSpeakTls) {
    LoopbackServer tls([](ServerConnection& connection) { connection.readSome(); });
    Text returnedHeaders = "unset";
    EXPECT_EQ(
        fetchPage("HTTPS://" + tls.hostAndPort() + "/", {.returnedHeaders = &returnedHeaders}), "");
    ASSERT_EQ(tls.connectionCount(), 1);
    EXPECT_EQ(tls.received(0).substr(0, 1), "\x16"); // a TLS ClientHello, not a GET
    // The handshake fails, so no headers could be read.
    EXPECT_EQ(returnedHeaders, blankText(5000));
}

TEST_F(PageRequest, DefaultPortsOfTheSchemes) {
    LoopbackServer plain(replyWith(httpResponse("on 80")), "127.0.0.77", 80);
    LoopbackServer tls([](ServerConnection& connection) { connection.readSome(); }, "127.0.0.77",
                       443);
    if (!plain.listening() || !tls.listening())
        GTEST_SKIP() << "ports 80 and 443 need privileges here";
    EXPECT_EQ(fetchPageText("127.0.0.77/x"), "on 80");
    EXPECT_EQ(fetchPageText("https://127.0.0.77/"), "");
    EXPECT_EQ(tls.connectionCount(), 1);
}

TEST_F(PageRequest, ProxyPerScheme) {
    struct Case {
        Text scheme;
        Text expectedAtProxy; // the request line the proxy sees
    };
    const Case cases[] = {
        {"http://", "GET http://{host}/p HTTP/1.1\r\n"},
        {"https://", "CONNECT {host} HTTP/1.1\r\n"},
    };
    for (const Case& c : cases) {
        LoopbackServer proxy([](ServerConnection& connection) { connection.readSome(); });
        LoopbackServer origin([](ServerConnection& connection) { connection.readSome(); });
        fetchPage(c.scheme + origin.hostAndPort() + "/p", {.proxy = proxy.hostAndPort()});
        Text expected = filled(c.expectedAtProxy, origin);
        EXPECT_EQ(proxy.received(0).substr(0, expected.size()), expected) << c.scheme;
        EXPECT_EQ(origin.connectionCount(), 0) << c.scheme;
    }
}

TEST_F(PageRequest, TheHostOfTheAddressIsTheOnlyHostAsked) {
    LoopbackServer server(replyWith(httpResponse("ok")));
    struct Case {
        Text address; // "{host}" is the server's host:port
        bool throughProxy;
    };
    const Case cases[] = {
        // The server name x.y.z?q=1 must not become the host x.y.z asked for /?q=1:80/.
        {"http://x.y.z?q=1", true},
        // Nor a@127.0.0.1 the host 127.0.0.1 with the user a.
        {"http://a@{host}/", false},
    };
    for (const Case& c : cases) {
        Text address = filled(c.address, server);
        Text extraHeaders;
        EXPECT_EQ(fetchPage(address, {.extraHeaders = &extraHeaders,
                                      .proxy = c.throughProxy ? server.hostAndPort() : ""}),
                  "")
            << address;
        // Only the send failed, as for a name that does not resolve.
        EXPECT_NE(extraHeaders, "") << address;
    }
    EXPECT_EQ(server.connectionCount(), 0) << server.received(0);
}

TEST_F(PageRequest, NoVariableWrittenWhenNoConnectionCanBeOpened) {
    for (const Text address : {"", "http:///x", "https://:443/"}) {
        Text cookies = "c", returnedCookies = "r", extraHeaders = "X-A: 1", returnedHeaders = "h";
        Bytes postBytes = "b";
        EXPECT_EQ(fetchPage(address, {.method = 1,
                                      .postText = "t",
                                      .cookies = &cookies,
                                      .returnedCookies = &returnedCookies,
                                      .extraHeaders = &extraHeaders,
                                      .returnedHeaders = &returnedHeaders,
                                      .postBytes = &postBytes}),
                  "")
            << address;
        EXPECT_EQ(cookies + returnedCookies + extraHeaders + returnedHeaders + postBytes,
                  "crX-A: 1hb")
            << address;
    }
}

TEST(HeaderValue, TextAfterTheFirstColonTrimmed) {
    struct Case {
        Text line, value;
    };
    const Case cases[] = {
        {"User-Agent: X", "X"},
        {"a:b:c", "b:c"},
        {"  Name :  v  ", "v"},
        {"k:\xA1\xA1v\xA1\xA1", "v"}, // the ideographic space is a space too
        {"no colon", ""},
        {":", ""},
        {"", ""},
        {"User-Agent: X\r\nAccept: y", "X\r\nAccept: y"}, // the whole rest, line breaks too
    };
    for (const Case& c : cases)
        EXPECT_EQ(headerValue(c.line), c.value) << c.line;
}
