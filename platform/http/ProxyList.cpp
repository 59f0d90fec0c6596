#include "platform/http/ProxyList.h"

#include <vector>

namespace {

std::vector<std::string_view> entriesOf(std::string_view list) {
    std::vector<std::string_view> entries;
    std::size_t begin = 0;
    while (begin < list.size()) {
        std::size_t end = list.find_first_of("; \t", begin);
        if (end == std::string_view::npos)
            end = list.size();
        if (end > begin)
            entries.push_back(list.substr(begin, end - begin));
        begin = end + 1;
    }
    return entries;
}

std::string withScheme(std::string_view server, std::string_view defaultScheme) {
    if (server.find("://") != std::string_view::npos)
        return std::string(server);
    return std::string(defaultScheme) + "://" + std::string(server);
}

} // namespace

std::string proxyForScheme(std::string_view proxyList, std::string_view scheme) {
    std::string_view forScheme, forAll, socks;
    for (std::string_view entry : entriesOf(proxyList)) {
        std::size_t equals = entry.find('=');
        if (equals == std::string_view::npos) {
            if (forAll.empty())
                forAll = entry;
            continue;
        }
        std::string_view name = entry.substr(0, equals), server = entry.substr(equals + 1);
        if (name == scheme && forScheme.empty())
            forScheme = server;
        else if (name == "socks" && socks.empty())
            socks = server;
    }
    if (!forScheme.empty())
        return withScheme(forScheme, "http");
    if (!forAll.empty())
        return withScheme(forAll, "http");
    if (!socks.empty())
        return withScheme(socks, "socks4");
    return {};
}

std::string noProxyList(std::string_view bypassList) {
    std::string hosts;
    for (std::string_view entry : entriesOf(bypassList)) {
        if (entry.substr(0, 2) == "*.")
            entry.remove_prefix(1); // curl matches ".x.y" as the domain x.y
        if (entry != "*" && entry.find_first_of("*<>") != std::string_view::npos)
            continue;
        if (!hosts.empty())
            hosts += ',';
        hosts += entry;
    }
    return hosts;
}
