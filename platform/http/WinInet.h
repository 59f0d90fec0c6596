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

inline constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;
inline constexpr DWORD INTERNET_SERVICE_HTTP = 3;

inline constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;
inline constexpr DWORD INTERNET_FLAG_SECURE = 0x00800000;
inline constexpr DWORD INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000;
inline constexpr DWORD INTERNET_FLAG_NO_COOKIES = 0x00080000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000;
inline constexpr DWORD INTERNET_FLAG_NEED_FILE = 0x00000010;

inline constexpr DWORD HTTP_QUERY_RAW_HEADERS_CRLF = 22;

inline constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
inline constexpr DWORD INTERNET_OPTION_RECEIVE_TIMEOUT = 6;

// An Internet handle; `proxy` is a proxy list ("host:port", or "http=host:port" for plain
// HTTP only) used with INTERNET_OPEN_TYPE_PROXY. Null on failure.
HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char* proxy,
                        const char* proxyBypass, DWORD flags);
// A connection handle for `serverName` and `port`; nothing is sent yet. Null on failure.
HINTERNET InternetConnectA(HINTERNET internet, const char* serverName, INTERNET_PORT port,
                           const char* userName, const char* password, DWORD service,
                           DWORD flags, DWORD_PTR context);
// A request handle for `verb` `objectName` `version`. Null on failure.
HINTERNET HttpOpenRequestA(HINTERNET connection, const char* verb, const char* objectName,
                           const char* version, const char* referrer, const char** acceptTypes,
                           DWORD flags, DWORD_PTR context);
// Sends the request with the header block (lines joined by "\r\n"; -1 length: up to the
// NUL) and the body. False on failure.
BOOL HttpSendRequestA(HINTERNET request, const char* headers, DWORD headersLength,
                      void* optional, DWORD optionalLength);
// The next bytes of the response body; *read is 0 at the end and on failure.
BOOL InternetReadFile(HINTERNET file, void* buffer, DWORD bytesToRead, DWORD* bytesRead);
// With HTTP_QUERY_RAW_HEADERS_CRLF: the status line and headers of the final response,
// each ended by CRLF, NUL-terminated. False, nothing written, when it does not fit.
BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, void* buffer, DWORD* bufferLength,
                    DWORD* index);
// Opens `url` (http or https) and sends a GET with its own connection. Null on failure.
HINTERNET InternetOpenUrlA(HINTERNET internet, const char* url, const char* headers,
                           DWORD headersLength, DWORD flags, DWORD_PTR context);
// Sets an option: with a null handle the process-wide default (the timeouts, in ms).
BOOL InternetSetOptionA(HINTERNET internet, DWORD option, void* buffer, DWORD bufferLength);
BOOL InternetCloseHandle(HINTERNET internet);
