// What wininet.so hands back: the body in pieces, the header block, and failures.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/platform/wininet/loopback_server.h"
#include "tests/platform/wininet/wininet_test_support.h"

namespace {

using vidmora::testing::LoopbackServer;
using vidmora::testing::run_request;

std::string pattern(std::size_t n) {
    std::string text(n, '\0');
    for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
    return text;
}

// One open request on a loopback server, sent and ready to be read.
class WininetResponse : public ::testing::Test {
  protected:
    void SetUp() override {
        auto& routes = server_.routes();
        routes.Get("/big", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(big_, "application/octet-stream");
        });
        routes.Get("/five", [](const httplib::Request&, httplib::Response& response) {
            response.set_header("set-cookie", "a=1");
            response.set_content("12345", "text/plain");
        });
        routes.Get("/chunked", [](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider("text/plain",
                                                  [](size_t, httplib::DataSink& sink) {
                                                      sink.write("abc", 3);
                                                      sink.done();
                                                      return true;
                                                  });
        });
        routes.Get("/cut", [](const httplib::Request&, httplib::Response& response) {
            // Announces 1000 bytes, sends 400, then drops the connection.
            response.set_content_provider(1000, "application/octet-stream",
                                          [](size_t offset, size_t, httplib::DataSink& sink) {
                                              if (offset > 0) return false;
                                              sink.write(std::string(400, 'c').data(), 400);
                                              return true;
                                          });
        });
        server_.start();
        internet_ = InternetOpenA("Agent/1", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    }
    void TearDown() override {
        if (request_) InternetCloseHandle(request_);
        if (connection_) InternetCloseHandle(connection_);
        InternetCloseHandle(internet_);
    }
    bool send(const std::string& path) {
        connection_ = InternetConnectA(internet_, "127.0.0.1", server_.port(), nullptr, nullptr,
                                       INTERNET_SERVICE_HTTP, 0, 0);
        request_ =
            HttpOpenRequestA(connection_, "GET", path.c_str(), "HTTP/1.1", nullptr, nullptr, 0, 0);
        return HttpSendRequestA(request_, nullptr, 0, nullptr, 0);
    }

    const std::string big_ = pattern(3'000'001);
    LoopbackServer server_;
    HINTERNET internet_ = nullptr;
    HINTERNET connection_ = nullptr;
    HINTERNET request_ = nullptr;
};

TEST_F(WininetResponse, BodyComesInPiecesOfAtMostTheAskedSize) {
    ASSERT_TRUE(send("/big"));
    std::string body;
    std::vector<char> buffer(100000);
    std::uint32_t count = 0;
    while (true) {
        count = 12345;
        ASSERT_TRUE(InternetReadFile(request_, buffer.data(), 100000, &count));
        if (count == 0) break;
        ASSERT_LE(count, 100000u);
        if (body.size() + 100000 <= big_.size()) {
            ASSERT_EQ(count, 100000u);
        }
        body.append(buffer.data(), count);
    }
    EXPECT_EQ(body.size(), big_.size());
    EXPECT_TRUE(body == big_);
    // The end stays the end.
    EXPECT_TRUE(InternetReadFile(request_, buffer.data(), 100000, &count));
    EXPECT_EQ(count, 0u);
}

TEST_F(WininetResponse, ServerStoppingMidBodyGivesWhatArrived) {
    ASSERT_TRUE(send("/cut"));
    std::string body;
    char buffer[300];
    std::uint32_t count = 0;
    while (InternetReadFile(request_, buffer, sizeof buffer, &count) && count > 0)
        body.append(buffer, count);
    EXPECT_EQ(body, std::string(400, 'c'));
    EXPECT_EQ(count, 0u);
}

TEST_F(WininetResponse, RawHeaderBlockAndItsBufferRules) {
    ASSERT_TRUE(send("/five"));
    char block[4096];
    std::uint32_t length = sizeof block;
    ASSERT_TRUE(HttpQueryInfoA(request_, HTTP_QUERY_RAW_HEADERS_CRLF, block, &length, nullptr));
    std::string text(block);
    EXPECT_EQ(length, text.size());
    EXPECT_TRUE(text.starts_with("HTTP/1.1 200 OK\r\n")) << text;
    EXPECT_NE(text.find("\r\nContent-Length: 5\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nset-cookie: a=1\r\n"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("\r\n\r\n")) << text;
    EXPECT_EQ(text.find("\r\n\r\n"), text.size() - 4);

    // One byte short (no room for the NUL): refused, buffer untouched, the size needed told.
    char small[4096];
    std::memset(small, 'x', sizeof small);
    std::uint32_t short_length = static_cast<std::uint32_t>(text.size());
    EXPECT_FALSE(
        HttpQueryInfoA(request_, HTTP_QUERY_RAW_HEADERS_CRLF, small, &short_length, nullptr));
    EXPECT_EQ(short_length, text.size() + 1);
    EXPECT_EQ(std::string(small, sizeof small), std::string(sizeof small, 'x'));

    char number[32];
    std::uint32_t number_length = sizeof number;
    ASSERT_TRUE(
        HttpQueryInfoA(request_, HTTP_QUERY_CONTENT_LENGTH, number, &number_length, nullptr));
    EXPECT_STREQ(number, "5");
    EXPECT_EQ(number_length, 1u);
    number_length = 1;
    EXPECT_FALSE(
        HttpQueryInfoA(request_, HTTP_QUERY_CONTENT_LENGTH, number, &number_length, nullptr));
    EXPECT_EQ(number_length, 2u);
}

TEST_F(WininetResponse, NoContentLengthWithoutTheHeader) {
    ASSERT_TRUE(send("/chunked"));
    char number[32];
    std::uint32_t length = sizeof number;
    EXPECT_FALSE(HttpQueryInfoA(request_, HTTP_QUERY_CONTENT_LENGTH, number, &length, nullptr));
    std::uint32_t count = 0;
    char buffer[16];
    ASSERT_TRUE(InternetReadFile(request_, buffer, sizeof buffer, &count));
    EXPECT_EQ(std::string(buffer, count), "abc");
}

TEST_F(WininetResponse, NoResponseMeansSendFailsAndNothingToRead) {
    LoopbackServer closed;
    closed.start();
    int port = closed.port();
    closed.stop();  // nobody listens there any more: the connection is refused

    connection_ = InternetConnectA(internet_, "127.0.0.1", port, nullptr, nullptr,
                                   INTERNET_SERVICE_HTTP, 0, 0);
    request_ = HttpOpenRequestA(connection_, "GET", "/", "HTTP/1.1", nullptr, nullptr, 0, 0);
    EXPECT_FALSE(HttpSendRequestA(request_, nullptr, 0, nullptr, 0));
    char buffer[16];
    std::uint32_t count = 99;
    EXPECT_FALSE(InternetReadFile(request_, buffer, sizeof buffer, &count));
    EXPECT_EQ(count, 0u);
    std::uint32_t length = sizeof buffer;
    EXPECT_FALSE(HttpQueryInfoA(request_, HTTP_QUERY_RAW_HEADERS_CRLF, buffer, &length, nullptr));
}

TEST(WininetHandles, ClosedAndForeignHandlesAreRefused) {
    HINTERNET internet = InternetOpenA("A", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_NE(internet, nullptr);
    // An internet handle is no request, and a connection needs a host and the HTTP service.
    std::uint32_t count = 7;
    char buffer[4];
    EXPECT_FALSE(InternetReadFile(internet, buffer, sizeof buffer, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(InternetConnectA(internet, "", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0),
              nullptr);
    EXPECT_EQ(InternetConnectA(internet, "h", 80, nullptr, nullptr, 1, 0, 0), nullptr);
    EXPECT_TRUE(InternetCloseHandle(internet));
    EXPECT_FALSE(InternetCloseHandle(internet));
    EXPECT_EQ(InternetConnectA(internet, "h", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0),
              nullptr);
    EXPECT_FALSE(InternetCloseHandle(nullptr));
}

TEST(WininetTls, SelfSignedCertificateIsRejected) {
    LoopbackServer server(
        std::make_unique<httplib::SSLServer>(VIDMORA_TEST_CERTIFICATE, VIDMORA_TEST_PRIVATE_KEY));
    server.routes().Get("/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("secret", "text/plain");
    });
    server.start();
    HINTERNET internet = InternetOpenA("A", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    auto outcome = run_request(internet, "127.0.0.1", server.port(),
                               {.flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_SECURE});
    InternetCloseHandle(internet);
    EXPECT_FALSE(outcome.sent);
    EXPECT_EQ(outcome.body, "");
    EXPECT_EQ(outcome.raw_headers, "");
}

}  // namespace
