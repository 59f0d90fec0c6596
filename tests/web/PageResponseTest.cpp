#include <gtest/gtest.h>
#include <optional>

#include "platform/http/WinInet.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/RequestBounds.h"
#include "web/PageRequest.h"

namespace {

// The shared cookie store outlives requests: each test starts a fresh session.
class PageResponse : public testing::Test {
  protected:
    void SetUp() override {
        InternetSetOptionA(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
    }
};

// A response whose raw header block, as the client reports it (status line and header
// lines, each ended by CRLF), is exactly `length` bytes long and sets a cookie.
Text responseWithHeaderBlockOf(int length, const Text& body) {
    Text head =
        "HTTP/1.1 200 OK\r\nSet-Cookie: k=v\r\nContent-Length: " + std::to_string(body.size()) +
        "\r\n";
    Text padLine = "X-Pad: \r\n";
    Text pad(length - head.size() - padLine.size(), 'p');
    return head + "X-Pad: " + pad + "\r\n\r\n" + body;
}

} // namespace

TEST_F(PageResponse, CookiesTheResponseSets) {
    struct Case {
        const char* name;
        Text headerLines;
        std::optional<Text> cookies; // supplied or not
        Text returnedCookies, cookiesAfter;
    };
    const Text mixedCase = "set-cookie: a=1; path=/\r\nSet-Cookie: b=2\r\nSET-COOKIE: c = 3 ;x\r\n";
    const Case cases[] = {
        {"three spellings", mixedCase, std::nullopt, "a=1; b=2; c = 3", ""},
        {"none", "X-A: 1\r\n", std::nullopt, "", ""},
        // Supplied, the returned cookies are merged in and lose their spaces.
        {"merged into nothing", mixedCase, "", "a=1;b=2;c=3", "a=1; b=2; c=3"},
        {"newer value wins", "Set-Cookie: a=1; path=/\r\n", "a=0; z=9", "a=1", "a=1; z=9"},
        {"deleted by the server", "Set-Cookie: d=deleted\r\n", "d=4; e=5", "d=deleted", "e=5"},
        {"no cookies back", "", "a=1", "", "a=1"},
        {"spaces around the value", "set-cookie:   x=9  \r\n", std::nullopt, "x=9", ""},
        // Any line holding "Set-Cookie" counts, whole when it has no ";".
        {"a look-alike header", "X-Set-Cookie-Note: q\r\n", std::nullopt, "X-Set-Cookie-Note: q",
         ""},
    };
    for (const Case& c : cases) {
        LoopbackServer server(replyWith(httpResponse("body", c.headerLines)));
        std::optional<Text> cookies = c.cookies;
        Text returnedCookies = "unset", returnedHeaders;
        EXPECT_EQ(fetchPage(server.url(), {.cookies = cookies ? &*cookies : nullptr,
                                           .returnedCookies = &returnedCookies,
                                           .returnedHeaders = &returnedHeaders}),
                  "body")
            << c.name;
        EXPECT_EQ(returnedCookies, c.returnedCookies) << c.name;
        EXPECT_EQ(cookies.value_or(""), c.cookiesAfter) << c.name;
        EXPECT_EQ(returnedHeaders.substr(0, 17), "HTTP/1.1 200 OK\r\n") << c.name;
        EXPECT_EQ(returnedHeaders.find("et-cookie"), Text::npos) << c.name; // normalised
    }
}

TEST_F(PageResponse, HeaderBufferOfFiveThousandBytes) {
    struct Case {
        int blockLength;
        bool fits; // with its NUL
    };
    const Case cases[] = {{4998, true}, {4999, true}, {5000, false}, {6000, false}};
    for (const Case& c : cases) {
        LoopbackServer server(replyWith(responseWithHeaderBlockOf(c.blockLength, "body")));
        Text returnedCookies, returnedHeaders;
        EXPECT_EQ(fetchPage(server.url(), {.returnedCookies = &returnedCookies,
                                           .returnedHeaders = &returnedHeaders}),
                  "body")
            << c.blockLength;
        EXPECT_EQ(returnedCookies, c.fits ? "k=v" : "") << c.blockLength;
        if (c.fits)
            EXPECT_EQ(returnedHeaders.size(), static_cast<std::size_t>(c.blockLength));
        else
            EXPECT_EQ(returnedHeaders, blankText(5000)) << c.blockLength;
    }
}

TEST_F(PageResponse, RedirectFollowedOrNot) {
    LoopbackServer tls([](ServerConnection& connection) { connection.readSome(); });
    LoopbackServer server(serveRoutes({
        {"/start", httpResponse("moved", "Location: /end\r\nSet-Cookie: r=1\r\n", "302 Found")},
        {"/end", httpResponse("end", "Set-Cookie: e=1\r\n")},
        {"/secure",
         httpResponse("moved", "Location: https://" + tls.hostAndPort() + "/\r\n", "302 Found")},
    }));
    for (bool noRedirect : {false, true}) {
        Text cookies, returnedHeaders;
        Bytes body = fetchPage(
            server.url("/start"),
            {.cookies = &cookies, .returnedHeaders = &returnedHeaders, .noRedirect = noRedirect});
        EXPECT_EQ(body, noRedirect ? "moved" : "end");
        EXPECT_EQ(returnedHeaders.substr(0, 12), noRedirect ? "HTTP/1.1 302" : "HTTP/1.1 200");
        // Only the final response's headers count.
        EXPECT_EQ(cookies, noRedirect ? "r=1" : "e=1");
    }
    // A plain address may be redirected to a secure one.
    fetchPage(server.url("/secure"));
    EXPECT_EQ(tls.connectionCount(), 1);
}

TEST_F(PageResponse, BodiesAsTheyArrive) {
    const Bytes large = [] {
        Bytes bytes(20 * 1024 * 1024, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i * 7 + i / 1024);
        return bytes;
    }();
    const Bytes limit(64 * 1024 * 1024, 'L');
    const Text promise = "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n";
    const Text part(3000, 'x'); // spans three 1024-byte reads
    struct Case {
        const char* name;
        LoopbackServer::Handler handler;
        Bytes body;
    };
    const Case cases[] = {
        {"a zero byte", replyWith(httpResponse(Bytes("a\0b", 3))), Bytes("a\0b", 3)},
        {"an error page", replyWith(httpResponse("gone", "", "404 Not Found")), "gone"},
        {"exactly one chunk", replyWith(httpResponse(Bytes(1024, 'c'))), Bytes(1024, 'c')},
        {"20 MB", replyWith(httpResponse(large)), large},
        {"64 MiB, the most a body may hold", replyWith(httpResponse(limit)), limit},
        {"closed in the middle", replyWith(promise + part), part},
        {"stalls in the middle",
         [&](ServerConnection& connection) {
             connection.readRequest();
             connection.send(promise + part);
             connection.waitForClose();
         },
         part},
    };
    {
        RequestBounds bounds(300);
        for (const Case& c : cases) {
            LoopbackServer server(c.handler);
            Bytes body = fetchPage(server.url());
            EXPECT_EQ(body.size(), c.body.size()) << c.name;
            EXPECT_TRUE(body == c.body) << c.name;
        }
    }

    LoopbackServer server(replyWith(httpResponse(Bytes("a\0b", 3))));
    EXPECT_EQ(fetchPageText(server.url()), "a"); // the text ends before the zero byte
}

TEST_F(PageResponse, FailedSendStillWritesTheVariables) {
    int port = refusedPort();
    Text cookies = "a=1", returnedCookies = "r", extraHeaders, returnedHeaders;
    Bytes body = fetchPage("http://127.0.0.1:" + std::to_string(port) + "/",
                           {.cookies = &cookies,
                            .returnedCookies = &returnedCookies,
                            .extraHeaders = &extraHeaders,
                            .returnedHeaders = &returnedHeaders});
    EXPECT_EQ(body, "");
    EXPECT_EQ(returnedHeaders, blankText(5000));
    EXPECT_EQ(returnedCookies, "");
    EXPECT_EQ(cookies, "a=1");
    EXPECT_EQ(extraHeaders.substr(0, 13), "Accept: */*\r\n");
}
