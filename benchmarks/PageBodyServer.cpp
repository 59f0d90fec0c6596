// Serves bodies of given sizes on 127.0.0.1, the one of N bytes at "/N", for timing whole
// fetches against curl. Prints the server's address, then serves until killed.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <unistd.h>

#include "tests/support/LoopbackServer.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s BODY_BYTES...\n", argv[0]);
        return 2;
    }
    std::map<std::string, std::string> responses;
    for (int i = 1; i < argc; ++i) {
        std::string body(std::strtoul(argv[i], nullptr, 10), '\0');
        for (std::size_t k = 0; k < body.size(); ++k)
            body[k] = static_cast<char>('a' + k % 26);
        responses["/" + std::to_string(body.size())] =
            httpResponse(body, "Content-Type: text/html\r\n");
    }
    // Sent a slice at a time: one send of a whole large response holds back its first byte
    // for as long as the kernel takes to queue most of it, which would blur the comparison.
    LoopbackServer server([&responses](ServerConnection& connection) {
        constexpr std::size_t slice = 64 * 1024;
        for (std::string request; !(request = connection.readRequest()).empty();) {
            const std::size_t from = request.find(' ') + 1;
            const auto found = responses.find(request.substr(from, request.find(' ', from) - from));
            const std::string_view response =
                found != responses.end() ? std::string_view(found->second)
                                         : std::string_view("HTTP/1.1 404 Not Found\r\n\r\n");
            for (std::size_t sent = 0; sent < response.size(); sent += slice) {
                if (!connection.send(response.substr(sent, slice)))
                    return;
            }
        }
    });
    if (!server.listening())
        return 1;
    std::printf("%s\n", server.url("").c_str());
    std::fflush(stdout);
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    sigprocmask(SIG_BLOCK, &stop, nullptr);
    int signal = 0;
    sigwait(&stop, &signal);
    return 0;
}
