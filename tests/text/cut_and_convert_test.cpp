#include <gtest/gtest.h>

#include <algorithm>

#include "tests/text/gbk.h"
#include "text/text.h"

namespace vidmora {
namespace {

using namespace test;

Bytes B(std::initializer_list<std::uint8_t> bytes) {
    return Bytes(bytes);
}

TEST(JoinText, AppendsInOrderAndStopsAtANul) {
    EXPECT_EQ(join_text("ab", "", "c"), "abc");
    EXPECT_EQ(join_text("", ""), "");
    EXPECT_EQ(join_text(kZhong, "x", kZhong), kZhong + "x" + kZhong);
    // A text ends at its first NUL, so nothing from or after one gets in.
    EXPECT_EQ(join_text("ab", std::string_view("c\0d", 3), "e"), "abc");
}

TEST(TextEquals, ComparesBytesAndCase) {
    EXPECT_TRUE(text_equals("", Text()));
    EXPECT_TRUE(text_equals(kZhong, kZhong));
    EXPECT_FALSE(text_equals("Ab", "ab"));
    EXPECT_FALSE(text_equals("ab", "ab "));
    EXPECT_EQ(text_length(kZhong + "a"), 3);
}

struct CutCase {
    const char* what;
    Text (*cut)(const Text&, std::int32_t);
    std::string text;
    std::int32_t n;
    std::string expected;
};

TEST(TextLeftRight, ClampCountsAndCutAtBytes) {
    const CutCase cases[] = {
        {"left, negative count", text_left, "abc", -2, ""},
        {"left, zero", text_left, "abc", 0, ""},
        {"left, within", text_left, "abc", 2, "ab"},
        {"left, beyond the end", text_left, "abc", 10, "abc"},
        {"left, splits a two-byte character", text_left, kZhong + "x", 1, "\xD6"},
        {"right, negative count", text_right, "abc", -1, ""},
        {"right, within", text_right, "abc", 2, "bc"},
        {"right, beyond the end", text_right, "abc", 10, "abc"},
        {"right, splits a two-byte character", text_right, "x" + kZhong, 1, "\xD0"},
        {"left of the empty text", text_left, "", 3, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.cut(c.text, c.n), c.expected) << c.what;
}

TEST(TextMid, RefusesPositionsOutsideTheText) {
    EXPECT_EQ(text_mid("abcde", 2, 3), "bcd");
    EXPECT_EQ(text_mid("abcde", 4, 10), "de");
    EXPECT_EQ(text_mid("abcde", 5, 1), "e");
    EXPECT_EQ(text_mid("abcde", 0, 3), "");
    EXPECT_EQ(text_mid("abcde", 6, 3), "");
    EXPECT_EQ(text_mid("abcde", 2, 0), "");
    EXPECT_EQ(text_mid("abcde", 2, -1), "");
}

TEST(BytesMid, ClampsThePositionWhereTextMidRefuses) {
    const Bytes b = B({1, 2, 3, 4, 5});
    EXPECT_EQ(bytes_mid(b, 0, 2), B({1, 2}));
    EXPECT_EQ(bytes_mid(b, -100, 2), B({1, 2}));
    EXPECT_EQ(bytes_mid(b, 4, 10), B({4, 5}));
    EXPECT_EQ(bytes_mid(b, 6, 3), Bytes());
    EXPECT_EQ(bytes_mid(b, 1000, 3), Bytes());
    EXPECT_EQ(bytes_mid(b, 2, -1), Bytes());
    EXPECT_EQ(bytes_mid(b, 2, 0x7FFFFFFF), B({2, 3, 4, 5}));
    EXPECT_EQ(bytes_mid(Bytes(), 1, 1), Bytes());
}

TEST(BytesLeft, ClampsTheCount) {
    const Bytes b = B({0, 7, 0});
    EXPECT_EQ(bytes_left(b, -1), Bytes());
    EXPECT_EQ(bytes_left(b, 2), B({0, 7}));
    EXPECT_EQ(bytes_left(b, 9), b);
}

TEST(BytesValues, JoinCompareAndFill) {
    EXPECT_EQ(join_bytes(B({1}), Bytes(), B({0, 2})), B({1, 0, 2}));
    EXPECT_EQ(join_bytes(Bytes(), Bytes()), Bytes());
    EXPECT_TRUE(bytes_equal(Bytes(), Bytes()));
    EXPECT_TRUE(bytes_equal(B({0, 1}), B({0, 1})));
    EXPECT_FALSE(bytes_equal(B({0, 1}), B({0, 1, 0})));
    EXPECT_EQ(bytes_length(B({0, 0, 0})), 3);

    const Bytes zeros = blank_bytes(1024);
    ASSERT_EQ(bytes_length(zeros), 1024);
    EXPECT_EQ(std::count(zeros.begin(), zeros.end(), 0), 1024);
    EXPECT_EQ(blank_bytes(0), Bytes());
    EXPECT_EQ(blank_bytes(-5), Bytes());
}

TEST(FilledTexts, BlankTextAndCharText) {
    const Text spaces = blank_text(5000);
    ASSERT_EQ(text_length(spaces), 5000);
    EXPECT_EQ(spaces.find_first_not_of(' '), Text::npos);
    EXPECT_EQ(blank_text(0), "");
    EXPECT_EQ(blank_text(-1), "");

    EXPECT_EQ(char_text(65), "A");
    EXPECT_EQ(char_text(0x141), "A");  // only the low 8 bits
    EXPECT_EQ(char_text(-1), "\xFF");
    // A NUL would end the text at once: code 0 (and any code with a zero low byte) is empty.
    EXPECT_EQ(char_text(0), "");
    EXPECT_EQ(char_text(256), "");
}

TEST(Conversions, BytesToTextStopsAtTheFirstZero) {
    EXPECT_EQ(bytes_to_text(B({'a', 'b', 0, 'c'})), "ab");
    EXPECT_EQ(bytes_to_text(B({0, 'c'})), "");
    EXPECT_EQ(bytes_to_text(B({0xD6, 0xD0, 'x'})), kZhong + "x");
    EXPECT_EQ(bytes_to_text(Bytes()), "");
    EXPECT_EQ(text_to_bytes(kZhong + "x"), B({0xD6, 0xD0, 'x'}));
    EXPECT_EQ(text_to_bytes(""), Bytes());
}

TEST(Lists, AppendKeepsOrderAndEmptyItems) {
    TextList list;
    EXPECT_EQ(list_count(list), 0);
    Text item = "a";
    list_append(list, item);
    list_append(list, "");
    item = "changed";  // the list holds its own copy
    EXPECT_EQ(list, (TextList{"a", ""}));
    EXPECT_EQ(list_count(list), 2);
}

}  // namespace
}  // namespace vidmora
