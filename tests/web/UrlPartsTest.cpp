#include "web/UrlParts.h"

#include <gtest/gtest.h>

namespace {

struct AddressCase {
    const char* address;
    const char* host;
    const char* hostWithPort;
    int port;
    const char* path;
};

const AddressCase addressCases[] = {
    {"http://x.y.z/a/b?c=1", "x.y.z", "x.y.z", 80, "/a/b?c=1"},
    {"x.y.z", "x.y.z", "x.y.z", 80, "/"},
    {"HTTPS://X.Y.Z", "x.y.z", "x.y.z", 443, "/"},
    {"https://x.y.z:8443/q", "x.y.z", "x.y.z:8443", 8443, "/q"},
    {"http://x.y.z:8080", "x.y.z", "x.y.z:8080", 8080, "/"},
    // A colon with no digits after it is port 0.
    {"http://x.y.z:/p", "x.y.z", "x.y.z:", 0, "/p"},
    // Only "/" ends the host, so a query right after it stays in the host.
    {"http://x.y.z?q=1", "x.y.z?q=1", "x.y.z?q=1", 80, "/"},
    // The first "http://" anywhere is taken, even inside a query; the path then
    // starts at the "/" after that host.
    {"ftp://q/?u=http://x.y.z/", "x.y.z", "x.y.z", 80, "/"},
    // No scheme, but the text begins with "https": the port follows the letters.
    {"httpsx.y.z/p", "httpsx.y.z", "httpsx.y.z", 443, "/p"},
    {"", "", "", 80, "/"},
    // The path keeps the address's own letter case.
    {"HTTP://Www.Example.COM/Video/ID_X?Lang=CN", "www.example.com", "www.example.com", 80,
     "/Video/ID_X?Lang=CN"},
    {"https://x.y.z/", "x.y.z", "x.y.z", 443, "/"},
    {"http://127.0.0.1:18080/page.html", "127.0.0.1", "127.0.0.1:18080", 18080, "/page.html"},
    // GBK bytes pass through untouched.
    {"http://例子.x.com/路径", "例子.x.com", "例子.x.com", 80, "/路径"},
};

TEST(UrlPartsTest, CutsHostPortAndPath) {
    for (const AddressCase& c : addressCases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(urlHost(c.address), c.host);
        EXPECT_EQ(urlHost(c.address, false, true), c.hostWithPort);
        EXPECT_EQ(urlPort(c.address), c.port);
        EXPECT_EQ(urlPath(c.address), c.path);
    }
}

struct HostFormCase {
    const char* address;
    bool rootDomain;
    bool keepPort;
    std::optional<int> dotCount;
    const char* host;
};

const HostFormCase hostFormCases[] = {
    {"http://x.y.z/a", true, false, std::nullopt, "y.z"},
    {"http://localhost/a", true, false, std::nullopt, "localhost"},
    {"http://x.y.z:81/a", true, false, std::nullopt, "y.z"},
    {"http://x.y.z:81/a", true, true, std::nullopt, "y.z:81"},
    {"a.b.x.y.z", false, false, 1, "x.y.z"},
    {"a.b.x.y.z", true, false, 1, "y.z"},
    {"a.b.x.y.z", true, false, 0, "z"},
    {"a.b.x.y.z", false, false, 0, "y.z"},
    {"a.b.x.y.z", false, false, 5, "a.b.x.y.z"},
    {"a.b.x.y.z", true, false, 5, "a.b.x.y.z"},
    {"a.b.x.y.z", true, false, 4, "a.b.x.y.z"},
    {"a.b.x.y.z", true, false, 3, "b.x.y.z"},
    {"http://a.b.x.y.z:81/p", false, false, 1, "x.y.z"},
    {"http://a.b.x.y.z:81/p", true, false, 1, "y.z"},
    {"http://a.b.x.y.z:81/p", true, false, 0, "z"},
    {"http://a.b.x.y.z:81/p", false, false, 5, "a.b.x.y.z"},
    {"http://a.b.x.y.z:81/p", false, true, 1, "x.y.z:81"},
    {"HTTPS://A.B.X.Y.Z/P", false, false, 1, "x.y.z"},
    {"localhost", false, false, 1, "localhost"},
    {"localhost", true, false, 0, "localhost"},
    {"", true, false, 1, ""},
    // A negative count cuts nothing more than zero does.
    {"a.b.x.y.z", false, false, -3, "y.z"},
};

TEST(UrlPartsTest, RootDomainAndDotCountForms) {
    for (const HostFormCase& c : hostFormCases) {
        SCOPED_TRACE(std::string(c.address) + " root=" + std::to_string(c.rootDomain) +
                     " port=" + std::to_string(c.keepPort) +
                     " dots=" + (c.dotCount ? std::to_string(*c.dotCount) : "none"));
        EXPECT_EQ(urlHost(c.address, c.rootDomain, c.keepPort, c.dotCount), c.host);
    }
}

} // namespace
