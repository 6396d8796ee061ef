// What web_request hands the HTTP client, seen by a recording wininet.so that the external
// function table binds from beside this test program.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "extlib/external_table_testing.h"
#include "platform/loader.h"
#include "tests/web/recording_wininet.h"
#include "web/web_request.h"

namespace vidmora {
namespace {

const std::string kAgent = "\"Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)\"";
const char kHeaderBlock[] =
    "HTTP/1.1 200 OK\r\nset-cookie: a=1; path=/\r\nSET-COOKIE: gone=deleted\r\n\r\n";

// CR and LF written as the double's log writes them.
std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    return out;
}

class WebRequestCalls : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // Held open for the whole run, so the table's binding finds this same copy.
        library_ = dlopen((executable_directory() + "/wininet.so").c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        reset_ = reinterpret_cast<RecordingResetFn>(dlsym(library_, "recording_reset"));
        log_ = reinterpret_cast<RecordingLogFn>(dlsym(library_, "recording_log"));
        ASSERT_TRUE(reset_ && log_);
    }
    void SetUp() override { script(std::string(2500, 'b'), kHeaderBlock); }
    void script(const std::string& body, const char* headers, int failure = kFailNone) {
        reset_external_table();
        reset_(body.c_str(), headers, failure);
    }
    std::vector<std::string> calls() {
        std::vector<std::string> lines;
        std::istringstream log(log_());
        for (std::string line; std::getline(log, line);) lines.push_back(line);
        return lines;
    }
    // The first call of that entry point, or "<none>".
    std::string call(const std::string& entry) {
        for (const auto& line : calls())
            if (line.starts_with(entry + "(")) return line;
        return "<none>";
    }
    static bool bound(std::int32_t index) { return external_entry(index).address != nullptr; }

    static inline void* library_ = nullptr;
    static inline RecordingResetFn reset_ = nullptr;
    static inline RecordingLogFn log_ = nullptr;
};

TEST_F(WebRequestCalls, TheSystemsOwnCall) {
    const Text url = "http://WWW.Vidmora.com/Video/123";
    Text response_cookies = "before";
    Text response_headers;
    Bytes body = web_request(url, 0, {}, nullptr, &response_cookies, nullptr, &response_headers);

    const std::string headers =
        "Accept: */*\\r\\nReferer: http://WWW.Vidmora.com/Video/123\\r\\nAccept-Language: "
        "zh-cn\\r\\nContent-Type: application/x-www-form-urlencoded";
    const std::vector<std::string> expected = {
        "InternetOpenA(" + kAgent + ", 1, null, null, 0)",
        "InternetConnectA(I, \"www.vidmora.com\", 80, null, null, 3, 0, 0)",
        "HttpOpenRequestA(C, \"GET\", \"/Video/123\", \"HTTP/1.1\", null, null, 0x80004010, 0)",
        "HttpSendRequestA(R, \"" + headers + "\", 127, null, 0)",
        "InternetReadFile(R, 1024)",
        "InternetReadFile(R, 1024)",
        "InternetReadFile(R, 1024)",
        "InternetReadFile(R, 1024)",
        "HttpQueryInfoA(R, 22, 5000, null)",
        "InternetCloseHandle(R)",
        "InternetCloseHandle(C)",
        "InternetCloseHandle(I)",
    };
    EXPECT_EQ(calls(), expected);
    EXPECT_EQ(body, Bytes(2500, 'b'));
    EXPECT_TRUE(bound(kHttpSendRequestA));
    EXPECT_FALSE(bound(kHttpSendRequestABody));
    EXPECT_EQ(response_headers,
              "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: gone=deleted\r\n\r\n");
    // Collected but not merged: a merge would have dropped the deleted cookie.
    EXPECT_EQ(response_cookies, "a=1; gone=deleted");
}

struct Variation {
    const char* name;
    Text url = "http://h.example/p";
    std::int32_t method = 0;
    Text body_text;
    std::optional<Text> cookies;
    Text headers;
    std::int32_t no_redirect = 0;
    Bytes body_bytes;
    Text proxy;
    std::string open;  // expected calls; empty: not checked
    std::string request;
    std::string send;
};

TEST_F(WebRequestCalls, ArgumentsFollowTheInputs) {
    const std::string defaults =
        "\\r\\nReferer: http://h.example/p\\r\\nAccept-Language: zh-cn\\r\\nContent-Type: "
        "application/x-www-form-urlencoded";
    const std::string get = "HttpOpenRequestA(C, \"GET\", \"/p\", \"HTTP/1.1\", null, null, ";
    const Variation cases[] = {
        {.name = "method 7",
         .method = 7,
         .body_text = "t",
         .request = get + "0x80004010, 0)",
         .send = "HttpSendRequestA(R, \"Accept: */*" + defaults + "\", 113, null, 0)"},
        {.name = "method -1",
         .method = -1,
         .body_text = "t",
         .request = get + "0x80004010, 0)",
         .send = "HttpSendRequestA(R, \"Accept: */*" + defaults + "\", 113, null, 0)"},
        {.name = "HEAD carries the body text",
         .method = 2,
         .body_text = "h=1",
         .request =
             "HttpOpenRequestA(C, \"HEAD\", \"/p\", \"HTTP/1.1\", null, null, 0x80004010, 0)",
         .send = "HttpSendRequestA(R, \"Accept: */*" + defaults + "\", 113, \"h=1\", 3)"},
        {.name = "POST with nothing to send",
         .method = 1,
         .send = "HttpSendRequestA(R, \"Accept: */*" + defaults + "\", 113, null, 0)"},
        {.name = "POST prefers body bytes",
         .method = 1,
         .body_text = "text",
         .body_bytes = {'b', 'y'},
         .send = "HttpSendRequestA(R, \"Accept: */*" + defaults + "\", 113, \"by\", 2)"},
        {.name = "cookies given empty",
         .cookies = "",
         .request = get + "0x80084010, 0)",
         .send = "HttpSendRequestA(R, \"Accept: */*" + defaults + "\", 113, null, 0)"},
        {.name = "cookies",
         .cookies = "x=1; y=2",
         .send = "HttpSendRequestA(R, \"Accept: */*" + defaults +
                 "\\r\\nCookie: x=1; y=2\", 131, null, 0)"},
        {.name = "cookies with their header name",
         .cookies = "Cookie: x=1",
         .send =
             "HttpSendRequestA(R, \"Accept: */*" + defaults + "\\r\\nCookie: x=1\", 126, null, 0)"},
        {.name = "User-Agent line",
         .headers = "User-Agent: X",
         .open = "InternetOpenA(\"X\", 1, null, null, 0)",
         .send = "HttpSendRequestA(R, \"User-Agent: X\\r\\nAccept: */*" + defaults +
                 "\", 128, null, 0)"},
        {.name = "user-agent line in lower case",
         .headers = "user-agent: X",
         .open = "InternetOpenA(\"X\", 1, null, null, 0)"},
        {.name = "accept line in lower case",
         .headers = "accept: text/html",
         .open = "InternetOpenA(" + kAgent + ", 1, null, null, 0)",
         .send = "HttpSendRequestA(R, \"accept: text/html\\r\\nAccept: */*" + defaults +
                 "\", 132, null, 0)"},
        {.name = "proxy for http",
         .proxy = "p.example:8080",
         .open = "InternetOpenA(" + kAgent + ", 3, \"http=p.example:8080\", \"\", 0)"},
        {.name = "proxy for https",
         .url = "https://h.example/p",
         .proxy = "p.example:8080",
         .open = "InternetOpenA(" + kAgent + ", 3, \"p.example:8080\", \"\", 0)"},
        {.name = "https", .url = "HTTPS://h.example/p", .request = get + "0x80800010, 0)"},
        {.name = "https with cookies and no redirect",
         .url = "https://h.example/p",
         .cookies = "",
         .no_redirect = 1,
         .request = get + "0x80A80010, 0)"},
        {.name = "http with no redirect", .no_redirect = 5, .request = get + "0x80204010, 0)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        script("answer", kHeaderBlock);
        std::optional<Text> cookies = c.cookies;
        Text headers = c.headers;
        Bytes body_bytes = c.body_bytes;
        Bytes body = web_request(c.url, c.method, c.body_text, cookies ? &*cookies : nullptr,
                                 nullptr, &headers, nullptr, c.no_redirect, &body_bytes, c.proxy);
        EXPECT_EQ(body, text_to_bytes("answer"));
        if (!c.open.empty()) {
            EXPECT_EQ(call("InternetOpenA"), c.open);
        }
        if (!c.request.empty()) {
            EXPECT_EQ(call("HttpOpenRequestA"), c.request);
        }
        if (!c.send.empty()) {
            EXPECT_EQ(call("HttpSendRequestA"), c.send);
        }
        bool with_body = c.method == 1 || c.method == 2;
        EXPECT_EQ(bound(kHttpSendRequestA), !with_body);
        EXPECT_EQ(bound(kHttpSendRequestABody), with_body);
        // The in/out inputs now hold what was sent.
        EXPECT_TRUE(call("HttpSendRequestA")
                        .starts_with("HttpSendRequestA(R, \"" + escaped(headers) + "\", "));
        Bytes expected_bytes =
            with_body && c.body_bytes.empty() ? text_to_bytes(c.body_text) : c.body_bytes;
        EXPECT_EQ(body_bytes, expected_bytes);
    }
}

TEST_F(WebRequestCalls, HttpsConnectsToPort443AndNamedPortsWin) {
    web_request("https://h.example");
    EXPECT_EQ(call("InternetConnectA"),
              "InternetConnectA(I, \"h.example\", 443, null, null, 3, 0, 0)");
    EXPECT_EQ(call("HttpOpenRequestA"),
              "HttpOpenRequestA(C, \"GET\", \"/\", \"HTTP/1.1\", null, null, 0x80800010, 0)");
    script("", kHeaderBlock);
    web_request("http://h.example:8080/x?y=1");
    EXPECT_EQ(call("InternetConnectA"),
              "InternetConnectA(I, \"h.example\", 8080, null, null, 3, 0, 0)");
}

TEST_F(WebRequestCalls, GivenCookiesAreMergedAndWrittenBack) {
    Text cookies = "a=0; old=2";
    Text response_cookies;
    Text headers;
    web_request("http://h.example/", 0, {}, &cookies, &response_cookies, &headers);
    EXPECT_EQ(response_cookies, "a=1; old=2");
    EXPECT_EQ(cookies, "a=1; old=2");
    EXPECT_NE(headers.find("\r\nCookie: a=0; old=2"), std::string::npos);
}

TEST_F(WebRequestCalls, FailuresCloseWhatWasOpenedAndLeaveTheOutputs) {
    struct Case {
        int failure;
        std::vector<std::string> closes;
    };
    const Case cases[] = {
        {kFailOpen, {}},
        {kFailConnect, {"InternetCloseHandle(I)"}},
        {kFailRequest, {"InternetCloseHandle(C)", "InternetCloseHandle(I)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        script("body", kHeaderBlock, c.failure);
        Text cookies = "k=v", response_cookies = "rc", headers = "X-A: 1", response_headers = "rh";
        Bytes body_bytes = {'q'};
        Bytes body = web_request("http://h.example/", 1, "t", &cookies, &response_cookies, &headers,
                                 &response_headers, 0, &body_bytes);
        EXPECT_TRUE(body.empty());
        std::vector<std::string> closes;
        for (const auto& line : calls())
            if (line.starts_with("InternetCloseHandle")) closes.push_back(line);
        EXPECT_EQ(closes, c.closes);
        EXPECT_EQ(call("HttpSendRequestA"), "<none>");
        EXPECT_EQ(cookies, "k=v");
        EXPECT_EQ(response_cookies, "rc");
        EXPECT_EQ(headers, "X-A: 1");
        EXPECT_EQ(response_headers, "rh");
        EXPECT_EQ(body_bytes, Bytes{'q'});
    }
}

TEST_F(WebRequestCalls, HeaderBlockThatDoesNotFitLeavesBlanksAndNoCookies) {
    std::string big =
        "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nX-Pad: " + std::string(5000, 'p') + "\r\n\r\n";
    script("body", big.c_str());
    Text response_headers, response_cookies = "x";
    Bytes body = web_request("http://h.example/", 0, {}, nullptr, &response_cookies, nullptr,
                             &response_headers);
    EXPECT_EQ(body, text_to_bytes("body"));
    EXPECT_EQ(response_headers, std::string(5000, ' '));
    EXPECT_EQ(response_cookies, "");
}

}  // namespace
}  // namespace vidmora
