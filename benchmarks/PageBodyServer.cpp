// Serves one body of a given size to every request on 127.0.0.1, for timing whole fetches
// against curl and for measuring memory while a large body streams in. The body is made as it
// is sent, so even a body of gigabytes costs the server little. Prints the page address, then
// serves until killed.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

#include "tests/support/LoopbackServer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s BODY_BYTES\n", argv[0]);
        return 2;
    }
    const unsigned long long size = std::strtoull(argv[1], nullptr, 10);
    // 64 KiB of the alphabet over and over; 26 * 2521 letters keep each block in step.
    std::string block;
    for (int i = 0; i < 26 * 2521; ++i)
        block += static_cast<char>('a' + i % 26);
    const std::string head =
        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(size) +
        "\r\n\r\n";

    LoopbackServer server([&](ServerConnection& connection) {
        while (!connection.readRequest().empty()) {
            if (!connection.send(head))
                return;
            for (unsigned long long sent = 0; sent < size; sent += block.size()) {
                std::size_t piece = static_cast<std::size_t>(
                    std::min<unsigned long long>(block.size(), size - sent));
                if (!connection.send(std::string_view(block).substr(0, piece)))
                    return;
            }
        }
    });
    if (!server.listening())
        return 1;
    std::printf("%s\n", server.url("/page").c_str());
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
