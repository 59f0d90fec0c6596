#include <arpa/inet.h>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/platform/http/InternetExchange.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/RequestBounds.h"
#include "tests/support/Wait.h"

namespace {

// The cookie store is process-wide: each test starts with an empty session.
class WinInetResponse : public testing::Test {
  protected:
    void SetUp() override {
        InternetSetOptionA(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
    }
};

std::string statusLine(const std::string& headers) {
    return headers.substr(0, headers.find('\r'));
}

} // namespace

TEST_F(WinInetResponse, RedirectsFollowedAsTheFlagsAllow) {
    LoopbackServer tls([](ServerConnection& connection) { connection.readSome(); });
    std::string secureUrl = "https://" + tls.hostAndPort() + "/";
    LoopbackServer server(serveRoutes({
        {"/start", httpResponse("moved", "Location: /end\r\n", "302 Found")},
        {"/end", httpResponse("end")},
        {"/secure", httpResponse("moved", "Location: " + secureUrl + "\r\n", "302 Found")},
    }));
    struct Case {
        std::string object;
        DWORD flags;
        bool sent;
        std::string body, status;
        int tlsConnections;
    };
    const Case cases[] = {
        {"/start", 0, true, "end", "HTTP/1.1 200 OK", 0},
        {"/start", INTERNET_FLAG_NO_AUTO_REDIRECT, true, "moved", "HTTP/1.1 302 Found", 0},
        // From http to https only with its flag; the failed handshake then fails the send.
        {"/secure", 0, false, "", "HTTP/1.1 302 Found", 0},
        {"/secure", INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS, false, "", "HTTP/1.1 302 Found", 1},
    };
    for (const Case& c : cases) {
        int before = tls.connectionCount();
        ExchangeResult result =
            exchange({.port = server.port(), .object = c.object, .flags = c.flags});
        EXPECT_EQ(result.sent, c.sent) << c.object << " " << c.flags;
        EXPECT_EQ(result.body, c.body) << c.object << " " << c.flags;
        EXPECT_EQ(statusLine(result.headers), c.status) << c.object << " " << c.flags;
        EXPECT_EQ(tls.connectionCount() - before, c.tlsConnections) << c.object << " " << c.flags;
    }
    EXPECT_EQ(tls.received(0).substr(0, 1), "\x16"); // a TLS ClientHello
}

TEST_F(WinInetResponse, EndsOfTheBody) {
    const std::string promise100 = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789";
    std::string large(3 * 1024 * 1024 + 5, '\0'); // many receive buffers, read while curl waits
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i % 251);
    const std::string limit(64 * 1024 * 1024, 'L');
    struct Case {
        const char* name;
        std::function<void(ServerConnection&)> handler;
        bool sent;
        std::string body;
        DWORD readError;
        bool cutAnywhere = false; // the body is any beginning of `body`: the cut is timing's
    };
    const Case cases[] = {
        {"chunked",
         replyWith("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2\r\nde\r\n"
                   "0\r\n\r\n"),
         true, "abcde", 0},
        {"until the close", replyWith("HTTP/1.0 200 OK\r\n\r\nall of it"), true, "all of it", 0},
        {"no body", replyWith("HTTP/1.1 204 No Content\r\n\r\n"), true, "", 0},
        // curl takes this for a status line; the layer summed all its digits into an int,
        // which overflowed (found by fuzzing).
        {"a status line curl reads leniently",
         replyWith("HTTP/TTP/1.103 2777777777777 Found\r\nContent-Length: 2\r\n\r\nok"), true, "ok",
         0},
        {"large", replyWith(httpResponse(large)), true, large, 0},
        {"exactly the body limit", replyWith(httpResponse(limit)), true, limit, 0},
        // One byte more, and what had not been read when it came is dropped.
        {"over the body limit", replyWith(httpResponse(limit + "+")), true, limit,
         ERROR_INTERNET_OPERATION_CANCELLED, true},
        {"cut short", replyWith(promise100), true, "0123456789", ERROR_INTERNET_CONNECTION_ABORTED},
        {"reset in the body",
         [&](ServerConnection& connection) {
             connection.readRequest();
             connection.send(promise100);
             connection.reset();
         },
         true, "0123456789", ERROR_INTERNET_CONNECTION_ABORTED},
        {"stalls in the body",
         [&](ServerConnection& connection) {
             connection.readRequest();
             connection.send(promise100);
             connection.waitForClose();
         },
         true, "0123456789", ERROR_INTERNET_TIMEOUT},
        // Every wait sees progress; the bound on the whole exchange ends it.
        {"one byte at a time",
         [&](ServerConnection& connection) {
             connection.readRequest();
             connection.send(promise100);
             while (connection.send("x") && !connection.waitForClose(100)) {
             }
         },
         true, "0123456789" + std::string(90, 'x'), ERROR_INTERNET_OPERATION_CANCELLED, true},
        {"headers one line at a time",
         [&](ServerConnection& connection) {
             connection.readRequest();
             connection.send("HTTP/1.1 200 OK\r\n");
             while (connection.send("X-Slow: 1\r\n") && !connection.waitForClose(100)) {
             }
         },
         false, "", ERROR_INTERNET_OPERATION_CANCELLED},
        {"stalls before answering",
         [](ServerConnection& connection) {
             connection.readRequest();
             connection.waitForClose();
         },
         false, "", ERROR_INTERNET_TIMEOUT},
        {"hangs up at once", [](ServerConnection&) {}, false, "",
         ERROR_INTERNET_CONNECTION_ABORTED},
    };
    RequestBounds bounds(1000, 2500);
    for (const Case& c : cases) {
        LoopbackServer server(c.handler);
        long long start = monotonicMilliseconds();
        ExchangeResult result = exchange({.port = server.port()});
        // Far below the default bounds: the short ones were honoured.
        EXPECT_LT(monotonicMilliseconds() - start, 10000) << c.name;
        EXPECT_EQ(result.sent, c.sent) << c.name;
        if (c.cutAnywhere)
            EXPECT_LE(result.body.size(), c.body.size()) << c.name;
        else
            EXPECT_EQ(result.body.size(), c.body.size()) << c.name;
        EXPECT_TRUE(c.body.compare(0, result.body.size(), result.body) == 0) << c.name;
        EXPECT_EQ(result.readError, c.readError) << c.name;
    }
}

TEST_F(WinInetResponse, NothingListening) {
    ExchangeResult result = exchange({.port = refusedPort()});
    EXPECT_TRUE(result.opened);
    EXPECT_FALSE(result.sent);
    EXPECT_EQ(result.body, "");
    EXPECT_EQ(result.headers, "");
}

TEST_F(WinInetResponse, ConnectionThatCannotBeMadeEndsAfterTheBound) {
    // A listener whose accept queue is full: further handshakes get no answer at all.
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    int queued[2];
    for (int& client : queued) {
        client = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    RequestBounds bounds(300);
    long long start = monotonicMilliseconds();
    ExchangeResult result = exchange({.port = ntohs(address.sin_port)});
    EXPECT_LT(monotonicMilliseconds() - start, 10000);
    EXPECT_FALSE(result.sent);
    for (int descriptor : {queued[0], queued[1], listener})
        ::close(descriptor);
}

TEST_F(WinInetResponse, RawHeadersFitTheBufferOrNothingIsWritten) {
    LoopbackServer server(
        replyWith("HTTP/1.1 200 OK\nX-Bare-Lf: 1\r\nContent-Length: 2\r\n\r\nok"));
    const std::string expected = "HTTP/1.1 200 OK\r\nX-Bare-Lf: 1\r\nContent-Length: 2\r\n";
    const DWORD size = static_cast<DWORD>(expected.size());
    HINTERNET internet = InternetOpenA("", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectA(internet, "127.0.0.1", server.port(), nullptr, nullptr,
                                            INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET file = HttpOpenRequestA(connection, "GET", "/", "HTTP/1.1", nullptr, nullptr, 0, 0);
    ASSERT_TRUE(HttpSendRequestA(file, nullptr, 0, nullptr, 0));
    struct Case {
        DWORD given;
        bool fits;
        DWORD lengthAfter; // the text's length, or the size needed with its NUL
    };
    const Case cases[] = {{size + 1, true, size},
                          {size + 50, true, size},
                          {size, false, size + 1},
                          {0, false, size + 1}};
    for (const Case& c : cases) {
        std::string buffer(size + 50, ' ');
        DWORD length = c.given;
        EXPECT_EQ(bool(HttpQueryInfoA(file, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &length,
                                      nullptr)),
                  c.fits)
            << c.given;
        EXPECT_EQ(length, c.lengthAfter) << c.given;
        std::string expectedBuffer =
            c.fits ? expected + '\0' + std::string(49, ' ') : std::string(size + 50, ' ');
        EXPECT_EQ(buffer, expectedBuffer) << c.given;
    }
    InternetCloseHandle(file);
    InternetCloseHandle(connection);
    InternetCloseHandle(internet);
}

TEST_F(WinInetResponse, OneCookieStoreThatNoCookiesLeavesOut) {
    LoopbackServer server(serveRoutes({
        {"/hidden", httpResponse("", "Set-Cookie: hidden=1\r\n")},
        {"/kept", httpResponse("", "Set-Cookie: kept=2\r\n")},
        {"/show", httpResponse("")},
    }));
    auto fetch = [&](const char* object, DWORD flags) {
        exchange({.port = server.port(), .object = object, .flags = flags});
        return server.received(server.connectionCount() - 1);
    };
    fetch("/hidden", INTERNET_FLAG_NO_COOKIES);
    fetch("/kept", 0);
    EXPECT_NE(fetch("/show", 0).find("\r\nCookie: kept=2\r\n"), std::string::npos);
    EXPECT_EQ(fetch("/show", 0).find("hidden"), std::string::npos);
    EXPECT_EQ(fetch("/show", INTERNET_FLAG_NO_COOKIES).find("Cookie:"), std::string::npos);
    InternetSetOptionA(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
    EXPECT_EQ(fetch("/show", 0).find("Cookie:"), std::string::npos);
}

TEST_F(WinInetResponse, OpenUrlSendsAGetWithItsOwnConnection) {
    LoopbackServer server(replyWith(httpResponse("page")));
    HINTERNET internet = InternetOpenA("Agent/2", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    EXPECT_EQ(InternetOpenUrlA(internet, "ftp://127.0.0.1/", nullptr, 0, 0, 0), nullptr);
    HINTERNET file = InternetOpenUrlA(internet, server.url("/u?x=1").c_str(), "X-A: 1", DWORD(-1),
                                      INTERNET_FLAG_RELOAD, 0);
    ASSERT_NE(file, nullptr);
    char buffer[16];
    DWORD count = 0;
    EXPECT_TRUE(InternetReadFile(file, buffer, sizeof buffer, &count));
    EXPECT_EQ(std::string(buffer, count), "page");
    EXPECT_EQ(server.received(0), "GET /u?x=1 HTTP/1.1\r\nHost: " + server.hostAndPort() +
                                      "\r\nUser-Agent: Agent/2\r\nX-A: 1\r\n\r\n");
    InternetCloseHandle(file);
    InternetCloseHandle(internet);
}
