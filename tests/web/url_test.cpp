#include <gtest/gtest.h>

#include "web/url.h"

namespace vidmora {
namespace {

struct UrlCase {
    const char* url;
    const char* host;
    const char* host_with_port;
    const char* base_domain;
    std::int32_t port;
    const char* path;
};

TEST(Url, TakesHostPortAndPathApart) {
    const UrlCase cases[] = {
        {"HTTP://Aa.Bb.Cc:8080/X/Y?z=1", "aa.bb.cc", "aa.bb.cc:8080", "bb.cc", 8080, "/X/Y?z=1"},
        {"http://aa.bb/video/123", "aa.bb", "aa.bb", "aa.bb", 80, "/video/123"},
        {"https://aa.bb", "aa.bb", "aa.bb", "aa.bb", 443, "/"},
        {"HTTPS://Aa.Bb/P", "aa.bb", "aa.bb", "aa.bb", 443, "/P"},
        {"https://aa.bb:8443/", "aa.bb", "aa.bb:8443", "aa.bb", 8443, "/"},
        {"aa.bb/x", "aa.bb", "aa.bb", "aa.bb", 80, "/x"},
        {"", "", "", "", 80, "/"},
        // No "/" before the query: everything up to the "/" that is added belongs to the host.
        {"aa.bb?q=1", "aa.bb?q=1", "aa.bb?q=1", "aa.bb?q=1", 80, "/"},
        // Without a scheme, a text starting with "https" still gets the https port.
        {"httpsaa.bb/x", "httpsaa.bb", "httpsaa.bb", "httpsaa.bb", 443, "/x"},
        {"HTTPSaa.bb/x", "httpsaa.bb", "httpsaa.bb", "httpsaa.bb", 443, "/x"},
        // A colon without digits: port 0, not the scheme's default.
        {"http://aa.bb:/x", "aa.bb", "aa.bb:", "aa.bb", 0, "/x"},
        {"http://aa.bb:12ab/x", "aa.bb", "aa.bb:12ab", "aa.bb", 12, "/x"},
        {"http://aa/x", "aa", "aa", "aa", 80, "/x"},
        {"http://localhost:8080", "localhost", "localhost:8080", "localhost", 8080, "/"},
        // The path keeps its letter case, its query and its fragment.
        {"http://aa.bb/A/b?C=d#E", "aa.bb", "aa.bb", "aa.bb", 80, "/A/b?C=d#E"},
        // Hosts that also occur inside the scheme are looked for after it.
        {"http://tt/x", "tt", "tt", "tt", 80, "/x"},
        {"https://s:8443/x", "s", "s:8443", "s", 8443, "/x"},
        {"http:///x", "", "", "", 80, "/x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        EXPECT_EQ(url_host(c.url), c.host);
        EXPECT_EQ(url_host(c.url, false, true), c.host_with_port);
        EXPECT_EQ(url_host(c.url, true), c.base_domain);
        EXPECT_EQ(url_port(c.url), c.port);
        EXPECT_EQ(url_path(c.url), c.path);
    }
}

TEST(Url, BaseDomainKeepsThePortOfTheLastLabelWhenAsked) {
    EXPECT_EQ(url_host("http://aa.bb.cc:81/", true, true), "bb.cc:81");
    // Only the first colon counts when the port is cut.
    EXPECT_EQ(url_host("http://aa:1:2/"), "aa");
    EXPECT_EQ(url_port("http://aa:1:2/"), 2);
}

}  // namespace
}  // namespace vidmora
