// text_to_int: a decimal reading that accepts the full-width forms of digits, signs and
// spaces, and wraps in 32 bits like the original's arithmetic.
#include <string_view>

#include "text/scan.h"
#include "text/text.h"

namespace vidmora {
namespace {

// The byte that the character at `at` reads as once full-width forms are folded to their
// half-width ones; `width` receives the character's width. A lead byte that stays a lead
// byte is returned as is and stops the reading, so its second byte is never looked at.
char folded_char(std::string_view s, std::size_t at, std::size_t& width) {
    const auto lead = static_cast<unsigned char>(s[at]);
    width = 1;
    if (lead < 0x80 || at + 1 >= s.size()) return s[at];
    width = 2;
    const auto second = static_cast<unsigned char>(s[at + 1]);
    if (lead == 0xA3 && second >= 0xA1 && second <= 0xFE) return static_cast<char>(second - 0x80);
    if (lead == 0xA1) {
        if (second == 0xA1) return ' ';
        if (second == 0xAB) return '~';
        if (second == 0xEE || second == 0xEF) return '*';
    }
    return s[at];
}

bool is_white(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

std::int32_t text_to_int(const Text& text) {
    const std::string_view s = text;
    std::size_t i = 0;
    std::size_t width = 0;
    char c = 0;
    auto next = [&] {
        if (i >= s.size()) return false;
        c = folded_char(s, i, width);
        return true;
    };
    while (next() && is_white(c)) i += width;
    bool negative = false;
    if (i < s.size() && (c == '+' || c == '-')) {
        negative = c == '-';
        i += width;
    }
    // Unsigned arithmetic wraps by definition; the conversion back is modulo 2^32 in C++20.
    std::uint32_t value = 0;
    while (next() && c >= '0' && c <= '9') {
        value = value * 10u + static_cast<std::uint32_t>(c - '0');
        i += width;
    }
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

}  // namespace vidmora
