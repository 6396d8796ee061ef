// Text, Bytes and TextList and the operations every other part of the program works with.
//
// A Text is a run of bytes in the ANSI code page (GBK); it never holds a NUL byte. Positions
// are 1-based byte positions, -1 means "not found". Scanning operations step by characters: a
// byte of 0x80 or more and the byte after it form one two-byte character. A lead byte with
// nothing after it is a broken character. Blanks are 0x20 and the full-width space 0xA1 0xA1.
// No operation reports an error: out-of-range positions and counts give empty, clamped or -1
// results. Running out of memory is fatal (fatal.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vidmora {

using Text = std::string;
using Bytes = std::vector<std::uint8_t>;
using TextList = std::vector<Text>;

// Lengths and positions are 32-bit, and the position just past the end must fit too. What
// reads data from outside (the network, a gzip stream) refuses a result longer than this.
inline constexpr std::size_t kMaxLength = 0x7FFFFFFE;

// --- length, equality, joining -----------------------------------------------------------

std::int32_t text_length(const Text& text);
bool text_equals(const Text& a, const Text& b);
Text join_text(std::initializer_list<std::string_view> parts);
template <typename... More>
Text join_text(std::string_view a, std::string_view b, const More&... more) {
    return join_text({a, b, std::string_view(more)...});
}

// --- searching -----------------------------------------------------------------------------

// First occurrence at a character boundary, from `start` (omitted, 0 or 1: the whole text).
std::int32_t find_text(const Text& text, const Text& sub, std::int32_t start = 1,
                       bool ignore_case = false);
// Last occurrence lying wholly before position `start` (omitted: the whole text).
std::int32_t find_text_last(const Text& text, const Text& sub,
                            std::optional<std::int32_t> start = std::nullopt,
                            bool ignore_case = false);

// --- cutting (byte positions; may split a two-byte character) -------------------------------

Text text_left(const Text& text, std::int32_t n);
Text text_right(const Text& text, std::int32_t n);
Text text_mid(const Text& text, std::int32_t position, std::int32_t n);

// --- rewriting -----------------------------------------------------------------------------

Text to_lower(const Text& text);
Text trim_spaces(const Text& text);
Text remove_spaces(const Text& text);
// Replaces up to `count` occurrences (negative: all) from position `start`. Every caller says
// whether the match is case-sensitive.
Text replace_text(const Text& text, const Text& sub, const Text& replacement, bool case_sensitive,
                  std::int32_t start = 1, std::int32_t count = -1);
// Items between separators; a separator at the very end adds no empty item. `limit` caps the
// number of items (negative counts as 0); omitted, there is no cap.
TextList split_text(const Text& text, const Text& separator,
                    std::optional<std::int32_t> limit = std::nullopt);
// Decimal value with full-width forms folded to ASCII; wraps in 32 bits, never fails.
std::int32_t text_to_int(const Text& text);

// --- conversions and filled values ---------------------------------------------------------

Text blank_text(std::int32_t n);
Text char_text(std::int32_t code);
Bytes text_to_bytes(const Text& text);
Text bytes_to_text(const Bytes& bytes);

// --- Bytes ---------------------------------------------------------------------------------

std::int32_t bytes_length(const Bytes& bytes);
bool bytes_equal(const Bytes& a, const Bytes& b);
Bytes bytes_left(const Bytes& bytes, std::int32_t n);
// Unlike text_mid, the position is clamped into the value rather than refused.
Bytes bytes_mid(const Bytes& bytes, std::int32_t position, std::int32_t n);
Bytes join_bytes(std::initializer_list<const Bytes*> parts);
template <typename... More>
Bytes join_bytes(const Bytes& a, const Bytes& b, const More&... more) {
    return join_bytes({&a, &b, &more...});
}
Bytes blank_bytes(std::int32_t n);

// --- TextList ------------------------------------------------------------------------------

std::int32_t list_count(const TextList& list);
void list_append(TextList& list, const Text& text);

}  // namespace vidmora
