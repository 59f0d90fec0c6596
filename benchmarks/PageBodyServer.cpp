// Serves bodies of given sizes on 127.0.0.1, the one of N bytes at "/N", for timing whole
// fetches against curl and for measuring memory while a large body streams in. A body is made
// as it is sent, so even one of gigabytes costs the server little. Prints the server's
// address, then serves until killed.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <unistd.h>

#include "tests/support/LoopbackServer.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s BODY_BYTES...\n", argv[0]);
        return 2;
    }
    std::set<unsigned long long> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.insert(std::strtoull(argv[i], nullptr, 10));
    // 64 KiB of the alphabet over and over; 26 * 2521 letters keep each slice in step. Sent a
    // slice at a time: one send of a whole large response holds back its first byte for as
    // long as the kernel takes to queue most of it, which would blur the comparison.
    std::string block;
    for (int i = 0; i < 26 * 2521; ++i)
        block += static_cast<char>('a' + i % 26);

    LoopbackServer server([&](ServerConnection& connection) {
        for (std::string request; !(request = connection.readRequest()).empty();) {
            const std::size_t from = request.find(' ') + 2; // past " /"
            const std::string target = request.substr(from, request.find(' ', from) - from);
            const unsigned long long size = std::strtoull(target.c_str(), nullptr, 10);
            if (target.empty() || !sizes.count(size)) {
                if (!connection.send("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"))
                    return;
                continue;
            }
            if (!connection.send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                 std::to_string(size) + "\r\n\r\n"))
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
