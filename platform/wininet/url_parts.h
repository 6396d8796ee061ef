// Reading URLs as the request functions need them: canonical form and parts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/wininet/wininet.h"

namespace vidmora::wininet {

// Views into the URL that was split.
struct UrlParts {
    std::string_view scheme;
    INTERNET_SCHEME scheme_number = INTERNET_SCHEME_UNKNOWN;
    std::string_view user_name;
    std::string_view password;
    std::string_view host;
    INTERNET_PORT port = INTERNET_INVALID_PORT_NUMBER;  // the scheme's default when not named
    std::string_view path;                              // from the first "/" up to the query
    std::string_view extra_info;                        // query and fragment
};

// Scheme lower-cased, dot segments of the path resolved, blanks around the URL dropped; with
// `encode`, bytes that may not stand in a URL are percent-escaped. Empty when the URL has no
// scheme.
std::optional<std::string> canonical_url(std::string_view url, bool encode);

// Empty when the URL has no scheme, an http or https URL has no host, or the port is not a
// number from 0 to 65535.
std::optional<UrlParts> split_url(std::string_view url);

}  // namespace vidmora::wininet
