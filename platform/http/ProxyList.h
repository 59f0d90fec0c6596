#pragma once

#include <string>
#include <string_view>

// WinInet's proxy and bypass lists turned into curl's proxy settings. Entries are
// separated by spaces or ";".

// The curl proxy URL for a request of `scheme` ("http" or "https"): an entry
// "scheme=host:port" for that scheme wins over a plain "host:port" for every scheme,
// which wins over "socks=host:port". Empty when no entry applies (connect directly).
std::string proxyForScheme(std::string_view proxyList, std::string_view scheme);

// curl's comma-separated no-proxy list for a WinInet bypass list: "*.x.y" bypasses x.y
// and its subdomains, "*" every host; "<local>" and other wildcard forms are dropped.
std::string noProxyList(std::string_view bypassList);
