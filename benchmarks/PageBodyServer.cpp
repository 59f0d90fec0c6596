// Serves one body of a given size to every request on 127.0.0.1, for timing whole
// fetches against curl. Prints the page address, then serves until killed.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "tests/support/LoopbackServer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s BODY_BYTES\n", argv[0]);
        return 2;
    }
    std::string body(std::strtoul(argv[1], nullptr, 10), '\0');
    for (std::size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>('a' + i % 26);
    const std::string response = httpResponse(body, "Content-Type: text/html\r\n");
    body.clear();
    body.shrink_to_fit();

    LoopbackServer server([&response](ServerConnection& connection) {
        while (!connection.readRequest().empty()) {
            if (!connection.send(response))
                return;
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
