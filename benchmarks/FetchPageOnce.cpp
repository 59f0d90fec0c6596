// Fetches one page with fetchPage and prints its size and the time fetchPage took, so a
// script can time and measure the whole run against curl.
#include <cstdio>
#include <ctime>

#include "web/PageRequest.h"

namespace {

double seconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ADDRESS\n", argv[0]);
        return 2;
    }
    double start = seconds();
    Bytes body = fetchPage(argv[1]);
    double elapsed = seconds() - start;
    std::printf("%zu bytes in %.4f s\n", body.size(), elapsed);
    return body.empty() ? 1 : 0;
}
