// Cutting a piece out of a text between two markers, and the value after a colon.
#include "text/markers.h"

namespace vidmora {

namespace {

// A marker with every quote placeholder turned into the double quote it stands for.
Text effective_marker(const Text& marker) {
    static const Text kPlaceholder(kQuotePlaceholder);
    static const Text kQuote("\"");
    return replace_text(marker, kPlaceholder, kQuote, true);
}

}  // namespace

Text text_between(const Text& text, const Text& left, const Text& right, std::int32_t start,
                  bool ignore_case) {
    const Text l = effective_marker(left);
    const Text r = effective_marker(right);
    const std::int32_t a = find_text(text, l, start, ignore_case);
    if (a == -1) return {};
    // First byte after the left marker; the right marker is only looked for from there.
    const std::int32_t n = a + text_length(l);
    const std::int32_t b = find_text(text, r, n, ignore_case);
    if (b == -1) return {};
    return text_mid(text, n, b - n);
}

Text text_after_colon(const Text& text) {
    const std::int32_t p = find_text(text, ":");
    if (p == -1) return {};
    return trim_spaces(text_right(text, text_length(text) - p));
}

}  // namespace vidmora
