// web_request on the wire: the real wininet.so against a real server on loopback.
#include <gtest/gtest.h>

#include <string>

#include "tests/platform/wininet/loopback_server.h"
#include "web/web_request.h"

namespace vidmora {
namespace {

using testing::LoopbackServer;

class WebRequestWire : public ::testing::Test {
  protected:
    void SetUp() override {
        auto& routes = server_.routes();
        routes.Get("/page", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("page body", "text/html");
        });
        routes.Get("/missing", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
            response.set_content("not here", "text/html");
        });
        routes.Get("/from", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("/page");
            response.set_content("moved", "text/html");
        });
        routes.Get("/cookies", [](const httplib::Request& request, httplib::Response& response) {
            response.set_header("Set-Cookie", "fresh=2; Path=/");
            response.set_header("set-cookie", "old=deleted; Path=/");
            response.set_content(request.get_header_value("Cookie"), "text/plain");
        });
        routes.Get("/fat-headers", [](const httplib::Request&, httplib::Response& response) {
            response.set_header("Set-Cookie", "big=1");
            response.set_header("X-Pad", std::string(5200, 'p'));
            response.set_content("thin body", "text/plain");
        });
        server_.start();
    }

    LoopbackServer server_;
};

TEST_F(WebRequestWire, TheSystemsCallOnTheWire) {
    const Text url = server_.url("/page");
    Text response_headers;
    Bytes body = web_request(url, 0, {}, nullptr, nullptr, nullptr, &response_headers);
    EXPECT_EQ(bytes_to_text(body), "page body");
    EXPECT_TRUE(response_headers.starts_with("HTTP/1.1 200 OK\r\n")) << response_headers;
    auto seen = server_.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "GET");
    EXPECT_EQ(seen[0].target, "/page");
    EXPECT_EQ(seen[0].version, "HTTP/1.1");
    const httplib::Headers expected = {
        {"Host", server_.origin()},
        {"User-Agent", kDefaultUserAgent},
        {"Accept", "*/*"},
        {"Referer", url},
        {"Accept-Language", "zh-cn"},
        {"Content-Type", "application/x-www-form-urlencoded"},
    };
    EXPECT_EQ(seen[0].headers, expected);
}

TEST_F(WebRequestWire, CookiesTheServerSetsComeBackMerged) {
    Text cookies = "old=1; keep=3";
    Text response_cookies;
    Bytes body = web_request(server_.url("/cookies"), 0, {}, &cookies, &response_cookies);
    EXPECT_EQ(bytes_to_text(body), "old=1; keep=3");
    EXPECT_EQ(response_cookies, "fresh=2; keep=3");
    EXPECT_EQ(cookies, "fresh=2; keep=3");

    // The merged text is what the next request carries, and only once.
    web_request(server_.url("/cookies"), 0, {}, &cookies);
    EXPECT_EQ(server_.seen().back().header("Cookie"), "fresh=2; keep=3");
}

TEST_F(WebRequestWire, RedirectFollowedUnlessRefused) {
    EXPECT_EQ(bytes_to_text(web_request(server_.url("/from"))), "page body");
    Text headers;
    Bytes kept = web_request(server_.url("/from"), 0, {}, nullptr, nullptr, nullptr, &headers, 1);
    EXPECT_EQ(bytes_to_text(kept), "moved");
    EXPECT_TRUE(headers.starts_with("HTTP/1.1 302 Found\r\n")) << headers;
}

TEST_F(WebRequestWire, ErrorStatusBodyIsTheBody) {
    EXPECT_EQ(bytes_to_text(web_request(server_.url("/missing"))), "not here");
}

TEST_F(WebRequestWire, HeaderBlockOver5000BytesGivesBlanksButTheBody) {
    // Cookies given, so that the client's store, shared by the whole program, stays clean.
    Text headers, given, cookies = "unset";
    Bytes body =
        web_request(server_.url("/fat-headers"), 0, {}, &given, &cookies, nullptr, &headers);
    EXPECT_EQ(bytes_to_text(body), "thin body");
    EXPECT_EQ(headers, blank_text(5000));
    EXPECT_EQ(cookies, "");
}

TEST_F(WebRequestWire, PostSendsItsBodyAndTheHeaderTextIsWrittenBack) {
    Text headers = "X-Mine: 1";
    Bytes body_bytes;
    web_request(server_.url("/page"), 1, "a=1&b=2", nullptr, nullptr, &headers, nullptr, 0,
                &body_bytes);
    auto seen = server_.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].method, "POST");
    EXPECT_EQ(seen[0].body, "a=1&b=2");
    EXPECT_EQ(seen[0].header("X-Mine"), "1");
    EXPECT_EQ(seen[0].header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(body_bytes, text_to_bytes("a=1&b=2"));
    EXPECT_TRUE(headers.starts_with("X-Mine: 1\r\nAccept: */*\r\nReferer: ")) << headers;
}

TEST(WebRequestTls, SelfSignedServerGivesEmptyResults) {
    LoopbackServer server(
        std::make_unique<httplib::SSLServer>(VIDMORA_TEST_CERTIFICATE, VIDMORA_TEST_PRIVATE_KEY));
    server.routes().Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "s=1");
        response.set_content("secret", "text/plain");
    });
    server.start();
    Text headers, cookies;
    Bytes body = web_request(server.url("/", "https"), 0, {}, nullptr, &cookies, nullptr, &headers);
    EXPECT_TRUE(body.empty());
    EXPECT_EQ(headers, blank_text(5000));
    EXPECT_EQ(cookies, "");
}

}  // namespace
}  // namespace vidmora
