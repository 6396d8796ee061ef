// web_request and download_bytes, through the real wininet.so, against servers that stall,
// drip, break off, reset or lie. Whatever they do, each call returns within the network time
// limits with no byte the server did not send. Each test prints how long the call took.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <iostream>
#include <ostream>
#include <string>

#include "tests/platform/wininet/hostile_server.h"
#include "web/download_bytes.h"
#include "web/web_request.h"

namespace vidmora {
namespace {

using namespace std::chrono_literals;
using testing::HostileConnection;
using testing::HostileServer;

// The client's limits: 30 s of less than 100 bytes a second ends a transfer.
constexpr auto kTimeLimit = 30s;
// How long a call given up by the limits may take at most, with room for a loaded machine.
constexpr auto kGivenUpWithin = kTimeLimit + 30s;
// How long a call that the server ends itself may take at most.
constexpr auto kEndedWithin = 10s;

// Body bytes that show where they came from, NULs included.
std::string pattern(std::size_t n) {
    std::string text(n, '\0');
    for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<char>(i * 31 % 251);
    return text;
}

std::string head(std::size_t content_length) {
    return "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
           std::to_string(content_length) + "\r\n\r\n";
}

enum class Expect {
    kNothing,     // an empty result
    kSentBody,    // exactly the body bytes the server sent
    kSentPrefix,  // some leading part of the body the server sent, possibly none of it
};

struct HostileCase {
    const char* name;
    std::string body;  // what the server sends as the body, in whole or in part
    std::function<void(HostileConnection&, const std::string& body)> script;
    Expect expect;
    std::size_t sent;  // for kSentBody: how many body bytes the server sends
    std::chrono::seconds within;
};

const std::vector<HostileCase>& hostile_cases() {
    static const std::vector<HostileCase> cases = {
        {"AcceptsAndNeverAnswers", "",
         [](HostileConnection& c, const std::string&) {
             c.read_request();
             c.hold();
         },
         Expect::kNothing, 0, kGivenUpWithin},
        {"DripsTheWholeResponseAByteASecond", pattern(100),
         [](HostileConnection& c, const std::string& body) {
             c.read_request();
             c.drip(head(body.size()) + body, 1s);
         },
         Expect::kNothing, 0, kGivenUpWithin},
        {"DripsTheBodyAByteASecond", pattern(100),
         [](HostileConnection& c, const std::string& body) {
             c.read_request();
             if (c.send(head(body.size()))) c.drip(body, 1s);
         },
         Expect::kSentPrefix, 0, kGivenUpWithin},
        {"ResetsMidBody", pattern(400'000),
         [](HostileConnection& c, const std::string& body) {
             c.read_request();
             c.send(head(body.size()) + body.substr(0, 200'000));
             c.reset();
         },
         Expect::kSentPrefix, 0, kEndedWithin},
        {"ClosesBeforeTheAnnouncedLength", pattern(2000),
         [](HostileConnection& c, const std::string& body) {
             c.read_request();
             c.send(head(body.size()) + body.substr(0, 1000));
         },
         Expect::kSentBody, 1000, kEndedWithin},
        {"SendsMoreThanTheAnnouncedLength", pattern(20),
         [](HostileConnection& c, const std::string& body) {
             c.read_request();
             if (c.send(head(10) + body)) c.hold();
         },
         Expect::kSentBody, 10, kEndedWithin},
        {"SendsAHeaderBlockOfOneMegabyte", "ok",
         [](HostileConnection& c, const std::string& body) {
             c.read_request();
             std::string block = "HTTP/1.1 200 OK\r\n";
             for (int i = 0; block.size() < (1 << 20); ++i)
                 block += "X-Filler-" + std::to_string(i) + ": " + std::string(1000, 'f') + "\r\n";
             if (c.send(block + "Content-Length: 2\r\n\r\n" + body)) c.hold();
         },
         Expect::kNothing, 0, kEndedWithin},
    };
    return cases;
}

enum class Routine { kWebRequest, kDownloadBytes };

void PrintTo(Routine routine, std::ostream* out) {
    *out << (routine == Routine::kWebRequest ? "web_request" : "download_bytes");
}

Bytes call(Routine routine, const Text& url) {
    return routine == Routine::kWebRequest ? web_request(url) : download_bytes(url);
}

class HostileServerTest : public ::testing::TestWithParam<std::tuple<Routine, std::size_t>> {};

TEST_P(HostileServerTest, EndsInTimeWithOnlyWhatWasSent) {
    const auto [routine, index] = GetParam();
    const HostileCase& c = hostile_cases()[index];
    HostileServer server([&c](HostileConnection& connection) { c.script(connection, c.body); });
    ASSERT_TRUE(server.listening());

    const auto start = std::chrono::steady_clock::now();
    const Bytes result = call(routine, server.url("/hostile"));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::cout << "[ measured ] " << c.name << ": " << result.size() << " bytes after "
              << took.count() << " ms\n";
    RecordProperty("milliseconds", static_cast<int>(took.count()));
    RecordProperty("bytes", static_cast<int>(result.size()));

    EXPECT_LT(took, c.within);
    const std::string got(result.begin(), result.end());
    switch (c.expect) {
        case Expect::kNothing:
            EXPECT_TRUE(got.empty()) << got.size() << " bytes";
            break;
        case Expect::kSentBody:
            EXPECT_EQ(got, c.body.substr(0, c.sent));
            break;
        case Expect::kSentPrefix:
            EXPECT_LE(got.size(), c.body.size());
            EXPECT_EQ(got, c.body.substr(0, got.size()));
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    , HostileServerTest,
    ::testing::Combine(::testing::Values(Routine::kWebRequest, Routine::kDownloadBytes),
                       ::testing::Range<std::size_t>(0, hostile_cases().size())),
    [](const auto& info) {
        const bool web = std::get<0>(info.param) == Routine::kWebRequest;
        return std::string(web ? "WebRequest_" : "DownloadBytes_") +
               hostile_cases()[std::get<1>(info.param)].name;
    });

// A body one byte longer than a Bytes can hold is refused whole, whichever routine reads it.
TEST(OverlongBodyTest, IsRefusedWhole) {
    constexpr std::size_t kLength = kMaxLength + 1;
    HostileServer server([](HostileConnection& c) {
        c.read_request();
        if (!c.send(head(kLength))) return;
        const std::string chunk(1 << 20, 'x');
        for (std::size_t sent = 0; sent < kLength; sent += chunk.size())
            if (!c.send(std::string_view(chunk).substr(0, std::min(chunk.size(), kLength - sent))))
                return;
    });
    ASSERT_TRUE(server.listening());
    for (Routine routine : {Routine::kWebRequest, Routine::kDownloadBytes}) {
        SCOPED_TRACE(::testing::PrintToString(routine));
        EXPECT_TRUE(call(routine, server.url("/overlong")).empty());
    }
}

// A resource that redirects to itself, counting the requests it answers.
class RedirectLoopTest : public ::testing::Test {
  protected:
    std::atomic<int> requests_ = 0;
    HostileServer server_{[this](HostileConnection& c) {
        while (!c.read_request().empty()) {
            ++requests_;
            if (!c.send("HTTP/1.1 302 Found\r\nLocation: /loop\r\nContent-Length: 5\r\n\r\nagain"))
                return;
        }
    }};
};

// Followed, the loop ends after a bounded number of requests with an empty result.
TEST_F(RedirectLoopTest, FollowingGivesUpAfterABoundedNumberOfRequests) {
    ASSERT_TRUE(server_.listening());
    for (Routine routine : {Routine::kWebRequest, Routine::kDownloadBytes}) {
        requests_ = 0;
        const auto start = std::chrono::steady_clock::now();
        const Bytes result = call(routine, server_.url("/loop"));
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        std::cout << "[ measured ] redirect loop: " << requests_ << " requests, " << result.size()
                  << " bytes after " << took.count() << " ms\n";
        EXPECT_TRUE(result.empty());
        EXPECT_GT(requests_, 1);
        EXPECT_LE(requests_, 50);
        EXPECT_LT(took, kEndedWithin);
    }
}

// With redirects off, web_request gives the redirect's own body after one request.
TEST_F(RedirectLoopTest, NotFollowingGivesTheRedirectsBody) {
    ASSERT_TRUE(server_.listening());
    const Bytes result = web_request(server_.url("/loop"), 0, {}, nullptr, nullptr, nullptr,
                                     nullptr, /*no_redirect=*/1);
    EXPECT_EQ(std::string(result.begin(), result.end()), "again");
    EXPECT_EQ(requests_, 1);
}

}  // namespace
}  // namespace vidmora
