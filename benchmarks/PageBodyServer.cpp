// Serves bodies of given sizes on 127.0.0.1, the one of N bytes at "/N", for timing whole
// fetches against curl. Prints the server's address, then serves until killed.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
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
    LoopbackServer server(serveRoutes(std::move(responses)));
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
