// download_bytes on the wire: the real wininet.so against a real server on loopback. This
// program puts its own InternetOpenA and InternetReadFile in front of the library's, so that a
// test sees how often the internet handle is opened and what read size is asked for.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/wininet/wininet.h"
#include "tests/platform/wininet/loopback_server.h"
#include "web/download_bytes.h"

namespace {

int g_opens = 0;
std::vector<std::uint32_t> g_read_sizes;

template <typename Function>
Function library_entry(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" HINTERNET InternetOpenA(const char* agent, std::uint32_t access_type, const char* proxy,
                                   const char* proxy_bypass, std::uint32_t flags) {
    ++g_opens;
    static auto real = library_entry<decltype(&InternetOpenA)>("InternetOpenA");
    return real(agent, access_type, proxy, proxy_bypass, flags);
}

extern "C" std::int32_t InternetReadFile(HINTERNET file, void* buffer, std::uint32_t bytes_to_read,
                                         std::uint32_t* bytes_read) {
    g_read_sizes.push_back(bytes_to_read);
    static auto real = library_entry<decltype(&InternetReadFile)>("InternetReadFile");
    return real(file, buffer, bytes_to_read, bytes_read);
}

namespace vidmora {
namespace {

using testing::LoopbackServer;

// Image-like bytes, NULs included.
std::string pattern(std::size_t n) {
    std::string text(n, '\0');
    for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<char>(i * 31 % 251);
    return text;
}
Bytes pattern_bytes(std::size_t n) {
    std::string text = pattern(n);
    return Bytes(text.begin(), text.end());
}

class DownloadBytes : public ::testing::Test {
  protected:
    void SetUp() override {
        auto& routes = server_.routes();
        routes.Get(R"(/length/(\d+))",
                   [](const httplib::Request& request, httplib::Response& response) {
                       response.set_content(pattern(std::stoul(request.matches[1])), "image/jpeg");
                   });
        routes.Get("/unannounced", [](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider("image/jpeg", [](size_t, httplib::DataSink& sink) {
                sink.write(pattern(30000).data(), 30000);
                sink.done();
                return true;
            });
        });
        routes.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
            response.set_content("no such image", "text/html");
        });
        routes.Get("/cut", [](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(100000, "image/jpeg",
                                          [](size_t offset, size_t, httplib::DataSink& sink) {
                                              if (offset > 0) return false;
                                              sink.write(pattern(40000).data(), 40000);
                                              return true;
                                          });
        });
        server_.start();
        g_read_sizes.clear();
    }

    LoopbackServer server_;
};

TEST_F(DownloadBytes, ImageRequestOnTheWire) {
    Bytes body = download_bytes(server_.url("/length/10?q=1#part"));
    EXPECT_EQ(body, pattern_bytes(10));
    auto seen = server_.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "GET");
    EXPECT_EQ(seen[0].target, "/length/10?q=1");  // the fragment is never sent
    EXPECT_EQ(seen[0].version, "HTTP/1.0");
    const httplib::Headers expected = {
        {"Host", server_.origin()},
        {"User-Agent", kDownloadUserAgent},
        {"Accept", "*/*"},
    };
    EXPECT_EQ(seen[0].headers, expected);
}

TEST_F(DownloadBytes, ReadSizeFollowsTheAnnouncedLength) {
    struct Case {
        std::string path;
        std::size_t length;
        std::uint32_t read_size;
    };
    const Case cases[] = {
        {"/length/5000", 5000, 5001},
        {"/length/200000", 200000, 102400},
        {"/unannounced", 30000, 10240},
        {"/length/0", 0, 10240},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        g_read_sizes.clear();
        Bytes body = download_bytes(server_.url(c.path));
        EXPECT_EQ(body.size(), c.length);
        EXPECT_TRUE(body == pattern_bytes(c.length));
        ASSERT_FALSE(g_read_sizes.empty());
        for (auto size : g_read_sizes) EXPECT_EQ(size, c.read_size);
    }
}

TEST_F(DownloadBytes, OneInternetHandleForAllDownloads) {
    int before = g_opens;
    EXPECT_TRUE(download_bytes("").empty());  // opens nothing
    EXPECT_EQ(g_opens, before);
    download_bytes(server_.url("/length/1"));
    download_bytes(server_.url("/length/2"));
    // Opened by the first download of this program at the latest, then kept.
    EXPECT_LE(g_opens, 1);
    EXPECT_EQ(server_.seen().size(), 2u);
}

TEST_F(DownloadBytes, StatusIsNotLookedAt) {
    EXPECT_EQ(bytes_to_text(download_bytes(server_.url("/missing"))), "no such image");
}

TEST_F(DownloadBytes, ServerStoppingMidBodyGivesWhatArrived) {
    Bytes body = download_bytes(server_.url("/cut"));
    EXPECT_EQ(body.size(), 40000u);
    EXPECT_TRUE(body == pattern_bytes(40000));
}

TEST_F(DownloadBytes, AddressesThatAreNotFetched) {
    for (const char* address : {"http://", "ftp://h.example/x", "no address", "mailto:a@b"})
        EXPECT_TRUE(download_bytes(address).empty()) << address;
    EXPECT_TRUE(server_.seen().empty());
}

TEST(DownloadBytesTls, SelfSignedServerGivesNothing) {
    LoopbackServer server(
        std::make_unique<httplib::SSLServer>(VIDMORA_TEST_CERTIFICATE, VIDMORA_TEST_PRIVATE_KEY));
    server.routes().Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("secret", "image/jpeg");
    });
    server.start();
    EXPECT_TRUE(download_bytes(server.url("/", "https")).empty());
}

}  // namespace
}  // namespace vidmora
