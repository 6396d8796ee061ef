#include <gtest/gtest.h>

#include "tests/text/gbk.h"
#include "text/markers.h"

namespace vidmora {
namespace {

using namespace test;

const Text kQ(kQuotePlaceholder);

struct BetweenCase {
    const char* what;
    std::string text;
    std::string left;
    std::string right;
    std::int32_t start;
    bool ignore_case;
    std::string expected;
};

TEST(TextBetween, CutsBetweenTheLeftMarkerAndTheFirstRightMarkerAfterIt) {
    const BetweenCase cases[] = {
        {"plain", "<a>x</a>", "<a>", "</a>", 0, false, "x"},
        {"first right marker after the left one", "<a>x</a>y</a>", "<a>", "</a>", 0, false, "x"},
        {"no left marker", "x</a>", "<a>", "</a>", 0, false, ""},
        {"no right marker", "<a>x", "<a>", "</a>", 0, false, ""},
        {"right marker only before the left one", "</a>x<a>y", "<a>", "</a>", 0, false, ""},
        {"adjacent markers", "<a></a>", "<a>", "</a>", 0, false, ""},
        {"the quote placeholder stands for a double quote", "src=\"u.jpg\" x", "src=" + kQ, kQ, 0,
         false, "u.jpg"},
        {"a double quote written directly", "src=\"u.jpg\" x", "src=\"", "\"", 0, false, "u.jpg"},
        {"several placeholders in one marker", "[\"\"v\"\"]", "[" + kQ + kQ, kQ + kQ + "]", 0,
         false, "v"},
        {"an empty right marker", "abc", "a", "", 0, false, ""},
        {"an empty left marker matches at position 1", "abc;d", "", ";", 0, false, "abc"},
        {"an empty left marker in the empty text", "", "", ";", 0, false, ""},
        {"ignore-case matches both markers", "<A>x</A>", "<a>", "</a>", 0, true, "x"},
        {"case-sensitive by default", "<A>x</A>", "<a>", "</a>", 0, false, ""},
        {"a start position skips an earlier left marker", "[1][2]", "[", "]", 2, false, "2"},
        {"markers only at character boundaries", "\xB0<a>x</a>", "<a>", "</a>", 0, false, ""},
        {"two-byte content", "<a>" + kZhong + "</a>", "<a>", "</a>", 0, false, kZhong},
        {"the left marker ends the text", "ab<a>", "<a>", "</a>", 0, false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text_between(c.text, c.left, c.right, c.start, c.ignore_case), c.expected)
            << c.what;
    }
}

TEST(TextBetween, CutsTheCoverAddressOutOfAPage) {
    const Text page =
        "<html><img src=\"/logo.png\">\r\n"
        "<img src=\"http://covers.example/v/123.jpg\" style=\"display:none;\" "
        "class=\"cover_image\"/></html>";
    EXPECT_EQ(text_between(page, "<img src=" + kQ + "http://",
                           kQ + " style=" + kQ + "display:none;" + kQ + " class=" + kQ +
                               "cover_image" + kQ + "/>"),
              "covers.example/v/123.jpg");
    EXPECT_EQ(text_between(page, "\" style=\"", "\""), "display:none;");
}

TEST(TextAfterColon, TakesEverythingAfterTheFirstColonTrimmed) {
    const struct {
        const char* what;
        std::string text;
        std::string expected;
    } cases[] = {
        {"a header value", "User-Agent:  Mozilla/4.0 ", "Mozilla/4.0"},
        {"no colon", "abc", ""},
        {"the only colon is the last byte", "abc:", ""},
        {"later colons stay", "Host: a:8080 : x ", "a:8080 : x"},
        {"full-width spaces are trimmed", "a:" + kWide + "v" + kWide, "v"},
        {"tab and CR are not trimmed", "a:\t v\r", "\t v\r"},
        {"a colon byte inside a character is no colon", "\xB0:x", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(text_after_colon(c.text), c.expected) << c.what;
}

}  // namespace
}  // namespace vidmora
