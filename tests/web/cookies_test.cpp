#include <gtest/gtest.h>

#include "web/cookies.h"

namespace vidmora {
namespace {

TEST(CollectSetCookies, TakesTheNameValueOfEverySetCookieLine) {
    const struct {
        const char* what;
        std::string headers;
        std::string expected;
    } cases[] = {
        {"no Set-Cookie line", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n", ""},
        {"with and without attributes",
         "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nX: y\r\nSet-Cookie: b=2\r\n\r\n",
         "a=1; b=2"},
        {"blanks around the item are trimmed", "Set-Cookie:   a=1  ; path=/\r\n", "a=1"},
        {"the same name twice stays twice", "Set-Cookie: a=1\r\nSet-Cookie: a=2; x\r\n",
         "a=1; a=2"},
        {"without a semicolon every 'Set-Cookie:' in any case goes",
         "Set-Cookie: a=set-cookie:1\r\n", "a=1"},
        {"Set-Cookie2 with a semicolon adds an empty item",
         "Set-Cookie: a=1\r\nSet-Cookie2: c=3; v=1\r\nSet-Cookie: b=2\r\n", "a=1; ; b=2"},
        {"Set-Cookie2 without a semicolon adds the whole line", "Set-Cookie2: c=3\r\n",
         "Set-Cookie2: c=3"},
        {"the search is case-sensitive (names are normalised first)", "set-cookie: a=1\r\n", ""},
        {"an empty header text", "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(collect_set_cookies(c.headers), c.expected) << c.what;
}

struct MergeCase {
    const char* what;
    std::string request;
    std::string response;
    std::string merged;
    std::string response_after;
};

TEST(MergeCookies, NewCookiesFirstThenOldOnesTheResponseDidNotSet) {
    const MergeCase cases[] = {
        {"a new value replaces the old one", "a=1; b=2", "b=3", "b=3; a=1", "b=3"},
        {"nothing new", "a=1; b=2", "", "a=1; b=2", ""},
        {"nothing old", "", "a=1; b=2", "a=1; b=2", "a=1;b=2"},
        {"both empty", "", "", "", ""},
        {"a deleted cookie goes, old and new", "a=1; b=2", "b=deleted", "a=1", "b=deleted"},
        {"deleted among the old ones goes too", "a=deleted; b=2", "c=3", "c=3; b=2", "c=3"},
        {"spaces inside values go",
         "a=x y; b=1"
         "\xA1\xA1"
         "2",
         "c = 3", "c=3; a=xy; b=12", "c=3"},
        {"two new values of one name both stay", "", "a=1; a=2", "a=1; a=2", "a=1;a=2"},
        {"byte-identical items appear once", "", "a=1; b=2; a=1", "a=1; b=2", "a=1;b=2;a=1"},
        {"only the first of two old items of a name", "a=1; a=2; b=3", "", "a=1; b=3", ""},
        {"names compare case-sensitively", "A=1", "a=2", "a=2; A=1", "a=2"},
        {"an old item without '=' is named by its whole text", "flag; a=1", "flag=2", "flag=2; a=1",
         "flag=2"},
        {"an empty item from the collection", "", "a=1; ; b=2", "a=1; ; b=2", "a=1;;b=2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Text request = c.request;
        Text response = c.response;
        const Text merged = merge_cookies(request, response);
        EXPECT_EQ(merged, c.merged);
        EXPECT_EQ(request, c.merged);  // written back into the caller's variable
        EXPECT_EQ(response, c.response_after);
    }
}

TEST(CookieName, IsTheTrimmedTextBeforeTheFirstEquals) {
    EXPECT_EQ(cookie_name(" sid = abc=def"), "sid");
    EXPECT_EQ(cookie_name("  flag "), "flag");
    EXPECT_EQ(cookie_name("=v"), "");
    EXPECT_EQ(cookie_name(""), "");
}

TEST(HasCookieNamed, MatchesNamesExactly) {
    const TextList items = {"a=1", " B =2", "c"};
    EXPECT_TRUE(has_cookie_named(items, "a"));
    EXPECT_TRUE(has_cookie_named(items, "B"));
    EXPECT_TRUE(has_cookie_named(items, "c"));
    EXPECT_FALSE(has_cookie_named(items, "b"));
    EXPECT_FALSE(has_cookie_named(items, "a=1"));
    EXPECT_FALSE(has_cookie_named({}, ""));
}

TEST(DedupeItems, KeepsTheFirstOfByteIdenticalItems) {
    EXPECT_EQ(dedupe_items("a; b; a; c; b", "; "), "a; b; c");
    EXPECT_EQ(dedupe_items("a; A; a ", "; "), "a; A; a ");
    EXPECT_EQ(dedupe_items("x,,y,,", ","), "x,,y");
    EXPECT_EQ(dedupe_items("", "; "), "");
    EXPECT_EQ(dedupe_items("solo", "; "), "solo");
}

TEST(IndexOfItem, GivesTheFirstPositionOrMinusOne) {
    const TextList items = {"a", "", "b", "a"};
    EXPECT_EQ(index_of_item(items, "a"), 1);
    EXPECT_EQ(index_of_item(items, ""), 2);
    EXPECT_EQ(index_of_item(items, "b"), 3);
    EXPECT_EQ(index_of_item(items, "A"), -1);
    EXPECT_EQ(index_of_item({}, "a"), -1);
}

}  // namespace
}  // namespace vidmora
