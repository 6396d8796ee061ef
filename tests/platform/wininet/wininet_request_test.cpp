// What wininet.so puts on the wire, against a real server on loopback.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/platform/wininet/loopback_server.h"
#include "tests/platform/wininet/wininet_test_support.h"

namespace {

using vidmora::testing::LoopbackServer;
using vidmora::testing::RequestCall;
using vidmora::testing::RequestOutcome;

class WininetRequest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto& routes = server_.routes();
        routes.Get("/page", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("page body", "text/plain");
        });
        routes.Post("/page", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("posted", "text/plain");
        });
        routes.Get("/from", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("/page");
            response.set_content("moved", "text/plain");
        });
        routes.Get("/set-cookie", [](const httplib::Request& request, httplib::Response& response) {
            response.set_header("Set-Cookie", request.get_param_value("c") + "; Path=/");
        });
        routes.Get("/cookie", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content(request.get_header_value("Cookie"), "text/plain");
        });
        routes.Get("/gzip", [](const httplib::Request&, httplib::Response& response) {
            response.set_header("Content-Encoding", "gzip");
            response.set_content(std::string("\x1f\x8b\x08\x00 not really", 16),
                                 "application/octet-stream");
        });
        server_.start();
        internet_ = InternetOpenA("Agent/1", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        ASSERT_NE(internet_, nullptr);
    }
    void TearDown() override { InternetCloseHandle(internet_); }

    RequestOutcome run(const RequestCall& call) {
        return vidmora::testing::run_request(internet_, "127.0.0.1", server_.port(), call);
    }

    LoopbackServer server_;
    HINTERNET internet_ = nullptr;
};

TEST_F(WininetRequest, RequestLineAndEveryHeaderAsAsked) {
    struct Case {
        RequestCall call;
        httplib::Headers expected;
    };
    const std::string host = server_.origin();
    const Case cases[] = {
        // The caller's lines replace the agent and curl's Accept; a repeated name is sent once.
        {{.path = "/page?q=1",
          .headers = "accept: text/html\r\nReferer: http://r.example/\r\nX-Two: a\r\n"
                     "X-Two: b\r\nUser-Agent: Other\r\n\r\n"},
         {{"Host", host},
          {"accept", "text/html"},
          {"Referer", "http://r.example/"},
          {"X-Two", "b"},
          {"User-Agent", "Other"}}},
        {{.path = "/page", .version = "HTTP/1.0"},
         {{"Host", host}, {"User-Agent", "Agent/1"}, {"Accept", "*/*"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call.headers);
        std::size_t before = server_.seen().size();
        RequestOutcome outcome = run(c.call);
        EXPECT_TRUE(outcome.sent);
        EXPECT_EQ(outcome.body, "page body");
        auto seen = server_.seen();
        ASSERT_EQ(seen.size(), before + 1);
        EXPECT_EQ(seen.back().method, "GET");
        EXPECT_EQ(seen.back().target, c.call.path);
        EXPECT_EQ(seen.back().version, c.call.version);
        EXPECT_EQ(seen.back().headers, c.expected);
    }
}

TEST_F(WininetRequest, CallersAcceptReplacesTheAcceptTypes) {
    const char* accept[] = {"Accept: */* \r\n", nullptr};
    run({.version = "HTTP/1.0", .headers = "Accept: */*\r\n\r\n", .accept_types = accept});
    auto seen = server_.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].header("Accept"), "*/*");
}

TEST_F(WininetRequest, BodiesGoWithTheirVerb) {
    struct Case {
        std::string verb;
        std::string body;
        std::string answer;
    };
    const Case cases[] = {
        {"POST", "a=1&b=2", "posted"}, {"POST", "", "posted"}, {"HEAD", "h=3", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.verb + " " + c.body);
        RequestOutcome outcome = run({.verb = c.verb, .path = "/page", .body = c.body});
        EXPECT_TRUE(outcome.sent);
        EXPECT_EQ(outcome.body, c.answer);
        EXPECT_TRUE(outcome.raw_headers.starts_with("HTTP/1.1 200")) << outcome.raw_headers;
        auto seen = server_.seen();
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back().method, c.verb);
        // The test server reads no body of a HEAD; its length shows that it was sent.
        if (c.verb != "HEAD") {
            EXPECT_EQ(seen.back().body, c.body);
        }
        EXPECT_EQ(seen.back().header("Content-Length"), std::to_string(c.body.size()));
        EXPECT_EQ(seen.back().header("Content-Type"), "<absent>");
        EXPECT_EQ(seen.back().header("Expect"), "<absent>");
    }
}

TEST_F(WininetRequest, RedirectsFollowedUnlessRefused) {
    RequestOutcome followed = run({.path = "/from"});
    EXPECT_EQ(followed.body, "page body");
    EXPECT_TRUE(followed.raw_headers.starts_with("HTTP/1.1 200 OK\r\n")) << followed.raw_headers;

    RequestOutcome kept = run({.path = "/from", .flags = INTERNET_FLAG_NO_AUTO_REDIRECT});
    EXPECT_TRUE(kept.sent);
    EXPECT_EQ(kept.body, "moved");
    EXPECT_TRUE(kept.raw_headers.starts_with("HTTP/1.1 302 Found\r\n")) << kept.raw_headers;
    EXPECT_NE(kept.raw_headers.find("Location: /page\r\n"), std::string::npos);
}

TEST_F(WininetRequest, CookieStoreSharedByRequestsThatTakeCookies) {
    run({.path = "/set-cookie?c=store1%3Dv1"});
    EXPECT_EQ(run({.path = "/cookie"}).body, "store1=v1");
    // Another internet handle sees the same store, as in the platform.
    HINTERNET other = InternetOpenA("Agent/2", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    EXPECT_EQ(
        vidmora::testing::run_request(other, "127.0.0.1", server_.port(), {.path = "/cookie"}).body,
        "store1=v1");
    InternetCloseHandle(other);

    // The caller's own Cookie line joins the stored ones in one header.
    EXPECT_EQ(run({.path = "/cookie", .headers = "Cookie: mine=1"}).body, "store1=v1; mine=1");
    auto seen = server_.seen();
    EXPECT_EQ(seen.back().header("Cookie"), "store1=v1; mine=1");

    // Without cookies, the store is neither read nor written.
    EXPECT_EQ(
        run({.path = "/cookie", .flags = INTERNET_FLAG_NO_COOKIES, .headers = "Cookie: mine=1"})
            .body,
        "mine=1");
    run({.path = "/set-cookie?c=store2%3Dv2", .flags = INTERNET_FLAG_NO_COOKIES});
    EXPECT_EQ(run({.path = "/cookie"}).body, "store1=v1");
}

TEST_F(WininetRequest, ContentEncodingIsNotUndone) {
    RequestOutcome outcome = run({.path = "/gzip", .headers = "Accept-Encoding: gzip"});
    EXPECT_EQ(outcome.body, std::string("\x1f\x8b\x08\x00 not really", 16));
}

TEST_F(WininetRequest, NamedProxyTakesTheRequestsOfItsScheme) {
    const std::string proxy = "http=" + server_.origin();
    HINTERNET via_proxy = InternetOpenA("Agent/1", INTERNET_OPEN_TYPE_PROXY, proxy.c_str(), "", 0);
    ASSERT_NE(via_proxy, nullptr);
    vidmora::testing::run_request(via_proxy, "origin.example", 8081, {.path = "/x?y=1"});
    InternetCloseHandle(via_proxy);
    auto seen = server_.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].target, "http://origin.example:8081/x?y=1");
    EXPECT_EQ(seen[0].header("Host"), "origin.example:8081");
}

TEST_F(WininetRequest, PreconfiguredProxyComesFromTheEnvironment) {
    const std::string proxy = "http://" + server_.origin();
    setenv("http_proxy", proxy.c_str(), 1);
    unsetenv("no_proxy");
    // download_bytes asks for the preconfigured settings this way.
    HINTERNET internet = InternetOpenA("Agent/1", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    INTERNET_PROXY_INFO info{INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr};
    EXPECT_TRUE(InternetSetOptionA(internet, INTERNET_OPTION_PROXY, &info, sizeof info));
    vidmora::testing::run_request(internet, "origin.example", 80, {.path = "/env"});
    setenv("no_proxy", "127.0.0.1", 1);
    vidmora::testing::run_request(internet, "127.0.0.1", server_.port(), {.path = "/bypassed"});
    InternetCloseHandle(internet);
    unsetenv("http_proxy");
    unsetenv("no_proxy");
    auto seen = server_.seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].target, "http://origin.example/env");
    EXPECT_EQ(seen[1].target, "/bypassed");
}

}  // namespace
