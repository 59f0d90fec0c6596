// The URL parts over any address: what holds of every result whatever the address, in both
// forms of urlHost and with every flag.
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "fuzz/FuzzInput.h"
#include "web/UrlParts.h"

namespace {

// Addresses mostly in the shape of one, so that schemes, ports and paths come up.
Text addressFrom(FuzzedDataProvider& data) {
    static const char* const pieces[] = {"http://", "https://", "HTTP://", "HTTPS://", ":",
                                         "/",       ".",        "?",       "8080",     ""};
    Text address = pieces[data.ConsumeIntegralInRange<std::size_t>(0, 9)];
    while (data.remaining_bytes() > 0 && address.size() < 2048) {
        address += nextText(data, 8);
        address += pieces[data.ConsumeIntegralInRange<std::size_t>(0, 9)];
    }
    return address;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const bool rootDomain = data.ConsumeBool();
    const bool keepPort = data.ConsumeBool();
    const std::optional<int> dotCount =
        data.ConsumeBool() ? std::optional<int>(data.ConsumeIntegralInRange(-2, 8)) : std::nullopt;
    const Text address = addressFrom(data);

    const Text host = urlHost(address, rootDomain, keepPort, dotCount);
    check(toLower(host) == host);
    if (!keepPort)
        check(findText(host, ":") == -1);
    // Cut after the scheme, the host is a piece of the lower-cased address.
    if (!dotCount)
        check(toLower(address).find(host) != Text::npos);

    const Text path = urlPath(address);
    check(leftText(path, 1) == "/");
    check(path == "/" || (address.size() >= path.size() &&
                          address.compare(address.size() - path.size(), path.size(), path) == 0));

    const int port = urlPort(address);
    if (findText(urlHost(address, false, true), ":") == -1)
        check(port == 80 || port == 443);
    return 0;
}
