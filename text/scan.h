// Stepping through a text character by character: a byte of 0x80 or more opens a two-byte
// character whatever follows it. Shared by the searching and rewriting operations.
#pragma once

#include <cstddef>
#include <string_view>

namespace vidmora::scan {

inline bool is_lead(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

// Width of the character at `at`: 2 for a lead byte (even a broken one at the end).
inline std::size_t char_width(std::string_view s, std::size_t at) {
    return is_lead(s[at]) ? 2 : 1;
}

// Folds only A-Z to a-z.
inline char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
}

bool equal_folded(const char* a, const char* b, std::size_t n);

// Whether the M bytes of `sub` are at `at` (M bytes must remain there).
inline bool matches_at(std::string_view s, std::size_t at, std::string_view sub, bool ignore_case) {
    return ignore_case ? equal_folded(s.data() + at, sub.data(), sub.size())
                       : s.compare(at, sub.size(), sub) == 0;
}

// Steps from the character boundary `at` until reaching or passing `target`; the result is
// the first boundary at or after `target` (it may lie one past the end after a broken
// character).
std::size_t advance_to(std::string_view s, std::size_t at, std::size_t target);

// Whether `pos` starts a character, given that `known` (at or before `pos`) does. The byte
// after any byte below 0x80 starts a character (that byte ends one, alone or as the second of
// two), so only the run of bytes of 0x80 or more right before `pos` decides: they pair up from
// the boundary before them, and `pos` is a boundary when there is an even number of them.
inline bool at_boundary(std::string_view s, std::size_t known, std::size_t pos) {
    std::size_t start = pos;
    while (start > known && is_lead(s[start - 1])) --start;
    return (pos - start) % 2 == 0;
}

// The first occurrence of the non-empty `sub` that starts at a character boundary reached by
// stepping from `from` (itself taken as a boundary) and lies wholly inside `s`; npos if none.
std::size_t next_match(std::string_view s, std::string_view sub, std::size_t from,
                       bool ignore_case);

// Blank at `at`: 0x20, or 0xA1 0xA1 starting there. Only meaningful at a boundary.
inline std::size_t blank_width(std::string_view s, std::size_t at) {
    if (s[at] == ' ') return 1;
    if (s[at] == '\xA1' && at + 1 < s.size() && s[at + 1] == '\xA1') return 2;
    return 0;
}

}  // namespace vidmora::scan
