// One HTTP or HTTPS request through the platform's HTTP client, with browser-like defaults.
#pragma once

#include <cstdint>

#include "text/text.h"

namespace vidmora {

// The agent sent when the caller's headers name none.
inline constexpr char kDefaultUserAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

// Fetches `url` and returns the response body, whatever its status; empty when the request
// could not be opened or nothing was read.
//
// method: 0 GET, 1 POST, 2 HEAD; anything else is GET.
// request_cookies: null when omitted. Given (even empty), the client's own cookie store is left
//   out, and the response's cookies are merged into it on return.
// request_headers: completed in place with the header text that was sent.
// body_bytes: for POST and HEAD, filled from body_text in place when empty.
// response_cookies, response_headers: written once the request is open; null discards them.
// proxy: empty for a direct connection.
Bytes web_request(const Text& url, std::int32_t method = 0, const Text& body_text = {},
                  Text* request_cookies = nullptr, Text* response_cookies = nullptr,
                  Text* request_headers = nullptr, Text* response_headers = nullptr,
                  std::int32_t no_redirect = 0, Bytes* body_bytes = nullptr,
                  const Text& proxy = {});

}  // namespace vidmora
