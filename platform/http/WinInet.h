#pragma once

#include <cstdint>

// The WinInet functions and constants that the program uses, with Windows' names and
// values. The Linux build implements them over libcurl; a Windows build links WinInet.

using DWORD = std::uint32_t;
using BOOL = int;
using DWORD_PTR = std::uintptr_t;
using INTERNET_PORT = std::uint16_t;
struct InternetHandle;
using HINTERNET = InternetHandle*;

inline constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;
inline constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;
inline constexpr DWORD INTERNET_SERVICE_HTTP = 3;

inline constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;
inline constexpr DWORD INTERNET_FLAG_SECURE = 0x00800000;
inline constexpr DWORD INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000;
inline constexpr DWORD INTERNET_FLAG_NO_COOKIES = 0x00080000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP = 0x00008000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000;
inline constexpr DWORD INTERNET_FLAG_NEED_FILE = 0x00000010;

inline constexpr DWORD HTTP_QUERY_RAW_HEADERS_CRLF = 22;

inline constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
inline constexpr DWORD INTERNET_OPTION_RECEIVE_TIMEOUT = 6;
inline constexpr DWORD INTERNET_OPTION_END_BROWSER_SESSION = 42;
// This layer's own option, beside Windows' numbers: the bound on a whole exchange.
inline constexpr DWORD INTERNET_OPTION_EXCHANGE_TIMEOUT = 0x10001;

// Errors that GetLastError reports.
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
inline constexpr DWORD ERROR_INTERNET_OPERATION_CANCELLED = 12017;
inline constexpr DWORD ERROR_INTERNET_CONNECTION_ABORTED = 12030;

// Handles are used by one thread at a time; a closed or foreign handle is refused (false or
// null), never followed. Each call blocks until it is done; every wait for the server is
// bounded, and so is each exchange as a whole, from sending the request to the end of the
// final response's body (see InternetSetOptionA). A body of more than 64 MiB (67108864
// bytes) ends its exchange too: the layer never holds much of a body that is not read.

// An Internet handle. `agent` is sent as User-Agent (null or empty: no such line).
// INTERNET_OPEN_TYPE_DIRECT uses no proxy whatever the environment says;
// INTERNET_OPEN_TYPE_PROXY uses the list `proxy` ("host:port" for all protocols,
// "http=host:port" for plain HTTP only), bypassed for the hosts of `proxyBypass`;
// INTERNET_OPEN_TYPE_PRECONFIG the environment's settings. Null on failure.
HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char* proxy,
                        const char* proxyBypass, DWORD flags);
// A connection handle for `serverName` and `port` (0: the scheme's default); nothing is
// sent yet. Null on failure (no server name, a service other than HTTP).
HINTERNET InternetConnectA(HINTERNET internet, const char* serverName, INTERNET_PORT port,
                           const char* userName, const char* password, DWORD service, DWORD flags,
                           DWORD_PTR context);
// A request handle for `verb` `objectName` `version`. Flags: INTERNET_FLAG_SECURE (TLS with
// the certificate checked), INTERNET_FLAG_NO_AUTO_REDIRECT, INTERNET_FLAG_NO_COOKIES (the
// shared cookie store is neither read nor written), INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS
// and _TO_HTTP (a redirect may change scheme that way). Null on failure.
HINTERNET HttpOpenRequestA(HINTERNET connection, const char* verb, const char* objectName,
                           const char* version, const char* referrer, const char** acceptTypes,
                           DWORD flags, DWORD_PTR context);
// Sends the request line, Host, User-Agent from the agent, then the lines of the header
// block (joined by "\r\n"; length -1: up to the NUL) in their order, and the body; the client
// adds only Content-Length and connection lines. Waits for the final response's headers.
// False when no response arrived.
BOOL HttpSendRequestA(HINTERNET request, const char* headers, DWORD headersLength, void* optional,
                      DWORD optionalLength);
// The next bytes of the final response's body. *bytesRead is 0 at the end; false (with
// *bytesRead 0) when the body ended by an error: cut short, stalled, never sent, or the
// exchange given up (its bound passed or its body over the limit: nothing more is read).
BOOL InternetReadFile(HINTERNET file, void* buffer, DWORD bytesToRead, DWORD* bytesRead);
// With HTTP_QUERY_RAW_HEADERS_CRLF: the status line and headers of the final response,
// each ended by CRLF, NUL-terminated; *bufferLength becomes the length without the NUL.
// False with nothing written when it does not fit (*bufferLength: the size needed).
BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, void* buffer, DWORD* bufferLength,
                    DWORD* index);
// Opens `url` (http or https) and sends a GET with `headers`, as HttpSendRequestA does.
// Null on failure.
HINTERNET InternetOpenUrlA(HINTERNET internet, const char* url, const char* headers,
                           DWORD headersLength, DWORD flags, DWORD_PTR context);
// INTERNET_OPTION_CONNECT_TIMEOUT, _RECEIVE_TIMEOUT: a DWORD of milliseconds (not 0), the
// longest wait for a connection or for any progress of the response; with a null handle
// the default for handles opened later (60000). INTERNET_OPTION_EXCHANGE_TIMEOUT likewise:
// the longest time from sending a request to the end of its final body, every redirect
// included (75000). INTERNET_OPTION_END_BROWSER_SESSION forgets the session cookies. False
// for other options.
BOOL InternetSetOptionA(HINTERNET internet, DWORD option, void* buffer, DWORD bufferLength);
// Closes a handle and what it owns; its children stay usable. False for no valid handle.
BOOL InternetCloseHandle(HINTERNET internet);
// Why the calling thread's last failed HttpSendRequestA or InternetReadFile, or the last
// InternetOpenUrlA whose request failed, failed: ERROR_INTERNET_TIMEOUT (a wait bound passed),
// ERROR_INTERNET_OPERATION_CANCELLED (the exchange was given up: its bound passed or its body was
// over the limit), ERROR_INTERNET_CONNECTION_ABORTED (no connection, or the response was refused or
// cut), ERROR_INVALID_HANDLE.
DWORD GetLastError();
