#include "text/scan.h"

#include <cstdint>
#include <cstring>

namespace vidmora::scan {

bool equal_folded(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

std::size_t advance_to(std::string_view s, std::size_t at, std::size_t target) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    while (at < target) {
        if (is_lead(s[at])) {
            at += 2;
            continue;
        }
        // Eight one-byte characters in a row are eight boundaries: skip them at once, which
        // keeps mostly-ASCII pages (HTML) close to memory speed.
        if (at + 8 <= target) {
            std::uint64_t word;
            std::memcpy(&word, s.data() + at, 8);
            if ((word & kHighBits) == 0) {
                at += 8;
                continue;
            }
        }
        at += 1;
    }
    return at;
}

namespace {

// glibc's memmem skips ahead on a mismatch, where a first-byte search stops at every '<' of a
// page: twice as fast on HTML.
std::size_t raw_find(std::string_view s, std::string_view sub, std::size_t from) {
#if defined(__GLIBC__)
    const void* found = memmem(s.data() + from, s.size() - from, sub.data(), sub.size());
    return found ? static_cast<const char*>(found) - s.data() : std::string_view::npos;
#else
    return s.find(sub, from);
#endif
}

}  // namespace

std::size_t next_match(std::string_view s, std::string_view sub, std::size_t from,
                       bool ignore_case) {
    const std::size_t m = sub.size();
    if (!ignore_case) {
        // Let the library find raw occurrences quickly, then keep only those that start at a
        // character boundary. `known` is the latest position known to be a boundary, so the
        // boundary tests together never look at a byte twice.
        std::size_t known = from;
        for (std::size_t at = from;;) {
            const std::size_t pos = raw_find(s, sub, at);
            if (pos == std::string_view::npos || at_boundary(s, known, pos)) return pos;
            // `pos` is the second byte of a character, so the next byte starts one.
            known = at = pos + 1;
        }
    }
    const char first = fold(sub[0]);
    for (std::size_t at = from; at < s.size() && s.size() - at >= m; at += char_width(s, at)) {
        if (fold(s[at]) == first && equal_folded(s.data() + at + 1, sub.data() + 1, m - 1)) {
            return at;
        }
    }
    return std::string_view::npos;
}

}  // namespace vidmora::scan
