#include <gtest/gtest.h>

#include <optional>

#include "tests/text/gbk.h"
#include "text/text.h"

namespace vidmora {
namespace {

using namespace test;

struct FindCase {
    const char* what;
    std::string text;
    std::string sub;
    std::int32_t start;
    bool ignore_case;
    std::int32_t expected;
};

TEST(FindText, FollowsPositionsBoundariesAndCase) {
    const FindCase cases[] = {
        {"empty sub-text in a text", "abcde", "", 1, false, 1},
        {"empty sub-text is 1 whatever the start", "abcde", "", 3, false, 1},
        {"empty sub-text past the end", "abcde", "", 6, false, -1},
        {"sub-text in the empty text", "", "x", 1, false, -1},
        {"empty in empty", "", "", 1, false, -1},
        {"start 0 searches the whole text", "abcab", "ab", 0, false, 1},
        {"negative start searches the whole text", "abcab", "ab", -7, false, 1},
        {"start 1 searches the whole text", "abcab", "ab", 1, false, 1},
        {"start 2 skips the first occurrence", "abcab", "ab", 2, false, 4},
        {"start at the last occurrence", "abcab", "ab", 4, false, 4},
        {"too few bytes after the start", "abcab", "ab", 5, false, -1},
        {"start one past the end", "abcab", "b", 6, false, -1},
        {"sub-text longer than the text", "ab", "abc", 1, false, -1},
        {"second byte of a two-byte character is not a candidate", kLeadA + "x", "A", 1, false, -1},
        {"the same byte at a boundary after it is found", kLeadA + "A", "A", 1, false, 3},
        {"positions count bytes, not characters", kZhong + kZhong + "x", "x", 1, false, 5},
        {"two-byte sub-text", "a" + kZhong, kZhong, 1, false, 2},
        {"0xA1 0xA1 across a boundary is not there", kLeadA1 + "\xA1", kWide, 1, false, -1},
        {"boundaries count from the start position", kLeadA, "A", 2, false, 2},
        {"ignore-case finds upper case in lower case", "hello world", "WORLD", 1, true, 7},
        {"case-sensitive by default", "hello world", "WORLD", 1, false, -1},
        {"bytes above 0x7F are not folded", "x\xC1\xA1", "\xE1\xA1", 1, true, -1},
        {"second bytes are folded too", kLeadA, "\xB0\x61", 1, true, 1},
        {"only A-Z fold: '@' and '`' differ", "@", "`", 1, true, -1},
        {"a broken character at the end is still a candidate", "ab" + kLead, kLead, 1, false, 3},
        {"a match may end in the broken character", "ab" + kLead, "b" + kLead, 1, false, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(find_text(c.text, c.sub, c.start, c.ignore_case), c.expected) << c.what;
    }
}

TEST(FindText, DefaultsSearchTheWholeTextCaseSensitively) {
    EXPECT_EQ(find_text("xAbab", "ab"), 4);
}

struct FindLastCase {
    const char* what;
    std::string text;
    std::string sub;
    std::optional<std::int32_t> start;
    bool ignore_case;
    std::int32_t expected;
};

TEST(FindTextLast, MatchMustEndBeforeTheStartPosition) {
    const FindLastCase cases[] = {
        {"omitted start: the last one", "a.bc.d", ".", std::nullopt, false, 5},
        {"start 5: the match must end by position 4", "a.bc.d", ".", 5, false, 2},
        {"start 6: a match ending at 5 counts", "a.bc.d", ".", 6, false, 5},
        {"start beyond the end: the whole text", "a.bc.d", ".", 100, false, 5},
        {"start 1: nothing", "a.bc.d", ".", 1, false, -1},
        {"start 0: nothing", "a.bc.d", ".", 0, false, -1},
        {"a match straddling the region end is out", "abcd", "bc", 3, false, -1},
        {"overlapping candidates: the last start wins", "aaaa", "aa", std::nullopt, false, 3},
        {"not found", "abc", "x", std::nullopt, false, -1},
        {"empty sub-text in a text", "abc", "", std::nullopt, false, 1},
        {"empty sub-text with an empty region", "abc", "", 1, false, -1},
        {"empty sub-text in the empty text", "", "", std::nullopt, false, -1},
        {"a second byte is not a match", "." + kLeadA, "A", std::nullopt, false, -1},
        {"the last boundary match, not the last byte match", "A" + kLeadA, "A", std::nullopt, false,
         1},
        {"ignore-case", "a.A.x", "a", std::nullopt, true, 3},
        {"case-sensitive by default", "A.x", "a", std::nullopt, false, -1},
        {"ends at a broken character", "a:b:" + kLead, ":", std::nullopt, false, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(find_text_last(c.text, c.sub, c.start, c.ignore_case), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace vidmora
