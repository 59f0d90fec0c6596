#include "platform/http/RequestUrl.h"

#include <curl/curl.h>
#include <memory>

namespace {

// Bytes that cannot stand in a request line travel percent-encoded.
std::string requestTarget(const std::string& objectName) {
    std::string target = objectName.empty() || objectName[0] != '/' ? "/" : "";
    for (unsigned char byte : objectName) {
        if (byte <= 0x20 || byte == 0x7F) {
            static const char digits[] = "0123456789ABCDEF";
            target += '%';
            target += digits[byte >> 4];
            target += digits[byte & 0x0F];
        } else {
            target += static_cast<char>(byte);
        }
    }
    return target;
}

} // namespace

std::string requestUrl(bool secure, const std::string& serverName, unsigned port,
                       const std::string& objectName) {
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), curl_url_cleanup);
    if (!url)
        return {};
    auto set = [&url](CURLUPart part, const std::string& value) {
        return curl_url_set(url.get(), part, value.c_str(), 0) == CURLUE_OK;
    };
    // An IPv6 address is the one host that holds ':', and curl takes it in brackets. curl
    // checks the host as it takes it; the path is taken as it is.
    std::string host =
        serverName.find(':') != std::string::npos ? "[" + serverName + "]" : serverName;
    char* whole = nullptr;
    if (!set(CURLUPART_SCHEME, secure ? "https" : "http") || !set(CURLUPART_HOST, host) ||
        !set(CURLUPART_PORT, std::to_string(port)) ||
        !set(CURLUPART_PATH, requestTarget(objectName)) ||
        curl_url_get(url.get(), CURLUPART_URL, &whole, 0) != CURLUE_OK)
        return {};
    std::string result = whole;
    curl_free(whole);
    return result;
}
