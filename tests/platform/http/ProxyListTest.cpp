#include <gtest/gtest.h>

#include "platform/http/ProxyList.h"

TEST(ProxyList, ProxyForScheme) {
    struct Case {
        const char* list;
        const char* scheme;
        const char* proxy;
    };
    const Case cases[] = {
        {"p:8080", "http", "http://p:8080"},
        {"p:8080", "https", "http://p:8080"},
        {"http=p:8080", "http", "http://p:8080"},
        {"http=p:8080", "https", ""}, // for plain HTTP only
        {"https=s:1 http=h:2", "https", "http://s:1"},
        {"https=s:1;http=h:2", "http", "http://h:2"},
        {"all:1 http=h:2", "http", "http://h:2"}, // the scheme's own entry wins
        {"all:1 http=h:2", "https", "http://all:1"},
        {"socks=k:1080", "http", "socks4://k:1080"},
        {"socks=k:1080 all:1", "http", "http://all:1"},
        {"http=http://h:2", "http", "http://h:2"},
        {"", "http", ""},
        {" ;; ", "http", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(proxyForScheme(c.list, c.scheme), c.proxy) << c.list << " " << c.scheme;
}

TEST(ProxyList, NoProxyList) {
    struct Case {
        const char* bypass;
        const char* hosts;
    };
    const Case cases[] = {
        {"", ""},
        {"a.b", "a.b"},
        {"*.x.y;a.b c.d", ".x.y,a.b,c.d"},
        {"<local>;a.b", "a.b"}, // curl cannot say "hosts without a dot"
        {"10.*;a.b", "a.b"},    // nor a wildcard inside a name
        {"*", "*"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(noProxyList(c.bypass), c.hosts) << c.bypass;
}
