// Cookie texts: items "name=value" joined by "; ", the empty text meaning no cookies.
#pragma once

#include <cstdint>

#include "text/text.h"

namespace vidmora {

// The cookie items of every Set-Cookie line of a raw response header block.
Text collect_set_cookies(const Text& response_headers);
// The response's cookies, then the caller's earlier ones the response did not set; deleted
// and repeated items dropped. Writes the merged text back into `request_cookies` and the
// blank-free response text into `response_cookies`.
Text merge_cookies(Text& request_cookies, Text& response_cookies);
Text cookie_name(const Text& item);
bool has_cookie_named(const TextList& items, const Text& name);
// The items of `text` split at `separator`, each byte-identical item kept once, in order.
Text dedupe_items(const Text& text, const Text& separator);
std::int32_t index_of_item(const TextList& list, const Text& text);

}  // namespace vidmora
