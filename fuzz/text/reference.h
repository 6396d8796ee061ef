// Slow, literal versions of the scanning rules, written independently of the toolkit's own
// scanner: a character is one byte below 0x80, else the lead byte and whatever follows it.
// The fuzz targets compare the toolkit against these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

namespace vidmora::reference {

inline bool lead(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

inline std::size_t width(std::string_view s, std::size_t at) {
    return lead(s[at]) ? 2 : 1;
}

inline char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool same(std::string_view a, std::string_view b, bool ignore_case) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ignore_case ? fold(a[i]) != fold(b[i]) : a[i] != b[i]) return false;
    }
    return true;
}

// Whether `at` is a character boundary when stepping starts at `from`.
inline bool boundary_from(std::string_view s, std::size_t from, std::size_t at) {
    std::size_t i = from;
    while (i < at) i += width(s, i);
    return i == at;
}

// Every boundary (0-based) reached by stepping from `from`, one flag per byte.
inline std::vector<bool> boundaries(std::string_view s, std::size_t from) {
    std::vector<bool> at(s.size() + 1, false);
    for (std::size_t i = from; i < s.size(); i += width(s, i)) at[i] = true;
    return at;
}

// find_text: candidates from the region's first byte on, while M bytes remain.
inline std::int32_t find_text(std::string_view s, std::string_view sub, std::int32_t start,
                              bool ignore_case) {
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (sub.empty()) return from < s.size() ? 1 : -1;
    for (std::size_t at = from; at < s.size() && s.size() - at >= sub.size(); at += width(s, at)) {
        if (same(s.substr(at, sub.size()), sub, ignore_case)) return static_cast<int>(at) + 1;
    }
    return -1;
}

// find_text_last: the last match lying wholly inside the first `region` bytes.
inline std::int32_t find_text_last(std::string_view s, std::string_view sub, bool has_start,
                                   std::int32_t start, bool ignore_case) {
    std::size_t region = s.size();
    if (has_start) region = start <= 1 ? 0 : std::min<std::size_t>(region, start - 1);
    if (region == 0) return -1;
    if (sub.empty()) return 1;
    std::int32_t last = -1;
    for (std::size_t at = 0; at + sub.size() <= region; at += width(s, at)) {
        if (same(s.substr(at, sub.size()), sub, ignore_case)) last = static_cast<int>(at) + 1;
    }
    return last;
}

inline std::string replace_text(std::string_view s, std::string_view sub,
                                std::string_view replacement, bool case_sensitive,
                                std::int32_t start, std::int32_t count) {
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (s.empty() || sub.empty() || from >= s.size() || count == 0) return std::string(s);
    std::int64_t left = count < 0 ? -1 : count;
    std::string out(s.substr(0, from));
    std::size_t at = from;
    while (at < s.size()) {
        if (s.size() - at < sub.size()) break;
        if (same(s.substr(at, sub.size()), sub, !case_sensitive)) {
            out += replacement;
            at += sub.size();
            if (left > 0 && --left == 0) break;
            continue;
        }
        if (lead(s[at]) && at + 1 == s.size()) return out;  // a broken character is dropped
        out += s.substr(at, width(s, at));
        at += width(s, at);
    }
    if (at < s.size()) out += s.substr(at);
    return out;
}

inline std::vector<std::string> split_text(std::string_view s, std::string_view sep,
                                           std::int64_t limit) {
    std::vector<std::string> items;
    if (limit < 0) limit = 0;
    if (s.empty() || limit == 0) return items;
    if (sep.empty()) return {std::string(s)};
    std::size_t item = 0;
    std::size_t at = 0;
    while (at < s.size() && s.size() - at >= sep.size()) {
        if (s.substr(at, sep.size()) == sep) {
            items.emplace_back(s.substr(item, at - item));
            if (static_cast<std::int64_t>(items.size()) == limit) return items;
            at += sep.size();
            item = at;
            continue;
        }
        at += width(s, at);
    }
    if (item < s.size()) items.emplace_back(s.substr(item));
    return items;
}

inline std::size_t blank(std::string_view s, std::size_t at) {
    if (s[at] == ' ') return 1;
    if (at + 1 < s.size() && s[at] == '\xA1' && s[at + 1] == '\xA1') return 2;
    return 0;
}

inline std::string trim_spaces(std::string_view s) {
    std::size_t begin = 0;
    while (begin < s.size() && blank(s, begin) != 0) begin += blank(s, begin);
    std::size_t end = s.size();
    std::size_t run = std::string_view::npos;
    for (std::size_t at = begin; at < s.size();) {
        if (lead(s[at]) && at + 1 == s.size()) {
            return std::string(s.substr(begin, at - begin));
        }
        if (blank(s, at) != 0) {
            if (run == std::string_view::npos) run = at;
            at += blank(s, at);
        } else {
            run = std::string_view::npos;
            at += width(s, at);
        }
    }
    if (run != std::string_view::npos) end = run;
    return std::string(s.substr(begin, end - begin));
}

inline std::string remove_spaces(std::string_view s) {
    std::string out;
    for (std::size_t at = 0; at < s.size();) {
        if (lead(s[at]) && at + 1 == s.size()) break;
        if (const std::size_t w = blank(s, at); w != 0) {
            at += w;
            continue;
        }
        out += s.substr(at, width(s, at));
        at += width(s, at);
    }
    return out;
}

inline std::string to_lower(std::string_view s) {
    std::string out(s);
    for (std::size_t at = 0; at < out.size(); at += width(out, at)) out[at] = fold(out[at]);
    return out;
}

// The fuzzer's bytes as a text: a text never holds a NUL, so NULs are left out.
inline std::string consume_text(FuzzedDataProvider& data, std::size_t max_length) {
    std::string s = data.ConsumeRandomLengthString(max_length);
    std::erase(s, '\0');
    return s;
}

}  // namespace vidmora::reference
