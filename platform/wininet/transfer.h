// Carrying out one sent request over libcurl.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/wininet/handles.h"

namespace vidmora::wininet {

// Sends the request with the caller's header text (lines ended by CR LF) and body, follows
// redirects unless the request says not to, and returns the final response with its whole
// body. `received` is false when no response came.
Response perform_request(const Request& request, std::string_view header_text,
                         std::span<const std::uint8_t> body);

}  // namespace vidmora::wininet
