// The HTTP layer's parsing of header text: the response lines as curl hands them over, the
// caller's request header block, the proxy and bypass lists. Besides not failing, no request
// line may carry a line break (that would smuggle headers), the kept response block is whole
// lines, and a proxy is one entry of its list.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/FuzzInput.h"
#include "platform/http/ProxyList.h"
#include "platform/http/RequestHeaders.h"
#include "platform/http/ResponseHeaders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const bool followingRedirects = data.ConsumeBool();
    const std::string proxyList = data.ConsumeRandomLengthString(64);
    const std::string bypassList = data.ConsumeRandomLengthString(64);
    const std::string text = data.ConsumeRemainingBytesAsString();

    ResponseHeaders response;
    response.setFollowingRedirects(followingRedirects);
    std::string_view rest = text;
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        end = end == std::string_view::npos ? rest.size() : end + 1;
        response.addLine(rest.substr(0, end));
        rest.remove_prefix(end);
    }
    const std::string& block = response.text();
    check(block.empty() || (block.size() >= 2 && block.compare(block.size() - 2, 2, "\r\n") == 0));
    check(!response.finalComplete() || !block.empty());

    // (curl reads a line up to a zero byte, which can only shorten it.)
    for (const std::string& line : curlHeaderLines(text))
        check(line.find_first_of("\r\n") == std::string::npos);
    // One whole entry of the list, with a scheme; a bypass list in curl's form.
    for (const char* scheme : {"http", "https"}) {
        std::string proxy = proxyForScheme(proxyList, scheme);
        check(proxy.empty() || (proxy.find("://") != std::string::npos &&
                                proxy.find_first_of("; \t") == std::string::npos));
    }
    check(noProxyList(bypassList).find_first_of("; \t") == std::string::npos);
    return 0;
}
