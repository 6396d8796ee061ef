// InternetCanonicalizeUrlA and InternetCrackUrlA: the address forms download_bytes meets.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/wininet/wininet.h"

namespace {

struct CanonicalCase {
    const char* url;
    std::uint32_t flags;
    const char* expected;  // null: the call fails
};

TEST(WininetCanonicalize, Cases) {
    const CanonicalCase cases[] = {
        {"HTTP://Host.Example/a/./b/../c?x=../1#f", ICU_NO_ENCODE,
         "http://Host.Example/a/c?x=../1#f"},
        {"  http://h/a b\xB0\xA1  ", ICU_NO_ENCODE, "http://h/a b\xB0\xA1"},
        {"http://h/a b\xB0\xA1", 0, "http://h/a%20b%B0%A1"},
        {"http://h/../../x", ICU_NO_ENCODE, "http://h/x"},
        {"https://h", ICU_NO_ENCODE, "https://h"},
        {"no scheme here", ICU_NO_ENCODE, nullptr},
        {"", ICU_NO_ENCODE, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        char buffer[256];
        std::uint32_t length = sizeof buffer;
        bool ok = InternetCanonicalizeUrlA(c.url, buffer, &length, c.flags) != 0;
        ASSERT_EQ(ok, c.expected != nullptr);
        if (!ok) continue;
        EXPECT_EQ(std::string(buffer), c.expected);
        EXPECT_EQ(length, std::strlen(c.expected));
    }
}

TEST(WininetCanonicalize, TooSmallBufferIsLeftAloneAndTheNeededSizeGiven) {
    const char* url = "http://host/path";
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    std::uint32_t length = sizeof buffer;
    EXPECT_FALSE(InternetCanonicalizeUrlA(url, buffer, &length, ICU_NO_ENCODE));
    EXPECT_EQ(length, std::strlen(url) + 1);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(8, 'x'));

    std::string bigger(length, '\0');
    EXPECT_TRUE(InternetCanonicalizeUrlA(url, bigger.data(), &length, ICU_NO_ENCODE));
    EXPECT_STREQ(bigger.c_str(), url);
}

struct CrackCase {
    const char* url;
    bool ok;
    INTERNET_SCHEME scheme;
    const char* host;
    int port;
    const char* user;
    const char* password;
    const char* path;
};

// Buffers as download_bytes gives them: host, user name, password and path only.
TEST(WininetCrack, PartsIntoTheCallersBuffers) {
    const CrackCase cases[] = {
        {"http://u:p@Host.Example:8080/p/q?x=1#frag", true, INTERNET_SCHEME_HTTP, "Host.Example",
         8080, "u", "p", "/p/q?x=1#frag"},
        {"https://h.example", true, INTERNET_SCHEME_HTTPS, "h.example", 443, "", "", ""},
        {"http://h.example?q=1", true, INTERNET_SCHEME_HTTP, "h.example", 80, "", "", "?q=1"},
        {"ftp://h.example/f", true, INTERNET_SCHEME_FTP, "h.example", 21, "", "", "/f"},
        {"http://[::1]:81/x", true, INTERNET_SCHEME_HTTP, "::1", 81, "", "", "/x"},
        {"http://", false},
        {"http://h.example:99999/", false},
        {"http://h.example:8a/", false},
        {"h.example/x", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        char host[64], user[16], password[16], path[64];
        URL_COMPONENTSA parts{};
        parts.dwStructSize = sizeof parts;
        parts.lpszHostName = host;
        parts.dwHostNameLength = sizeof host;
        parts.lpszUserName = user;
        parts.dwUserNameLength = sizeof user;
        parts.lpszPassword = password;
        parts.dwPasswordLength = sizeof password;
        parts.lpszUrlPath = path;
        parts.dwUrlPathLength = sizeof path;
        bool ok = InternetCrackUrlA(c.url, 0, 0, &parts) != 0;
        ASSERT_EQ(ok, c.ok);
        if (!ok) continue;
        EXPECT_EQ(parts.nScheme, c.scheme);
        EXPECT_STREQ(host, c.host);
        EXPECT_EQ(parts.dwHostNameLength, std::strlen(c.host));
        EXPECT_EQ(parts.nPort, c.port);
        EXPECT_STREQ(user, c.user);
        EXPECT_STREQ(password, c.password);
        EXPECT_STREQ(path, c.path);
        EXPECT_EQ(parts.dwUrlPathLength, std::strlen(c.path));
    }
}

TEST(WininetCrack, APartLongerThanItsBufferFails) {
    char host[8], path[64];
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    EXPECT_FALSE(InternetCrackUrlA("http://12345678/x", 0, 0, &parts));
    parts.dwHostNameLength = sizeof host;
    parts.dwUrlPathLength = sizeof path;
    EXPECT_TRUE(InternetCrackUrlA("http://1234567/x", 0, 0, &parts));
    EXPECT_STREQ(host, "1234567");
}

TEST(WininetCrack, SeparateExtraInfoTakesQueryAndFragment) {
    char path[64], extra[64];
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;  // a pointer into the URL
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = sizeof extra;
    const char* url = "http://host:1/a?b#c";
    ASSERT_TRUE(InternetCrackUrlA(url, 0, 0, &parts));
    EXPECT_EQ(std::string(parts.lpszHostName, parts.dwHostNameLength), "host");
    EXPECT_EQ(parts.lpszHostName, url + 7);
    EXPECT_STREQ(path, "/a");
    EXPECT_STREQ(extra, "?b#c");
}

}  // namespace
