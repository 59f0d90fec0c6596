// fetchPage against a loopback server that answers every connection with the fuzzer's bytes
// and then closes it: status lines, headers, chunked bodies, redirects and cookies as a
// broken or hostile server might send them.
//
// Every request goes to the loopback server as its proxy, redirects included, so nothing
// leaves the machine whatever a Location says; scripts/fuzz.sh also runs this target in a
// network namespace of its own.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "fuzz/FuzzInput.h"
#include "platform/http/WinInet.h"
#include "tests/support/LoopbackServer.h"
#include "web/PageRequest.h"

namespace {

std::mutex answerLock;
std::string answer;

LoopbackServer& server() {
    static LoopbackServer* const running = [] {
        auto* started = new LoopbackServer([](ServerConnection& connection) {
            if (connection.readRequest().empty())
                return;
            std::string bytes;
            {
                std::lock_guard guard(answerLock);
                bytes = answer;
            }
            connection.send(bytes);
        });
        // The server answers at once and closes; only a broken client would wait long.
        DWORD waitMs = 2000, exchangeMs = 5000;
        InternetSetOptionA(nullptr, INTERNET_OPTION_CONNECT_TIMEOUT, &waitMs, sizeof waitMs);
        InternetSetOptionA(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &waitMs, sizeof waitMs);
        InternetSetOptionA(nullptr, INTERNET_OPTION_EXCHANGE_TIMEOUT, &exchangeMs,
                           sizeof exchangeMs);
        return started;
    }();
    return *running;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::uint8_t options = data.ConsumeIntegral<std::uint8_t>();
    {
        std::lock_guard guard(answerLock);
        answer = data.ConsumeRemainingBytesAsString();
    }
    const Text address = options & 1 ? "http://page.test/v" : "https://page.test/v";

    Text cookies = "a=1; b=2", returnedCookies, extraHeaders, returnedHeaders;
    Bytes postBytes;
    PageRequestOptions request;
    request.method = options >> 1 & 3;
    request.postText = "q=1";
    request.cookies = options & 8 ? &cookies : nullptr;
    request.returnedCookies = &returnedCookies;
    request.extraHeaders = &extraHeaders;
    request.returnedHeaders = &returnedHeaders;
    request.noRedirect = options & 16;
    request.postBytes = &postBytes;
    request.proxy = server().hostAndPort();
    fetchPage(address, request);
    // The shared cookie store would grow from run to run.
    InternetSetOptionA(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
    return 0;
}
