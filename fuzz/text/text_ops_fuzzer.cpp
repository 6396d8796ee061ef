// The text toolkit's scanning operations against literal versions of their rules and against
// the properties callers rely on: results inside the text, matches at character boundaries,
// replacing a sub-text by itself changing nothing, splitting and joining giving the text back,
// no blanks left where none may remain.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/property_check.h"
#include "fuzz/text/reference.h"
#include "text/text.h"

namespace vidmora {
namespace {

namespace ref = reference;

using fuzzing::check;

Text join(const TextList& items, const Text& separator) {
    Text out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i != 0) out += separator;
        out += items[i];
    }
    return out;
}

bool ends_with(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// Whether the text, read by characters from its start, ends in a lead byte of its own.
bool ends_broken(std::string_view s) {
    std::size_t at = 0;
    while (at + 1 < s.size()) at += ref::width(s, at);
    return at + 1 == s.size() && ref::lead(s[at]);
}

// A blank at a character boundary anywhere in the text.
bool holds_blank(std::string_view s) {
    for (std::size_t at = 0; at < s.size(); at += ref::width(s, at)) {
        if (ref::blank(s, at) != 0) return true;
    }
    return false;
}

// The last character read from the start, or npos for the empty text.
std::size_t last_char(std::string_view s) {
    std::size_t last = std::string_view::npos;
    for (std::size_t at = 0; at < s.size(); at += ref::width(s, at)) last = at;
    return last;
}

void check_find(const Text& text, const Text& sub, std::int32_t start, bool ignore_case) {
    const std::int32_t found = find_text(text, sub, start, ignore_case);
    check(found == -1 || (found >= 1 && found <= text_length(text)), "find_text in bounds");
    if (found != -1 && !sub.empty()) {
        const auto at = static_cast<std::size_t>(found - 1);
        const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
        check(at >= from && at + sub.size() <= text.size(), "find_text inside the region");
        check(ref::boundary_from(text, from, at), "find_text at a character boundary");
        check(ref::same(std::string_view(text).substr(at, sub.size()), sub, ignore_case),
              "find_text result matches");
    }
    check(found == ref::find_text(text, sub, start, ignore_case), "find_text as the rules say");

    const std::int32_t last = find_text_last(text, sub, start, ignore_case);
    check(last == -1 || (last >= 1 && last <= text_length(text)), "find_text_last in bounds");
    if (last != -1 && !sub.empty()) {
        const auto at = static_cast<std::size_t>(last - 1);
        check(static_cast<std::int64_t>(at + sub.size()) <= std::max(start - 1, 0),
              "find_text_last ends before the start position");
        check(ref::boundary_from(text, 0, at), "find_text_last at a character boundary");
        check(ref::same(std::string_view(text).substr(at, sub.size()), sub, ignore_case),
              "find_text_last result matches");
    }
    check(last == ref::find_text_last(text, sub, true, start, ignore_case),
          "find_text_last as the rules say");
    check(find_text_last(text, sub, std::nullopt, ignore_case) ==
              ref::find_text_last(text, sub, false, 0, ignore_case),
          "find_text_last over the whole text");
}

void check_cutting(const Text& text, std::int32_t position, std::int32_t n) {
    const Text left = text_left(text, n);
    const Text right = text_right(text, n);
    check(text.starts_with(left) && ends_with(text, right), "left and right are the ends");
    const std::size_t want = n <= 0 ? 0 : std::min<std::size_t>(text.size(), n);
    check(left.size() == want && right.size() == want, "left and right lengths");
    const Text mid = text_mid(text, position, n);
    if (position < 1 || position > text_length(text) || n <= 0) {
        check(mid.empty(), "text_mid refuses positions outside the text");
    } else {
        check(mid == text.substr(position - 1, n), "text_mid cuts at the position");
    }
    const Bytes bytes = text_to_bytes(text);
    const Bytes piece = bytes_mid(bytes, position, n);
    check(piece.size() <= static_cast<std::size_t>(std::max(n, 0)), "bytes_mid length");
    check(bytes_to_text(bytes) == text, "bytes round trip");
}

void check_rewrites(const Text& text, const Text& sub, std::int32_t start, std::int32_t count) {
    const Text lower = to_lower(text);
    check(lower == ref::to_lower(text), "to_lower as the rules say");
    check(lower.size() == text.size(), "to_lower keeps the length");

    const Text trimmed = trim_spaces(text);
    check(trimmed == ref::trim_spaces(text), "trim_spaces as the rules say");
    check(text.find(trimmed) != std::string::npos, "trim_spaces cuts a piece of the text");
    if (!trimmed.empty() && !ends_broken(text)) {
        check(ref::blank(trimmed, 0) == 0, "no blank left at the start");
        check(ref::blank(trimmed, last_char(trimmed)) == 0, "no blank left at the end");
    }

    const Text removed = remove_spaces(text);
    check(removed == ref::remove_spaces(text), "remove_spaces as the rules say");
    check(!holds_blank(removed), "remove_spaces leaves no blank");
    check(!ends_broken(removed), "remove_spaces drops a broken character");

    // Replacing a sub-text by itself changes nothing but a lead byte at the very end that the
    // scan steps onto as a broken character. Where the scan stands depends on the start
    // position and on the matches (a sub-text ending in a lead byte shifts it), so only the
    // lone last byte may go.
    const Text same = replace_text(text, sub, sub, true, start, count);
    check(same == ref::replace_text(text, sub, sub, true, start, count),
          "replace_text by itself as the rules say");
    check(same == text ||
              (same.size() + 1 == text.size() && text.starts_with(same) && ref::lead(text.back())),
          "replace_text with the sub-text itself is idempotent");

    // Case-insensitively, every letter-case variant becomes the sub-text letter for letter.
    const Text folded = replace_text(text, sub, sub, false, start, count);
    check(folded == ref::replace_text(text, sub, sub, false, start, count),
          "case-insensitive replace_text as the rules say");
    check(folded.size() == text.size() || folded.size() + 1 == text.size(),
          "case-insensitive replace by itself keeps the length");
    for (std::size_t i = 0; i < folded.size(); ++i) {
        check(ref::fold(folded[i]) == ref::fold(text[i]), "only letter case changes");
    }
    if (!sub.empty() && count < 0) {
        const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
        for (std::size_t at = from; at < folded.size() && folded.size() - at >= sub.size();) {
            if (ref::same(std::string_view(folded).substr(at, sub.size()), sub, true)) {
                check(std::string_view(folded).substr(at, sub.size()) == sub,
                      "every variant folded to the sub-text");
                at += sub.size();
            } else {
                at += ref::width(folded, at);
            }
        }
    }

    const Text replacement = sub.empty() ? Text("#") : Text(sub.rbegin(), sub.rend());
    check(replace_text(text, sub, replacement, start % 2 == 0, start, count) ==
              ref::replace_text(text, sub, replacement, start % 2 == 0, start, count),
          "replace_text with another replacement as the rules say");
}

void check_split(const Text& text, const Text& separator, std::int32_t limit) {
    const TextList items = split_text(text, separator);
    check(items == ref::split_text(text, separator, INT64_MAX), "split_text as the rules say");
    const Text joined = join(items, separator);
    if (!ends_with(text, separator) || separator.empty()) {
        check(joined == text, "split then join gives the text back");
    } else {
        check(joined == text || joined + separator == text,
              "split then join loses at most the separator at the end");
    }
    check(split_text(text, separator, limit) == ref::split_text(text, separator, limit),
          "split_text with a limit as the rules say");
}

std::int32_t reference_to_int(std::string_view s) {
    // Full-width forms folded first, then a decimal reading that wraps in 32 bits.
    std::string folded;
    for (std::size_t at = 0; at < s.size();) {
        const auto b = static_cast<unsigned char>(s[at]);
        const auto c = at + 1 < s.size() ? static_cast<unsigned char>(s[at + 1]) : 0;
        if (b >= 0x80 && at + 1 < s.size()) {
            if (b == 0xA3 && c >= 0xA1 && c <= 0xFE) {
                folded += static_cast<char>(c - 0x80);
            } else if (b == 0xA1 && c == 0xA1) {
                folded += ' ';
            } else if (b == 0xA1 && c == 0xAB) {
                folded += '~';
            } else if (b == 0xA1 && (c == 0xEE || c == 0xEF)) {
                folded += '*';
            } else {
                folded += s.substr(at, 2);
            }
            at += 2;
        } else {
            folded += s[at++];
        }
    }
    std::size_t i = 0;
    while (i < folded.size() && (folded[i] == ' ' || (folded[i] >= '\t' && folded[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) negative = folded[i++] == '-';
    std::uint32_t value = 0;
    for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i) {
        value = value * 10u + static_cast<std::uint32_t>(folded[i] - '0');
    }
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

}  // namespace
}  // namespace vidmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vidmora;
    FuzzedDataProvider provider(data, size);
    // Small numbers land near the text's ends, where the boundary rules matter.
    const auto start = provider.ConsumeIntegralInRange<std::int32_t>(-2, 40);
    const auto count = provider.ConsumeIntegralInRange<std::int32_t>(-1, 4);
    const auto n = provider.ConsumeIntegralInRange<std::int32_t>(-2, 40);
    const bool ignore_case = provider.ConsumeBool();
    const Text sub = reference::consume_text(provider, 6);
    const Text text = reference::consume_text(provider, SIZE_MAX);

    check_find(text, sub, start, ignore_case);
    check_cutting(text, start, n);
    check_rewrites(text, sub, start, count);
    check_split(text, sub, count);
    check(text_to_int(text) == reference_to_int(text), "text_to_int as the rules say");
    return 0;
}
