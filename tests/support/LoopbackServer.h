#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// A raw HTTP test server on a loopback address. It accepts connections on a port of its
// own, runs the test's handler for each connection on a thread of its own, and records
// every byte each connection received, so a test sees the exact request and answers with
// exactly the bytes it wants. Typical use:
//
//     LoopbackServer server(replyWith(httpResponse("hello")));
//     ... fetch server.url("/page") ...
//     EXPECT_EQ(server.received(0), "GET /page HTTP/1.1\r\n...");

class ServerConnection {
  public:
    explicit ServerConnection(int socket, std::function<void(std::string_view)> record);
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    // The next request: its head up to the blank line and a body of its Content-Length.
    // Empty when the peer closes first.
    std::string readRequest();
    // The next bytes that arrive, at most `limit`; empty when the peer has closed.
    std::string readSome(std::size_t limit = 64 * 1024);
    // Sends every byte; false when the peer has gone.
    bool send(std::string_view bytes);
    // Blocks until the peer closes the connection (or the server stops).
    void waitForClose();
    // Waits at most `milliseconds` for the peer to close; true when it has (or the server
    // stops). Bytes that arrive meanwhile are recorded and dropped.
    bool waitForClose(int milliseconds);
    // Closes the connection now; the peer sees the end of the stream.
    void close();
    // Closes the connection with a reset: the peer's next read fails.
    void reset();

  private:
    int socket;
    std::string unread; // bytes received beyond the last request
    std::function<void(std::string_view)> record;
};

class LoopbackServer {
  public:
    using Handler = std::function<void(ServerConnection&)>;

    // Listens on `host` (any 127.x.y.z address) and `port` (0: a free one).
    explicit LoopbackServer(Handler handler, const std::string& host = "127.0.0.1", int port = 0);
    // Stops accepting, wakes the handlers (their reads end) and waits for them.
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // False when the address could not be bound (for example a privileged port).
    bool listening() const;
    int port() const;
    // "host:port".
    std::string hostAndPort() const;
    // "http://host:port" followed by `path`.
    std::string url(const std::string& path = "/") const;
    // How many connections were accepted so far.
    int connectionCount() const;
    // Every byte that connection `index` (0 first) received so far; empty when none.
    std::string received(int index) const;

  private:
    struct State;
    std::shared_ptr<State> state;
};

// A complete response: "HTTP/1.1 " + status, the header lines (each ended by "\r\n"),
// Content-Length of the body, a blank line, then the body.
std::string httpResponse(std::string_view body, std::string_view headerLines = "",
                         std::string_view status = "200 OK");

// A handler that answers each request of a connection with `response` and closes the
// connection after the first.
LoopbackServer::Handler replyWith(std::string response);

// Responses by request target ("/path?query") that a test may go on adding to while the
// server answers from them on its own threads.
class Routes {
  public:
    Routes() = default;
    explicit Routes(std::map<std::string, std::string> responses);
    // Answers requests for `target` with `response` from now on.
    void set(const std::string& target, std::string response);
    // The response listed for `target`, or a 404.
    std::string responseFor(const std::string& target) const;

  private:
    mutable std::mutex lock;
    std::map<std::string, std::string> responses;
};

// A handler that answers each request of a connection (kept open between requests) with
// the response listed for its request target ("/path?query"), or a 404.
LoopbackServer::Handler serveRoutes(std::map<std::string, std::string> responses);
LoopbackServer::Handler serveRoutes(std::shared_ptr<const Routes> routes);

// A handler that answers the first request of a connection with `head`, then sends `piece`
// again and again, `pauseMs` apart (0: at full speed), until the peer goes.
LoopbackServer::Handler sendForever(std::string head, std::string piece, int pauseMs = 0);

// A loopback port on which nothing listens: bound, then closed again, so a connection to
// it is refused.
int refusedPort();
