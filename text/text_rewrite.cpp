// Operations that walk a text by characters and build a new one: letter case, blanks,
// replacing and splitting.
#include <string_view>

#include "text/grow.h"
#include "text/scan.h"
#include "text/text.h"

namespace vidmora {

Text to_lower(const Text& text) {
    Text out = copy_text(text);
    for (std::size_t i = 0; i < out.size(); i += scan::char_width(out, i)) {
        // Second bytes of two-byte characters are stepped over, never folded.
        out[i] = scan::fold(out[i]);
    }
    return out;
}

Text trim_spaces(const Text& text) {
    const std::string_view s = text;
    std::size_t begin = 0;
    while (begin < s.size()) {
        const std::size_t w = scan::blank_width(s, begin);
        if (w == 0) break;
        begin += w;
    }
    std::size_t end = s.size();
    std::size_t run = std::string_view::npos;  // where the current run of blanks began
    for (std::size_t i = begin; i < s.size();) {
        if (scan::is_lead(s[i]) && i + 1 == s.size()) {
            // A broken character at the end is cut off; blanks before it stay.
            end = i;
            run = std::string_view::npos;
            break;
        }
        const std::size_t w = scan::blank_width(s, i);
        if (w != 0) {
            if (run == std::string_view::npos) run = i;
            i += w;
        } else {
            run = std::string_view::npos;
            i += scan::char_width(s, i);
        }
    }
    if (run != std::string_view::npos) end = run;
    return copy_text(s.substr(begin, end - begin));
}

Text remove_spaces(const Text& text) {
    const std::string_view s = text;
    Text out;
    grow_to(out, s.size());
    std::size_t kept = 0;  // start of the run of characters not yet copied
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t blank = scan::blank_width(s, i);
        const bool broken = scan::is_lead(s[i]) && i + 1 == s.size();
        if (blank == 0 && !broken) {
            i += scan::char_width(s, i);
            continue;
        }
        // Copy whole runs at once rather than byte by byte.
        append_to(out, s.substr(kept, i - kept));
        i += broken ? 1 : blank;
        kept = i;
    }
    append_to(out, s.substr(kept, s.size() - kept));
    return out;
}

Text replace_text(const Text& text, const Text& sub, const Text& replacement, bool case_sensitive,
                  std::int32_t start, std::int32_t count) {
    const std::string_view s = text;
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (s.empty() || sub.empty() || from >= s.size() || count == 0) return copy_text(s);
    const bool ignore_case = !case_sensitive;
    std::int64_t left = count < 0 ? -1 : count;  // -1: no limit
    Text out;
    grow_to(out, s.size());
    append_to(out, s.substr(0, from));
    std::size_t copied = from;  // everything before this has been emitted
    std::size_t at = from;      // the scan point, always a character boundary
    while (left != 0) {
        const std::size_t pos = scan::next_match(s, sub, at, ignore_case);
        if (pos == std::string_view::npos) break;
        append_to(out, s.substr(copied, pos - copied));
        append_to(out, replacement);
        // Matches never overlap and a replacement is never scanned again.
        at = copied = pos + sub.size();
        if (left > 0) --left;
    }
    if (left != 0 && sub.size() == 1) {
        // The scan reached the end: a broken character that it stepped onto (and that did not
        // match) is dropped. With a longer sub-text fewer than M bytes remained there, and the
        // rest is copied unchanged.
        const std::size_t last = s.size() - 1;
        if (scan::is_lead(s[last]) && last >= at && scan::advance_to(s, at, last) == last) {
            append_to(out, s.substr(copied, last - copied));
            return out;
        }
    }
    append_to(out, s.substr(copied));
    return out;
}

TextList split_text(const Text& text, const Text& separator, std::optional<std::int32_t> limit) {
    const std::size_t max_items =
        !limit ? SIZE_MAX : (*limit < 0 ? 0 : static_cast<std::size_t>(*limit));
    TextList items;
    if (text.empty() || max_items == 0) return items;
    if (separator.empty()) {
        append_to(items, copy_text(text));
        return items;
    }
    const std::string_view s = text;
    std::size_t item = 0;  // start of the current item
    while (item < s.size()) {
        const std::size_t pos = scan::next_match(s, separator, item, false);
        if (pos == std::string_view::npos) break;
        append_to(items, copy_text(s.substr(item, pos - item)));
        if (items.size() == max_items) return items;
        item = pos + separator.size();
    }
    // A separator at the very end adds no empty item.
    if (item < s.size()) append_to(items, copy_text(s.substr(item)));
    return items;
}

}  // namespace vidmora
