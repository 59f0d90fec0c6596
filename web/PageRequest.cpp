#include "web/PageRequest.h"

#include "platform/http/WinInet.h"
#include "platform/memory/LargeBlocks.h"
#include "text/TextBetween.h"
#include "web/Cookies.h"
#include "web/UrlParts.h"

namespace {

const Text defaultUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr int readChunk = 1024;
constexpr int headerBufferSize = 5000;
constexpr DWORD baseRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE;

// The agent is decided on the caller's own lines, before the defaults are added.
Text agentFor(const Text& extraHeaders) {
    if (findText(extraHeaders, "User-Agent:", 1, true) == -1)
        return defaultUserAgent;
    Text agent = trimBoth(textBetween(extraHeaders, "User-Agent:", "\r\n"));
    if (agent.empty())
        agent = headerValue(extraHeaders);
    return agent;
}

HINTERNET openInternet(const Text& agent, const Text& proxy, bool secure) {
    const char* agentOrNone = agent.empty() ? nullptr : agent.c_str();
    if (proxy.empty())
        return InternetOpenA(agentOrNone, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    Text proxyList = secure ? proxy : concatText("http=", proxy);
    return InternetOpenA(agentOrNone, INTERNET_OPEN_TYPE_PROXY, proxyList.c_str(), "", 0);
}

// The caller's lines followed by the default lines that they do not already hold; each
// test looks for the name anywhere in the block, in exact case.
Text withDefaultHeaders(Text block, const Text& address, const Text& cookies) {
    if (block.empty())
        block = "Accept: */*";
    else if (findText(block, "Accept:") == -1)
        block = concatText(std::move(block), "\r\nAccept: */*");
    if (findText(block, "Referer:") == -1)
        block = concatText(concatText(std::move(block), "\r\nReferer: "), address);
    if (findText(block, "Accept-Language:") == -1)
        block = concatText(std::move(block), "\r\nAccept-Language: zh-cn");
    if (findText(block, "Content-Type:") == -1)
        block = concatText(std::move(block), "\r\nContent-Type: application/x-www-form-urlencoded");
    if (!cookies.empty())
        block = concatText(concatText(std::move(block), "\r\nCookie: "), cookies);
    return block;
}

// Room for a large page from the start: pages never touched cost no memory, and the body then
// grows without moving what it already holds. Large pages spare a big body most of the page
// faults that writing it would take, which cost more than the copying.
constexpr std::size_t expectedBodyRoom = 64 * 1024 * 1024;

// The body up to the end or the first failed read; empty when the request was given up (it
// outlived its time bound or its body passed the size limit), which fails it whole.
Bytes readBody(HINTERNET request) {
    Bytes body;
    body.reserve(expectedBodyRoom);
    preferLargePages(body.data(), body.capacity());
    // Each read fills the same chunk afresh; only the bytes it delivered are appended.
    char chunk[readChunk];
    for (;;) {
        DWORD count = 0;
        if (!InternetReadFile(request, chunk, readChunk, &count) &&
            GetLastError() == ERROR_INTERNET_OPERATION_CANCELLED)
            return {};
        if (count == 0)
            break;
        body.append(chunk, count);
    }
    return body;
}

// The raw headers, with every spelling of "Set-Cookie" made exact for the searches below.
// A block that does not fit leaves the spaces the buffer was filled with.
Text readResponseHeaders(HINTERNET request) {
    Text buffer = blankText(headerBufferSize);
    DWORD length = headerBufferSize;
    HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &length, nullptr);
    Text headers = toText(buffer);
    return replaceSubtext(headers, "Set-Cookie", "Set-Cookie", 1, -1, false);
}

// The first name=value pair of each Set-Cookie line, joined by "; ".
Text cookiesOf(const Text& headers) {
    Text cookies;
    for (const Text& line : splitText(headers, "\r\n")) {
        if (findText(line, "Set-Cookie") == -1)
            continue;
        Text value = findText(line, ";") != -1
                         ? trimBoth(textBetween(line, "Set-Cookie:", ";"))
                         : trimBoth(replaceSubtext(line, "Set-Cookie:", {}, 1, -1, false));
        cookies = concatText(concatText(std::move(cookies), value), "; ");
    }
    return leftText(cookies, textLength(cookies) - 2);
}

} // namespace

Bytes fetchPage(const Text& address, const PageRequestOptions& options) {
    const char* verb = options.method == 1 ? "POST" : "GET";
    bool secure = toLower(leftText(address, 5)) == "https";
    Text extraHeaders = options.extraHeaders != nullptr ? *options.extraHeaders : Text();

    HINTERNET internet = openInternet(agentFor(extraHeaders), options.proxy, secure);
    if (internet == nullptr)
        return {};
    HINTERNET connection = InternetConnectA(internet, urlHost(address).c_str(),
                                            static_cast<INTERNET_PORT>(urlPort(address)), nullptr,
                                            nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (connection == nullptr) {
        InternetCloseHandle(internet);
        return {};
    }
    DWORD flags = baseRequestFlags;
    if (options.cookies != nullptr)
        flags |= INTERNET_FLAG_NO_COOKIES;
    if (options.noRedirect)
        flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
    flags |= secure ? INTERNET_FLAG_SECURE : INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
    HINTERNET request = HttpOpenRequestA(connection, verb, urlPath(address).c_str(), "HTTP/1.1",
                                         nullptr, nullptr, flags, 0);
    if (request == nullptr) {
        InternetCloseHandle(connection);
        InternetCloseHandle(internet);
        return {};
    }

    // From here on the caller's variables are written.
    Text cookies = options.cookies != nullptr ? *options.cookies : Text();
    extraHeaders = withDefaultHeaders(std::move(extraHeaders), address, cookies);
    Bytes postBytes = options.postBytes != nullptr ? *options.postBytes : Bytes();
    if (options.method == 0) {
        HttpSendRequestA(request, extraHeaders.c_str(), static_cast<DWORD>(extraHeaders.size()),
                         nullptr, 0);
    } else {
        if (postBytes.empty())
            postBytes = toBytes(options.postText);
        HttpSendRequestA(request, extraHeaders.c_str(), static_cast<DWORD>(extraHeaders.size()),
                         postBytes.empty() ? nullptr : postBytes.data(),
                         static_cast<DWORD>(postBytes.size()));
    }
    Bytes body = readBody(request);
    Text returnedHeaders = readResponseHeaders(request);
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    InternetCloseHandle(internet);

    Text returnedCookies = cookiesOf(returnedHeaders);
    if (options.cookies != nullptr)
        mergeCookies(cookies, returnedCookies);

    if (options.extraHeaders != nullptr)
        *options.extraHeaders = std::move(extraHeaders);
    if (options.postBytes != nullptr)
        *options.postBytes = std::move(postBytes);
    if (options.returnedHeaders != nullptr)
        *options.returnedHeaders = std::move(returnedHeaders);
    if (options.returnedCookies != nullptr)
        *options.returnedCookies = std::move(returnedCookies);
    if (options.cookies != nullptr)
        *options.cookies = std::move(cookies);
    return body;
}

Text fetchPageText(const Text& address) {
    return toText(fetchPage(address));
}

Text headerValue(const Text& line) {
    int colon = findText(line, ":");
    if (colon == -1)
        return {};
    return trimBoth(rightText(line, textLength(line) - colon));
}
