// Taking a URL apart for a request: plain text rules, not a general URL parser.
#pragma once

#include <cstdint>

#include "text/text.h"

namespace vidmora {

// The host, lower-cased; with `keep_port`, followed by ":port" when the URL names one; with
// `base_domain_only`, only the last two dot-separated labels.
Text url_host(const Text& url, bool base_domain_only = false, bool keep_port = false);
// The port the URL names, else 443 for "https" and 80 otherwise.
std::int32_t url_port(const Text& url);
// From the first "/" after the host to the end (query and fragment included); "/" if none.
Text url_path(const Text& url);

}  // namespace vidmora
