#include <gtest/gtest.h>

#include <optional>

#include "tests/text/gbk.h"
#include "text/text.h"

namespace vidmora {
namespace {

using namespace test;

struct RewriteCase {
    const char* what;
    std::string text;
    std::string expected;
};

TEST(ToLower, FoldsOnlyOneByteAsciiLetters) {
    const RewriteCase cases[] = {
        {"letters", "AbC xYz", "abc xyz"},
        {"neighbours of A-Z stay", "@[`{", "@[`{"},
        {"second byte in A-Z stays", kLeadA + "A", kLeadA + "a"},
        {"bytes above 0x7F stay", "\xC1\xC1", "\xC1\xC1"},
        {"broken character at the end stays", "Z" + kLead, "z" + kLead},
        {"empty", "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(to_lower(c.text), c.expected) << c.what;
}

TEST(TrimSpaces, RemovesHalfAndFullWidthSpacesAtBothEnds) {
    const RewriteCase cases[] = {
        {"half-width", "  ab  ", "ab"},
        {"full-width", kWide + "ab" + kWide + kWide, "ab"},
        {"mixed runs", " " + kWide + " a b " + kWide + " ", "a b"},
        {"inner blanks stay", "a  b", "a  b"},
        {"tab, CR and LF are not blanks", "\tab\r\n", "\tab\r\n"},
        {"only blanks", " " + kWide + " ", ""},
        {"empty", "", ""},
        {"0xA1 0xA1 inside a character is no blank", "a" + kLeadA1 + "\xA1" + "x",
         "a" + kLeadA1 + "\xA1" + "x"},
        {"full-width space after a character ending in 0xA1", "a" + kLeadA1 + kWide, "a" + kLeadA1},
        {"a broken character is cut, the blanks before it stay", "ab " + kLead, "ab "},
        {"a lone 0xA1 at the end is broken, not a blank", "ab" + kWide + "\xA1", "ab" + kWide},
        {"only a broken character", kLead, ""},
        {"two-byte characters stay whole", kZhong + " ", kZhong},
    };
    for (const auto& c : cases) EXPECT_EQ(trim_spaces(c.text), c.expected) << c.what;
}

TEST(RemoveSpaces, DropsEveryBlankAtACharacterBoundary) {
    const RewriteCase cases[] = {
        {"name, space, equals, full-width space, value", "name =" + kWide + "value", "name=value"},
        {"everywhere", " a b " + kWide + "c ", "abc"},
        {"a 0x20 second byte stays", "\xB0 x", "\xB0 x"},
        {"0xA1 0xA1 inside a character stays", kLeadA1 + "\xA1" + "x", kLeadA1 + "\xA1" + "x"},
        {"a broken character at the end is dropped", "a b" + kLead, "ab"},
        {"tabs stay", "a\tb", "a\tb"},
        {"only blanks", kWide + " ", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(remove_spaces(c.text), c.expected) << c.what;
}

struct ReplaceCase {
    const char* what;
    std::string text;
    std::string sub;
    std::string replacement;
    bool case_sensitive;
    std::int32_t start;
    std::int32_t count;
    std::string expected;
};

TEST(ReplaceText, HonoursStartCountCaseAndBoundaries) {
    const ReplaceCase cases[] = {
        {"every occurrence", "a-b-c", "-", "+", true, 1, -1, "a+b+c"},
        {"empty replacement deletes", "a-b-c", "-", "", true, 1, -1, "abc"},
        {"count 1", "a-b-c-d", "-", "+", true, 1, 1, "a+b-c-d"},
        {"count 2", "a-b-c-d", "-", "+", true, 1, 2, "a+b+c-d"},
        {"count 0 changes nothing", "a-b-c", "-", "+", true, 1, 0, "a-b-c"},
        {"negative count is unlimited", "a-b-c", "-", "+", true, 1, -5, "a+b+c"},
        {"start skips earlier matches", "a-b-c", "-", "+", true, 3, -1, "a-b+c"},
        {"start at a match", "a-b-c", "-", "+", true, 4, -1, "a-b+c"},
        {"start 0 counts as 1", "-a", "-", "+", true, 0, -1, "+a"},
        {"start on the last byte", "a-b-c", "c", "+", true, 5, -1, "a-b-+"},
        {"start one past the end", "a-b-c", "-", "+", true, 6, -1, "a-b-c"},
        {"start and count together", "a-a-a-a", "a", "b", true, 2, 2, "a-b-b-a"},
        {"case-insensitive turns every variant into the sub-text", "x set-COOKIE: SET-cookie",
         "Set-Cookie", "Set-Cookie", false, 1, -1, "x Set-Cookie: Set-Cookie"},
        {"case-sensitive leaves other cases", "set-cookie Set-Cookie", "Set-Cookie", "X", true, 1,
         -1, "set-cookie X"},
        {"matches do not overlap", "aaaa", "aa", "b", true, 1, -1, "bb"},
        {"odd run: the last byte stays", "aaa", "aa", "b", true, 1, -1, "ba"},
        {"a replacement is never scanned again", "ab", "a", "aa", true, 1, -1, "aab"},
        {"a second byte is no match", kLeadA + "A", "A", "x", true, 1, -1, kLeadA + "x"},
        {"case folding does not reach 0x80 and up", "\xC1\xC1", "\xE1\xE1", "x", false, 1, -1,
         "\xC1\xC1"},
        {"empty text", "", "a", "b", true, 1, -1, ""},
        {"empty sub-text", "abc", "", "x", true, 1, -1, "abc"},
        {"sub-text longer than the text", "ab", "abc", "x", true, 1, -1, "ab"},
        {"a broken character that does not match is dropped", "ab" + kLead, "x", "y", true, 1, -1,
         "ab"},
        {"fewer bytes left than the sub-text: copied", "ab" + kLead, "xy", "z", true, 1, -1,
         "ab" + kLead},
        {"a broken character that matches is replaced", "ab" + kLead, kLead, "z", true, 1, -1,
         "abz"},
        {"count used up: the rest is copied, broken character too", "ab" + kLead, "b", "c", true, 1,
         1, "ac" + kLead},
        {"two-byte sub-text", kZhong + "a" + kZhong, kZhong, "-", true, 1, -1, "-a-"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(replace_text(c.text, c.sub, c.replacement, c.case_sensitive, c.start, c.count),
                  c.expected)
            << c.what;
    }
}

struct SplitCase {
    const char* what;
    std::string text;
    std::string separator;
    std::optional<std::int32_t> limit;
    TextList expected;
};

TEST(SplitText, KeepsInnerEmptyItemsAndHonoursTheLimit) {
    const auto none = std::nullopt;
    const SplitCase cases[] = {
        {"empty item between adjacent separators", "a;;b", ";", none, {"a", "", "b"}},
        {"no empty item after a trailing separator", "a;b;", ";", none, {"a", "b"}},
        {"an empty item for a leading separator", ";a", ";", none, {"", "a"}},
        {"a text that is one separator", ";", ";", none, {""}},
        {"two separators", ";;", ";", none, {"", ""}},
        {"no separator in the text", "abc", ";", none, {"abc"}},
        {"the empty text", "", ";", none, {}},
        {"an empty separator", "a;b", "", none, {"a;b"}},
        {"header lines with an empty line", "l1\r\nl2\r\n\r\n", "\r\n", none, {"l1", "l2", ""}},
        {"limit cuts and discards the rest", "a;b;c", ";", 2, {"a", "b"}},
        {"limit 1", "a;b;c", ";", 1, {"a"}},
        {"limit above the count", "a;b;c", ";", 5, {"a", "b", "c"}},
        {"limit reached exactly by the last item", "a;b", ";", 2, {"a", "b"}},
        {"limit 0", "a;b", ";", 0, {}},
        {"negative limit counts as 0", "a;b", ";", -1, {}},
        {"an empty separator with limit 0", "a;b", "", 0, {}},
        {"a separator byte inside a character is no separator",
         "\xB0;x;y",
         ";",
         none,
         {"\xB0;x", "y"}},
        {"a broken character ends the last item", "a;" + kLead, ";", none, {"a", kLead}},
        {"separators compare case-sensitively", "aXb", "x", none, {"aXb"}},
        {"a two-byte separator", "a" + kZhong + "b", kZhong, none, {"a", "b"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(split_text(c.text, c.separator, c.limit), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace vidmora
