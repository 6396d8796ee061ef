// Cookie texts: collecting the items of Set-Cookie lines and merging them with a caller's.
#include "web/cookies.h"

#include <string_view>
#include <unordered_set>

#include "text/grow.h"
#include "text/markers.h"

namespace vidmora {
namespace {

const Text kSeparator = "; ";

// Drops the separator after the last item of a text built as "item; item; ".
Text without_last_separator(const Text& built, const Text& separator) {
    return text_left(built, text_length(built) - text_length(separator));
}

}  // namespace

Text collect_set_cookies(const Text& response_headers) {
    Text cookies;
    for (const Text& line : split_text(response_headers, "\r\n")) {
        // The header names were normalised to this spelling before we are called.
        if (find_text(line, "Set-Cookie") == -1) continue;
        Text item;
        if (find_text(line, ";") != -1) {
            // name=value ends at the first ";"; the attributes after it are not ours.
            item = trim_spaces(text_between(line, "Set-Cookie:", ";"));
        } else {
            item = trim_spaces(replace_text(line, "Set-Cookie:", "", false));
        }
        append_to(cookies, item);
        append_to(cookies, kSeparator);
    }
    return without_last_separator(cookies, kSeparator);
}

Text merge_cookies(Text& request_cookies, Text& response_cookies) {
    request_cookies = remove_spaces(request_cookies);
    response_cookies = remove_spaces(response_cookies);
    TextList items = split_text(response_cookies, ";");
    // The names in `items`, kept beside it so that each old item is checked in constant time
    // rather than by walking the list (has_cookie_named) again.
    const TextList olds = split_text(request_cookies, ";");
    std::unordered_set<Text> names;
    const std::size_t most = items.size() + olds.size();
    or_die(static_cast<std::int64_t>(most * sizeof(void*)), [&] { names.reserve(most); });
    auto add_name = [&](Text&& name) {
        return or_die(static_cast<std::int64_t>(sizeof(Text) + name.size() + 2 * sizeof(void*)),
                      [&] { return names.insert(std::move(name)).second; });
    };
    for (const Text& item : items) add_name(cookie_name(item));
    for (const Text& old : olds) {
        if (add_name(cookie_name(old))) list_append(items, old);
    }
    Text merged;
    for (const Text& item : items) {
        if (text_equals(text_right(item, 8), "=deleted")) continue;
        append_to(merged, item);
        append_to(merged, kSeparator);
    }
    request_cookies = dedupe_items(without_last_separator(merged, kSeparator), kSeparator);
    return request_cookies;
}

Text cookie_name(const Text& item) {
    const std::int32_t equals = find_text(item, "=");
    if (equals == -1) return trim_spaces(item);
    return trim_spaces(text_left(item, equals - 1));
}

bool has_cookie_named(const TextList& items, const Text& name) {
    for (const Text& item : items) {
        if (text_equals(cookie_name(item), name)) return true;
    }
    return false;
}

Text dedupe_items(const Text& text, const Text& separator) {
    const TextList items = split_text(text, separator);
    // Seen items in a hash set: walking a list of them (index_of_item) for every item would
    // make this quadratic in the number of items.
    std::unordered_set<std::string_view> seen;
    or_die(static_cast<std::int64_t>(items.size() * sizeof(void*)),
           [&] { seen.reserve(items.size()); });
    Text result;
    for (const Text& item : items) {
        const bool first = or_die(sizeof(std::string_view) + 2 * sizeof(void*),
                                  [&] { return seen.insert(item).second; });
        if (!first) continue;
        append_to(result, item);
        append_to(result, separator);
    }
    return without_last_separator(result, separator);
}

std::int32_t index_of_item(const TextList& list, const Text& text) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (text_equals(list[i], text)) return static_cast<std::int32_t>(i + 1);
    }
    return -1;
}

}  // namespace vidmora
