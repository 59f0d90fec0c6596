#include "platform/http/WinInet.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <strings.h>
#include <unordered_set>

#include "platform/http/CookieStore.h"
#include "platform/http/CurlTransfer.h"
#include "platform/http/ProxyList.h"
#include "platform/http/RequestHeaders.h"
#include "platform/http/RequestUrl.h"

enum class HandleKind { Internet, Connection, Request };

// What a handle carries; a child copies its parent's settings when it is opened, so
// handles may be closed in any order.
struct InternetHandle {
    HandleKind kind = HandleKind::Internet;
    std::string agent;
    DWORD accessType = INTERNET_OPEN_TYPE_DIRECT;
    std::string proxyList, bypassList;
    long connectTimeoutMs = 0, receiveTimeoutMs = 0, exchangeTimeoutMs = 0;
    std::string host; // connection and request
    INTERNET_PORT port = 0;
    std::string url; // request: where it goes; empty when the server name is no host name
    std::string verb;
    bool http10 = false;
    DWORD flags = 0;
    std::unique_ptr<CurlTransfer> transfer;
};

namespace {

std::atomic<long> defaultConnectTimeoutMs{60000};
std::atomic<long> defaultReceiveTimeoutMs{60000};
std::atomic<long> defaultExchangeTimeoutMs{75000};

thread_local DWORD lastError = 0;

// Records why a call failed, for GetLastError; returns false for the call to pass on.
bool failWith(DWORD error) {
    lastError = error;
    return false;
}

DWORD errorOf(TransferFailure failure) {
    switch (failure) {
    case TransferFailure::Stalled:
        return ERROR_INTERNET_TIMEOUT;
    case TransferFailure::Abandoned:
        return ERROR_INTERNET_OPERATION_CANCELLED;
    default:
        return ERROR_INTERNET_CONNECTION_ABORTED;
    }
}

std::mutex registryLock;
std::unordered_set<InternetHandle*> liveHandles;

// Registers a handle; a stale or foreign pointer is then refused instead of followed.
HINTERNET adopt(std::unique_ptr<InternetHandle> handle) {
    std::lock_guard lock(registryLock);
    liveHandles.insert(handle.get());
    return handle.release();
}

InternetHandle* lookUp(HINTERNET handle, HandleKind kind) {
    std::lock_guard lock(registryLock);
    if (liveHandles.count(handle) == 0 || handle->kind != kind)
        return nullptr;
    return handle;
}

std::unique_ptr<InternetHandle> childOf(const InternetHandle& parent, HandleKind kind) {
    auto child = std::make_unique<InternetHandle>();
    child->kind = kind;
    child->agent = parent.agent;
    child->accessType = parent.accessType;
    child->proxyList = parent.proxyList;
    child->bypassList = parent.bypassList;
    child->connectTimeoutMs = parent.connectTimeoutMs;
    child->receiveTimeoutMs = parent.receiveTimeoutMs;
    child->exchangeTimeoutMs = parent.exchangeTimeoutMs;
    child->host = parent.host;
    child->port = parent.port;
    return child;
}

std::string textOrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

bool startsWithNoCase(const std::string& text, const char* prefix) {
    return strncasecmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

bool sendOn(InternetHandle& request, const char* headers, DWORD headersLength, const void* body,
            DWORD bodyLength, bool hasBody) {
    if (request.url.empty())
        return false;
    bool secure = startsWithNoCase(request.url, "https:");
    TransferRequest transfer;
    transfer.url = request.url;
    transfer.verb = request.verb;
    transfer.http10 = request.http10;
    transfer.agent = request.agent;
    transfer.useSystemProxy = request.accessType == INTERNET_OPEN_TYPE_PRECONFIG;
    if (request.accessType == INTERNET_OPEN_TYPE_PROXY) {
        transfer.proxy = proxyForScheme(request.proxyList, secure ? "https" : "http");
        transfer.noProxy = noProxyList(request.bypassList);
    }
    std::string block;
    if (headers != nullptr)
        block.assign(headers, headersLength == DWORD(-1) ? std::strlen(headers) : headersLength);
    transfer.headerLines = curlHeaderLines(block);
    transfer.hasBody = hasBody;
    if (body != nullptr && bodyLength > 0)
        transfer.body.assign(static_cast<const char*>(body), bodyLength);
    transfer.followRedirects = (request.flags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
    // Like WinInet, a redirect that changes between http and https needs its flag.
    if (secure)
        transfer.redirectProtocols =
            request.flags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP ? "https,http" : "https";
    else
        transfer.redirectProtocols =
            request.flags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS ? "http,https" : "http";
    transfer.useCookies = (request.flags & INTERNET_FLAG_NO_COOKIES) == 0;
    transfer.connectTimeoutMs = request.connectTimeoutMs;
    transfer.receiveTimeoutMs = request.receiveTimeoutMs;
    transfer.exchangeTimeoutMs = request.exchangeTimeoutMs;

    request.transfer = std::make_unique<CurlTransfer>(std::move(transfer));
    return request.transfer->start() || failWith(errorOf(request.transfer->failure()));
}

} // namespace

HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char* proxy,
                        const char* proxyBypass, DWORD) {
    if (accessType != INTERNET_OPEN_TYPE_DIRECT && accessType != INTERNET_OPEN_TYPE_PROXY &&
        accessType != INTERNET_OPEN_TYPE_PRECONFIG)
        return nullptr;
    if (accessType == INTERNET_OPEN_TYPE_PROXY && (proxy == nullptr || *proxy == '\0'))
        return nullptr;
    ensureCurlReady();
    auto internet = std::make_unique<InternetHandle>();
    // A line break in the agent would smuggle header lines into every request.
    internet->agent = textOrEmpty(agent);
    internet->agent.resize(std::min(internet->agent.find_first_of("\r\n"), internet->agent.size()));
    internet->accessType = accessType;
    if (accessType == INTERNET_OPEN_TYPE_PROXY) {
        internet->proxyList = proxy;
        internet->bypassList = textOrEmpty(proxyBypass);
    }
    internet->connectTimeoutMs = defaultConnectTimeoutMs.load();
    internet->receiveTimeoutMs = defaultReceiveTimeoutMs.load();
    internet->exchangeTimeoutMs = defaultExchangeTimeoutMs.load();
    return adopt(std::move(internet));
}

HINTERNET InternetConnectA(HINTERNET internet, const char* serverName, INTERNET_PORT port,
                           const char*, const char*, DWORD service, DWORD, DWORD_PTR) {
    InternetHandle* parent = lookUp(internet, HandleKind::Internet);
    if (parent == nullptr || serverName == nullptr || *serverName == '\0' ||
        service != INTERNET_SERVICE_HTTP)
        return nullptr;
    auto connection = childOf(*parent, HandleKind::Connection);
    connection->host = serverName;
    connection->port = port;
    return adopt(std::move(connection));
}

HINTERNET HttpOpenRequestA(HINTERNET connection, const char* verb, const char* objectName,
                           const char* version, const char*, const char**, DWORD flags, DWORD_PTR) {
    InternetHandle* parent = lookUp(connection, HandleKind::Connection);
    if (parent == nullptr)
        return nullptr;
    auto request = childOf(*parent, HandleKind::Request);
    request->verb = verb != nullptr && *verb != '\0' ? verb : "GET";
    request->http10 = version != nullptr && std::strcmp(version, "HTTP/1.0") == 0;
    request->flags = flags;
    bool secure = (flags & INTERNET_FLAG_SECURE) != 0;
    INTERNET_PORT port = request->port != 0 ? request->port : secure ? 443 : 80;
    request->url = requestUrl(secure, request->host, port, textOrEmpty(objectName));
    return adopt(std::move(request));
}

BOOL HttpSendRequestA(HINTERNET request, const char* headers, DWORD headersLength, void* optional,
                      DWORD optionalLength) {
    InternetHandle* handle = lookUp(request, HandleKind::Request);
    if (handle == nullptr)
        return failWith(ERROR_INVALID_HANDLE);
    bool hasBody = (optional != nullptr && optionalLength > 0) || handle->verb == "POST";
    return sendOn(*handle, headers, headersLength, optional, optionalLength, hasBody);
}

BOOL InternetReadFile(HINTERNET file, void* buffer, DWORD bytesToRead, DWORD* bytesRead) {
    if (bytesRead != nullptr)
        *bytesRead = 0;
    InternetHandle* handle = lookUp(file, HandleKind::Request);
    if (handle == nullptr || handle->transfer == nullptr || bytesRead == nullptr ||
        (buffer == nullptr && bytesToRead > 0))
        return failWith(ERROR_INVALID_HANDLE);
    *bytesRead =
        static_cast<DWORD>(handle->transfer->read(static_cast<char*>(buffer), bytesToRead));
    TransferFailure failure = handle->transfer->failure();
    return *bytesRead > 0 || failure == TransferFailure::None || failWith(errorOf(failure));
}

BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, void* buffer, DWORD* bufferLength, DWORD*) {
    InternetHandle* handle = lookUp(request, HandleKind::Request);
    if (handle == nullptr || handle->transfer == nullptr || bufferLength == nullptr ||
        infoLevel != HTTP_QUERY_RAW_HEADERS_CRLF)
        return false;
    const std::string& headers = handle->transfer->rawHeaders();
    if (headers.empty())
        return false;
    DWORD needed = static_cast<DWORD>(headers.size() + 1);
    if (buffer == nullptr || *bufferLength < needed) {
        *bufferLength = needed;
        return false;
    }
    std::memcpy(buffer, headers.c_str(), needed);
    *bufferLength = needed - 1;
    return true;
}

HINTERNET InternetOpenUrlA(HINTERNET internet, const char* url, const char* headers,
                           DWORD headersLength, DWORD flags, DWORD_PTR) {
    InternetHandle* parent = lookUp(internet, HandleKind::Internet);
    if (parent == nullptr || url == nullptr)
        return nullptr;
    std::string address = url;
    if (!startsWithNoCase(address, "http://") && !startsWithNoCase(address, "https://"))
        return nullptr;
    auto request = childOf(*parent, HandleKind::Request);
    request->verb = "GET";
    request->flags = flags;
    request->url = address;
    if (!sendOn(*request, headers, headersLength, nullptr, 0, false))
        return nullptr;
    return adopt(std::move(request));
}

BOOL InternetSetOptionA(HINTERNET internet, DWORD option, void* buffer, DWORD bufferLength) {
    if (option == INTERNET_OPTION_END_BROWSER_SESSION) {
        endCookieSession();
        return true;
    }
    std::atomic<long>* defaultBound = nullptr;
    long InternetHandle::*bound = nullptr;
    if (option == INTERNET_OPTION_CONNECT_TIMEOUT) {
        defaultBound = &defaultConnectTimeoutMs;
        bound = &InternetHandle::connectTimeoutMs;
    } else if (option == INTERNET_OPTION_RECEIVE_TIMEOUT) {
        defaultBound = &defaultReceiveTimeoutMs;
        bound = &InternetHandle::receiveTimeoutMs;
    } else if (option == INTERNET_OPTION_EXCHANGE_TIMEOUT) {
        defaultBound = &defaultExchangeTimeoutMs;
        bound = &InternetHandle::exchangeTimeoutMs;
    } else {
        return false;
    }
    if (buffer == nullptr || bufferLength < sizeof(DWORD))
        return false;
    DWORD value = 0;
    std::memcpy(&value, buffer, sizeof value);
    if (value == 0)
        return false; // waits stay bounded
    if (internet == nullptr) {
        defaultBound->store(static_cast<long>(value));
        return true;
    }
    std::lock_guard lock(registryLock);
    if (liveHandles.count(internet) == 0)
        return false;
    internet->*bound = static_cast<long>(value);
    return true;
}

BOOL InternetCloseHandle(HINTERNET internet) {
    {
        std::lock_guard lock(registryLock);
        if (liveHandles.erase(internet) == 0)
            return false;
    }
    delete internet;
    return true;
}

DWORD GetLastError() {
    return lastError;
}
