#pragma once

#include <optional>
#include <string>

#include "platform/http/WinInet.h"

// One request through the WinInet functions, from InternetOpenA to InternetCloseHandle.
struct ExchangeRequest {
    std::string agent = "Agent/1";
    DWORD accessType = INTERNET_OPEN_TYPE_DIRECT;
    std::string proxy = {};
    std::string host = "127.0.0.1";
    int port = 0;
    std::string verb = "GET";
    std::string object = "/";
    DWORD flags = 0;
    std::string headers = {};
    std::optional<std::string> body = {};
};

struct ExchangeResult {
    bool opened = false; // all three handles
    bool sent = false;
    std::string body;
    DWORD readError = 0; // GetLastError when the last read failed; 0 when it did not
    std::string headers; // empty when the query failed
};

inline ExchangeResult exchange(const ExchangeRequest& request) {
    ExchangeResult result;
    HINTERNET internet =
        InternetOpenA(request.agent.c_str(), request.accessType,
                      request.proxy.empty() ? nullptr : request.proxy.c_str(), "", 0);
    HINTERNET connection =
        InternetConnectA(internet, request.host.c_str(), static_cast<INTERNET_PORT>(request.port),
                         nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET file = HttpOpenRequestA(connection, request.verb.c_str(), request.object.c_str(),
                                      "HTTP/1.1", nullptr, nullptr, request.flags, 0);
    result.opened = internet != nullptr && connection != nullptr && file != nullptr;
    if (result.opened) {
        std::string body = request.body.value_or("");
        result.sent = HttpSendRequestA(
            file, request.headers.c_str(), static_cast<DWORD>(request.headers.size()),
            request.body ? body.data() : nullptr, static_cast<DWORD>(body.size()));
        char buffer[1000];
        DWORD count = 0;
        do {
            bool read = InternetReadFile(file, buffer, sizeof buffer, &count);
            result.readError = read ? 0 : GetLastError();
            result.body.append(buffer, count);
        } while (count > 0);
        char headers[20000];
        DWORD length = sizeof headers;
        if (HttpQueryInfoA(file, HTTP_QUERY_RAW_HEADERS_CRLF, headers, &length, nullptr))
            result.headers.assign(headers, length);
    }
    InternetCloseHandle(file);
    InternetCloseHandle(connection);
    InternetCloseHandle(internet);
    return result;
}
