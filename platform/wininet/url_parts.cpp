#include "platform/wininet/url_parts.h"

#include <cctype>

namespace vidmora::wininet {

namespace {

bool is_scheme_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
}

// The length of "scheme" in "scheme:...", or 0 when the text does not start with one.
std::size_t scheme_length(std::string_view url) {
    if (url.empty() || !std::isalpha(static_cast<unsigned char>(url[0]))) return 0;
    std::size_t n = 1;
    while (n < url.size() && is_scheme_char(url[n])) ++n;
    return n < url.size() && url[n] == ':' ? n : 0;
}

bool is_blank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// RFC 3986's removal of "." and ".." segments, done in one pass over the path.
std::string remove_dot_segments(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    while (!path.empty()) {
        if (path.starts_with("../")) {
            path.remove_prefix(3);
        } else if (path.starts_with("./") || path.starts_with("/./")) {
            path.remove_prefix(2);
        } else if (path == "/.") {
            path = "/";
        } else if (path.starts_with("/../") || path == "/..") {
            path = path.size() == 3 ? std::string_view("/") : path.substr(3);
            auto slash = out.rfind('/');
            out.resize(slash == std::string::npos ? 0 : slash);
        } else if (path == "." || path == "..") {
            path = {};
        } else {
            auto next = path.find('/', 1);
            if (next == std::string_view::npos) next = path.size();
            out.append(path.substr(0, next));
            path.remove_prefix(next);
        }
    }
    return out;
}

void append_escaped(std::string& out, std::string_view text, bool encode) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (encode && (byte <= 0x20 || byte >= 0x7F)) {
            out.push_back('%');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 15]);
        } else {
            out.push_back(c);
        }
    }
}

INTERNET_SCHEME scheme_number(std::string_view scheme) {
    auto equals = [&](std::string_view name) {
        if (scheme.size() != name.size()) return false;
        for (std::size_t i = 0; i < name.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(scheme[i])) != name[i]) return false;
        return true;
    };
    if (equals("http")) return INTERNET_SCHEME_HTTP;
    if (equals("https")) return INTERNET_SCHEME_HTTPS;
    if (equals("ftp")) return INTERNET_SCHEME_FTP;
    if (equals("file")) return INTERNET_SCHEME_FILE;
    return INTERNET_SCHEME_UNKNOWN;
}

}  // namespace

std::optional<std::string> canonical_url(std::string_view url, bool encode) {
    while (!url.empty() && is_blank(url.front())) url.remove_prefix(1);
    while (!url.empty() && is_blank(url.back())) url.remove_suffix(1);
    std::size_t scheme_end = scheme_length(url);
    if (scheme_end == 0) return std::nullopt;

    std::string out;
    out.reserve(url.size() + 8);
    for (std::size_t i = 0; i < scheme_end; ++i)
        out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(url[i]))));
    out.push_back(':');
    std::string_view rest = url.substr(scheme_end + 1);

    if (rest.starts_with("//")) {
        std::size_t authority_end = rest.find_first_of("/?#", 2);
        if (authority_end == std::string_view::npos) authority_end = rest.size();
        append_escaped(out, rest.substr(0, authority_end), encode);
        rest.remove_prefix(authority_end);
    }
    std::size_t path_end = rest.find_first_of("?#");
    if (path_end == std::string_view::npos) path_end = rest.size();
    append_escaped(out, remove_dot_segments(rest.substr(0, path_end)), encode);
    append_escaped(out, rest.substr(path_end), encode);
    return out;
}

std::optional<UrlParts> split_url(std::string_view url) {
    UrlParts parts;
    std::size_t scheme_end = scheme_length(url);
    if (scheme_end == 0) return std::nullopt;
    parts.scheme = url.substr(0, scheme_end);
    parts.scheme_number = scheme_number(parts.scheme);
    std::string_view rest = url.substr(scheme_end + 1);
    bool web =
        parts.scheme_number == INTERNET_SCHEME_HTTP || parts.scheme_number == INTERNET_SCHEME_HTTPS;

    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        std::size_t authority_end = rest.find_first_of("/?#");
        if (authority_end == std::string_view::npos) authority_end = rest.size();
        std::string_view authority = rest.substr(0, authority_end);
        rest.remove_prefix(authority_end);

        if (auto at = authority.rfind('@'); at != std::string_view::npos) {
            std::string_view user_info = authority.substr(0, at);
            authority.remove_prefix(at + 1);
            auto colon = user_info.find(':');
            parts.user_name = user_info.substr(0, colon);
            if (colon != std::string_view::npos) parts.password = user_info.substr(colon + 1);
        }
        std::size_t port_colon = std::string_view::npos;
        if (authority.starts_with('[')) {
            auto close = authority.find(']');
            if (close == std::string_view::npos) return std::nullopt;
            parts.host = authority.substr(1, close - 1);
            if (close + 1 < authority.size()) {
                if (authority[close + 1] != ':') return std::nullopt;
                port_colon = close + 1;
            }
        } else {
            port_colon = authority.find(':');
            parts.host = authority.substr(0, port_colon);
        }
        if (port_colon != std::string_view::npos) {
            std::string_view digits = authority.substr(port_colon + 1);
            if (digits.size() > 5) return std::nullopt;
            std::uint32_t port = 0;
            for (char c : digits) {
                if (c < '0' || c > '9') return std::nullopt;
                port = port * 10 + static_cast<std::uint32_t>(c - '0');
            }
            if (port > 65535) return std::nullopt;
            if (!digits.empty()) parts.port = static_cast<INTERNET_PORT>(port);
        }
    } else if (web) {
        return std::nullopt;
    }
    if (web && parts.host.empty()) return std::nullopt;
    if (parts.port == INTERNET_INVALID_PORT_NUMBER) {
        if (parts.scheme_number == INTERNET_SCHEME_HTTP) parts.port = INTERNET_DEFAULT_HTTP_PORT;
        if (parts.scheme_number == INTERNET_SCHEME_HTTPS) parts.port = INTERNET_DEFAULT_HTTPS_PORT;
        if (parts.scheme_number == INTERNET_SCHEME_FTP) parts.port = 21;
    }
    std::size_t extra = rest.find_first_of("?#");
    if (extra == std::string_view::npos) extra = rest.size();
    parts.path = rest.substr(0, extra);
    parts.extra_info = rest.substr(extra);
    return parts;
}

}  // namespace vidmora::wininet
