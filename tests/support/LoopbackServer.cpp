#include "tests/support/LoopbackServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <list>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "tests/support/Wait.h"

namespace {

// The value of Content-Length in a request head; 0 when absent.
std::size_t contentLength(const std::string& head) {
    std::string lower(head);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::size_t at = lower.find("\r\ncontent-length:");
    if (at == std::string::npos)
        return 0;
    return std::strtoul(lower.c_str() + at + 17, nullptr, 10);
}

} // namespace

ServerConnection::ServerConnection(int socket, std::function<void(std::string_view)> record)
    : socket(socket), record(std::move(record)) {}

ServerConnection::~ServerConnection() {
    close();
}

std::string ServerConnection::readSome(std::size_t limit) {
    if (!unread.empty()) {
        std::string bytes = unread.substr(0, limit);
        unread.erase(0, bytes.size());
        return bytes;
    }
    if (socket < 0)
        return {};
    std::string bytes(limit, '\0');
    ssize_t count;
    do {
        count = ::recv(socket, bytes.data(), limit, 0);
    } while (count < 0 && errno == EINTR);
    bytes.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    record(bytes);
    return bytes;
}

std::string ServerConnection::readRequest() {
    std::string request;
    std::size_t headEnd;
    while ((headEnd = request.find("\r\n\r\n")) == std::string::npos) {
        std::string more = readSome();
        if (more.empty())
            return {};
        request += more;
    }
    std::size_t total = headEnd + 4 + contentLength(request.substr(0, headEnd + 2));
    while (request.size() < total) {
        std::string more = readSome();
        if (more.empty())
            return {};
        request += more;
    }
    unread = request.substr(total) + unread;
    request.resize(total);
    return request;
}

bool ServerConnection::send(std::string_view bytes) {
    while (!bytes.empty() && socket >= 0) {
        ssize_t count = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return bytes.empty();
}

void ServerConnection::waitForClose() {
    while (!readSome().empty()) {
    }
}

bool ServerConnection::waitForClose(int milliseconds) {
    long long deadline = monotonicMilliseconds() + milliseconds;
    for (;;) {
        long long left = deadline - monotonicMilliseconds();
        pollfd wait{socket, POLLIN, 0};
        if (left <= 0 || ::poll(&wait, 1, static_cast<int>(left)) == 0)
            return false;
        if (readSome().empty())
            return true;
    }
}

void ServerConnection::close() {
    if (socket >= 0)
        ::close(socket);
    socket = -1;
}

void ServerConnection::reset() {
    linger abort{1, 0}; // closing with a zero linger time sends RST
    if (socket >= 0)
        ::setsockopt(socket, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    close();
}

struct LoopbackServer::State {
    Handler handler;
    int listener = -1;
    int wakeRead = -1, wakeWrite = -1;
    int port = 0;
    std::string host;
    mutable std::mutex lock;
    std::vector<std::string> received;
    std::vector<int> sockets; // open connections, to wake on stop
    struct Running {
        std::thread thread;
        std::atomic<bool> finished{false};
    };
    std::list<Running> handlers; // touched by the acceptor only, until it has stopped
    std::thread acceptor;

    // Joins the handlers that have returned, so that a long run keeps no dead threads.
    void reapFinished() {
        for (auto it = handlers.begin(); it != handlers.end();) {
            if (!it->finished) {
                ++it;
                continue;
            }
            it->thread.join();
            it = handlers.erase(it);
        }
    }

    void acceptLoop() {
        for (;;) {
            pollfd waits[2] = {{listener, POLLIN, 0}, {wakeRead, POLLIN, 0}};
            if (::poll(waits, 2, -1) < 0 && errno != EINTR)
                return;
            if (waits[1].revents != 0)
                return;
            if (waits[0].revents == 0)
                continue;
            int socket = ::accept(listener, nullptr, nullptr);
            if (socket < 0)
                continue;
            reapFinished();
            std::lock_guard guard(lock);
            int index = static_cast<int>(received.size());
            received.emplace_back();
            sockets.push_back(socket);
            Running& running = handlers.emplace_back();
            running.thread = std::thread([this, socket, index, &running] {
                serve(socket, index);
                running.finished = true;
            });
        }
    }

    void serve(int socket, int index) {
        ServerConnection connection(socket, [this, index](std::string_view bytes) {
            std::lock_guard guard(lock);
            received[index].append(bytes);
        });
        handler(connection);
        std::lock_guard guard(lock);
        // Closed under the lock, so that stopping never shuts down a reused descriptor.
        sockets.erase(std::find(sockets.begin(), sockets.end(), socket));
        connection.close();
    }
};

LoopbackServer::LoopbackServer(Handler handler, const std::string& host, int port)
    : state(std::make_shared<State>()) {
    state->handler = std::move(handler);
    state->host = host;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    int pipeEnds[2];
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1 || ::pipe(pipeEnds) != 0)
        return;
    state->wakeRead = pipeEnds[0];
    state->wakeWrite = pipeEnds[1];
    int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int reuse = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 64) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(listener);
        return;
    }
    state->listener = listener;
    state->port = ntohs(address.sin_port);
    state->acceptor = std::thread([s = state.get()] { s->acceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
    if (state->acceptor.joinable()) {
        char stop = 1;
        (void)!::write(state->wakeWrite, &stop, 1);
        state->acceptor.join();
    }
    {
        std::lock_guard guard(state->lock);
        for (int socket : state->sockets)
            ::shutdown(socket, SHUT_RDWR);
    }
    for (State::Running& handler : state->handlers)
        handler.thread.join();
    for (int descriptor : {state->listener, state->wakeRead, state->wakeWrite}) {
        if (descriptor >= 0)
            ::close(descriptor);
    }
}

bool LoopbackServer::listening() const {
    return state->listener >= 0;
}

int LoopbackServer::port() const {
    return state->port;
}

std::string LoopbackServer::hostAndPort() const {
    return state->host + ":" + std::to_string(state->port);
}

std::string LoopbackServer::url(const std::string& path) const {
    return "http://" + hostAndPort() + path;
}

int LoopbackServer::connectionCount() const {
    std::lock_guard guard(state->lock);
    return static_cast<int>(state->received.size());
}

std::string LoopbackServer::received(int index) const {
    std::lock_guard guard(state->lock);
    if (index < 0 || index >= static_cast<int>(state->received.size()))
        return {};
    return state->received[index];
}

std::string httpResponse(std::string_view body, std::string_view headerLines,
                         std::string_view status) {
    std::string response = "HTTP/1.1 ";
    response.append(status).append("\r\n").append(headerLines);
    response.append("Content-Length: ").append(std::to_string(body.size())).append("\r\n\r\n");
    response.append(body);
    return response;
}

LoopbackServer::Handler replyWith(std::string response) {
    return [response = std::move(response)](ServerConnection& connection) {
        if (!connection.readRequest().empty())
            connection.send(response);
    };
}

Routes::Routes(std::map<std::string, std::string> responses) : responses(std::move(responses)) {}

void Routes::set(const std::string& target, std::string response) {
    std::lock_guard guard(lock);
    responses[target] = std::move(response);
}

std::string Routes::responseFor(const std::string& target) const {
    std::lock_guard guard(lock);
    auto found = responses.find(target);
    return found != responses.end() ? found->second
                                    : httpResponse("not found", "", "404 Not Found");
}

LoopbackServer::Handler serveRoutes(std::map<std::string, std::string> responses) {
    return serveRoutes(std::make_shared<const Routes>(std::move(responses)));
}

LoopbackServer::Handler serveRoutes(std::shared_ptr<const Routes> routes) {
    return [routes = std::move(routes)](ServerConnection& connection) {
        for (std::string request; !(request = connection.readRequest()).empty();) {
            std::size_t from = request.find(' ') + 1;
            if (!connection.send(
                    routes->responseFor(request.substr(from, request.find(' ', from) - from))))
                return;
        }
    };
}

LoopbackServer::Handler sendForever(std::string head, std::string piece, int pauseMs) {
    return [head = std::move(head), piece = std::move(piece), pauseMs](ServerConnection& c) {
        if (c.readRequest().empty() || !c.send(head))
            return;
        while (c.send(piece) && (pauseMs == 0 || !c.waitForClose(pauseMs))) {
        }
    };
}

int refusedPort() {
    int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(probe);
    return port;
}
