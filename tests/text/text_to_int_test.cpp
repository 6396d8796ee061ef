#include <gtest/gtest.h>

#include <limits>

#include "text/text.h"

namespace vidmora {
namespace {

TEST(TextToInt, ReadsDecimalsWithFullWidthFormsAndWraps) {
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    const struct {
        const char* what;
        std::string text;
        std::int32_t expected;
    } cases[] = {
        {"empty", "", 0},
        {"plain", "8080", 8080},
        {"leading white space", " \t\r\n\v\f42", 42},
        {"plus sign", "+7", 7},
        {"minus sign", "-7", -7},
        {"stops at the first non-digit", "12ab3", 12},
        {"starts with a letter", "a12", 0},
        {"a sign alone", "-", 0},
        {"blank between sign and digits", "- 5", 0},
        {"two signs", "+-5", 0},
        {"full-width space, minus and digits", "\xA1\xA1 \xA3\xAD\xA3\xB1\xA3\xB2", -12},
        {"full-width plus", "\xA3\xAB\xA3\xB3", 3},
        {"full-width and half-width digits mixed",
         "1\xA3\xB2"
         "3",
         123},
        {"a full-width letter stops the reading", "\xA3\xB1\xA3\xC1\xA3\xB2", 1},
        {"a second byte that is a digit is not read",
         "\xB0"
         "1",
         0},
        {"a two-byte character ends the digits",
         "1\xB0"
         "1",
         1},
        {"a broken character ends the digits", "7\xB0", 7},
        {"largest value", "2147483647", 2147483647},
        {"one more wraps to the smallest", "2147483648", kMin},
        {"the smallest value", "-2147483648", kMin},
        {"2^32 wraps to 0", "4294967296", 0},
        {"2^32 + 1 wraps to 1", "4294967297", 1},
        {"eleven digits", "99999999999", 1215752191},
        {"negative wrap", "-4294967297", -1},
        {"many digits", "12345678901234567890", -350287150},
    };
    for (const auto& c : cases) EXPECT_EQ(text_to_int(c.text), c.expected) << c.what;
}

}  // namespace
}  // namespace vidmora
