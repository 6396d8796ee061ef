// find_text and find_text_last: searches that only match at character boundaries.
#include <string_view>

#include "text/scan.h"
#include "text/text.h"

namespace vidmora {

std::int32_t find_text(const Text& text, const Text& sub, std::int32_t start, bool ignore_case) {
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
    const bool region_empty = from >= text.size();
    // The empty sub-text is found at position 1 of any non-empty region, whatever the start.
    if (sub.empty()) return region_empty ? -1 : 1;
    if (region_empty) return -1;
    // Boundaries are counted from the first byte of the region, as the caller chose it.
    const std::size_t pos = scan::next_match(text, sub, from, ignore_case);
    return pos == std::string_view::npos ? -1 : static_cast<std::int32_t>(pos + 1);
}

std::int32_t find_text_last(const Text& text, const Text& sub, std::optional<std::int32_t> start,
                            bool ignore_case) {
    // The region is the first P - 1 bytes: a match must end before position P.
    std::size_t region = text.size();
    if (start) {
        if (*start <= 1) return -1;
        region = std::min(region, static_cast<std::size_t>(*start) - 1);
    }
    if (region == 0) return -1;
    if (sub.empty()) return 1;
    const std::string_view s = std::string_view(text).substr(0, region);
    std::int32_t last = -1;
    std::size_t from = 0;
    while (from < s.size()) {
        const std::size_t pos = scan::next_match(s, sub, from, ignore_case);
        if (pos == std::string_view::npos) break;
        last = static_cast<std::int32_t>(pos + 1);
        from = pos + scan::char_width(s, pos);
    }
    return last;
}

}  // namespace vidmora
