#pragma once

#include <memory>
#include <string>
#include <vector>

// One HTTP exchange over libcurl, streamed: the body is handed out as the caller reads it,
// so a large body is never held twice. Used by one thread at a time.

// What to send and how; filled in by the WinInet layer.
struct TransferRequest {
    std::string url;                      // scheme://host:port/object
    std::string verb;                     // "GET", "POST", ...
    bool http10 = false;                  // HTTP/1.0 instead of HTTP/1.1
    std::string agent;                    // empty: no User-Agent line
    bool useSystemProxy = false;          // true: the environment's proxy settings
    std::string proxy;                    // curl proxy URL; empty: direct
    std::string noProxy;                  // curl host list that bypasses the proxy
    std::vector<std::string> headerLines; // curl's form: "Name: value", or "Name;" for empty
    bool hasBody = false;
    std::string body;
    bool followRedirects = true;
    std::string redirectProtocols; // e.g. "http,https"
    bool useCookies = true;        // the process-wide cookie store, both ways
    long connectTimeoutMs = 60000;
    long receiveTimeoutMs = 60000;            // longest wait without progress
    long exchangeTimeoutMs = 75000;           // the whole exchange: connecting, redirects, body
    long long bodyLimit = 64LL * 1024 * 1024; // more body bytes than this end the exchange
};

// Why an exchange ended before the whole final response had arrived.
enum class TransferFailure {
    None,
    Broken,    // no connection, a refused redirect, a garbled or cut response
    Stalled,   // a wait saw no progress for the receive bound
    Abandoned, // the exchange outlived its time bound, or its body passed the limit
};

struct CurlTransferState;

class CurlTransfer {
  public:
    explicit CurlTransfer(TransferRequest request);
    ~CurlTransfer();
    CurlTransfer(const CurlTransfer&) = delete;
    CurlTransfer& operator=(const CurlTransfer&) = delete;

    // Sends the request and waits for the final response's headers. False when no final
    // response arrived (no connection, refused redirect, stalled server).
    bool start();
    // Copies up to `size` next body bytes into `buffer`; 0 at the end of the body, and at
    // once when the exchange was abandoned.
    std::size_t read(char* buffer, std::size_t size);
    // Why the exchange ended short; None while it runs or when it was complete.
    TransferFailure failure() const;
    // The final response's status line and header lines, each ended by CRLF; empty when
    // no response arrived.
    const std::string& rawHeaders() const;

  private:
    std::unique_ptr<CurlTransferState> state;
};
