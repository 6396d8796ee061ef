// The exported entry points: argument checks and handle bookkeeping around the transfer.
#include "platform/wininet/wininet.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/wininet/handles.h"
#include "platform/wininet/transfer.h"
#include "platform/wininet/url_parts.h"

using namespace vidmora::wininet;

namespace {

std::string text_or_empty(const char* text) {
    return text ? text : "";
}

// Copies `value` and its NUL into the caller's buffer when it fits; otherwise stores the size
// needed and leaves the buffer alone.
std::int32_t give_text(std::string_view value, void* buffer, std::uint32_t* buffer_length) {
    if (!buffer_length) return 0;
    std::uint64_t needed = value.size() + 1;
    if (!buffer || *buffer_length < needed) {
        *buffer_length = static_cast<std::uint32_t>(std::min<std::uint64_t>(needed, UINT32_MAX));
        return 0;
    }
    std::memcpy(buffer, value.data(), value.size());
    static_cast<char*>(buffer)[value.size()] = '\0';
    *buffer_length = static_cast<std::uint32_t>(value.size());
    return 1;
}

// The value of the first header line of that name in a raw header block.
bool find_header(std::string_view block, std::string_view name, std::string_view& value) {
    auto first_line_end = block.find("\r\n");
    if (first_line_end == std::string_view::npos) return false;
    block.remove_prefix(first_line_end + 2);  // the status line
    while (!block.empty()) {
        auto end = block.find("\r\n");
        std::string_view line = block.substr(0, end);
        block.remove_prefix(end == std::string_view::npos ? block.size() : end + 2);
        if (line.size() <= name.size() || line[name.size()] != ':') continue;
        bool same = std::equal(name.begin(), name.end(), line.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) ==
                   std::tolower(static_cast<unsigned char>(b));
        });
        if (!same) continue;
        value = line.substr(name.size() + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
            value.remove_prefix(1);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
            value.remove_suffix(1);
        return true;
    }
    return false;
}

// One part of InternetCrackUrlA: a copy into the caller's buffer, a pointer into the URL, or
// nothing, as the caller's pointer and length ask.
bool give_part(std::string_view part, char*& pointer, std::uint32_t& length) {
    if (!pointer) {
        if (length != 0) {
            pointer = const_cast<char*>(part.data());
            length = static_cast<std::uint32_t>(part.size());
        }
        return true;
    }
    if (length < part.size() + 1) {
        length = static_cast<std::uint32_t>(part.size() + 1);
        return false;
    }
    if (!part.empty()) std::memcpy(pointer, part.data(), part.size());
    pointer[part.size()] = '\0';
    length = static_cast<std::uint32_t>(part.size());
    return true;
}

// An option value of `length` bytes that may or may not end with its NUL.
std::string option_text(const void* buffer, std::uint32_t length) {
    if (!buffer) return {};
    const char* text = static_cast<const char*>(buffer);
    return std::string(text, strnlen(text, length));
}

}  // namespace

extern "C" {

HINTERNET VIDMORA_WINAPI InternetOpenA(const char* agent, std::uint32_t access_type,
                                       const char* proxy, const char* proxy_bypass,
                                       std::uint32_t /*flags: every call is synchronous*/) {
    if (access_type != INTERNET_OPEN_TYPE_PRECONFIG && access_type != INTERNET_OPEN_TYPE_DIRECT &&
        access_type != INTERNET_OPEN_TYPE_PROXY && access_type != 4 /* preconfigured, no
        auto-proxy */)
        return nullptr;
    if (access_type == INTERNET_OPEN_TYPE_PROXY && (!proxy || !*proxy)) return nullptr;
    auto session = std::make_shared<Session>();
    session->agent = text_or_empty(agent);
    session->access_type = access_type == 4 ? INTERNET_OPEN_TYPE_PRECONFIG : access_type;
    if (access_type == INTERNET_OPEN_TYPE_PROXY) {
        session->proxy = text_or_empty(proxy);
        session->bypass = text_or_empty(proxy_bypass);
    }
    return add_handle(std::move(session));
}

HINTERNET VIDMORA_WINAPI InternetConnectA(HINTERNET internet, const char* server_name,
                                          INTERNET_PORT server_port, const char* user_name,
                                          const char* password, std::uint32_t service,
                                          std::uint32_t /*flags*/, std::uintptr_t /*context*/) {
    auto session = find_handle<Session>(internet);
    if (!session || !server_name || !*server_name || service != INTERNET_SERVICE_HTTP)
        return nullptr;
    auto connection = std::make_shared<Connection>();
    connection->session = std::move(session);
    connection->host = server_name;
    connection->port = server_port;
    connection->user_name = text_or_empty(user_name);
    connection->password = text_or_empty(password);
    return add_handle(std::move(connection));
}

HINTERNET VIDMORA_WINAPI HttpOpenRequestA(HINTERNET connection, const char* verb,
                                          const char* object_name, const char* version,
                                          const char* referrer, const char** accept_types,
                                          std::uint32_t flags, std::uintptr_t /*context*/) {
    auto owner = find_handle<Connection>(connection);
    if (!owner) return nullptr;
    auto request = std::make_shared<Request>();
    request->connection = std::move(owner);
    request->verb = verb && *verb ? verb : "GET";
    request->path = object_name && *object_name ? object_name : "/";
    request->version = version && *version ? version : "HTTP/1.1";
    if (request->version != "HTTP/1.0" && request->version != "HTTP/1.1") return nullptr;
    request->referrer = text_or_empty(referrer);
    for (const char** type = accept_types; type && *type; ++type) {
        // An entry is one media type; blanks and line ends around it are not part of it.
        std::string_view entry = *type;
        while (!entry.empty() && static_cast<unsigned char>(entry.front()) <= ' ')
            entry.remove_prefix(1);
        while (!entry.empty() && static_cast<unsigned char>(entry.back()) <= ' ')
            entry.remove_suffix(1);
        if (!entry.empty()) request->accept_types.emplace_back(entry);
    }
    request->flags = flags;
    return add_handle(std::move(request));
}

std::int32_t VIDMORA_WINAPI HttpSendRequestA(HINTERNET request, const char* headers,
                                             std::uint32_t headers_length, void* optional,
                                             std::uint32_t optional_length) {
    auto target = find_handle<Request>(request);
    if (!target) return 0;
    std::string_view header_text;
    if (headers)
        header_text = headers_length == 0xFFFFFFFFu ? std::string_view(headers)
                                                    : std::string_view(headers, headers_length);
    std::span<const std::uint8_t> body;
    if (optional && optional_length)
        body = {static_cast<const std::uint8_t*>(optional), optional_length};
    target->transfer = std::make_shared<Transfer>(*target, header_text, body);
    return target->transfer->received() ? 1 : 0;
}

std::int32_t VIDMORA_WINAPI InternetReadFile(HINTERNET file, void* buffer,
                                             std::uint32_t bytes_to_read,
                                             std::uint32_t* bytes_read) {
    if (!bytes_read) return 0;
    *bytes_read = 0;
    auto request = find_handle<Request>(file);
    if (!request || !request->transfer || (!buffer && bytes_to_read)) return 0;
    return request->transfer->read(buffer, bytes_to_read, *bytes_read) ? 1 : 0;
}

std::int32_t VIDMORA_WINAPI HttpQueryInfoA(HINTERNET request, std::uint32_t info_level,
                                           void* buffer, std::uint32_t* buffer_length,
                                           std::uint32_t* index) {
    auto target = find_handle<Request>(request);
    if (!target || !target->transfer || !target->transfer->received() || !buffer_length) return 0;
    if (index && *index != 0) return 0;  // one occurrence of each header is all we report
    const std::string& block = target->transfer->raw_headers();
    bool as_number = info_level & HTTP_QUERY_FLAG_NUMBER;
    std::uint32_t level = info_level & 0xFFFF;

    std::string value;
    if (level == HTTP_QUERY_RAW_HEADERS_CRLF && !as_number) {
        value = block + "\r\n";
    } else if (level == HTTP_QUERY_CONTENT_LENGTH) {
        std::string_view found;
        if (!find_header(block, "Content-Length", found)) return 0;
        value = found;
    } else if (level == HTTP_QUERY_STATUS_CODE) {
        auto space = block.find(' ');
        if (space == std::string::npos) return 0;
        value = block.substr(space + 1, 3);
    } else {
        return 0;
    }
    if (as_number) {
        if (value.empty() || value.size() > 10 ||
            !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return 0;
        std::uint64_t number = std::stoull(value);
        if (number > UINT32_MAX) return 0;
        if (!buffer || *buffer_length < sizeof(std::uint32_t)) {
            *buffer_length = sizeof(std::uint32_t);
            return 0;
        }
        auto n32 = static_cast<std::uint32_t>(number);
        std::memcpy(buffer, &n32, sizeof n32);
        *buffer_length = sizeof n32;
        return 1;
    }
    return give_text(value, buffer, buffer_length);
}

std::int32_t VIDMORA_WINAPI InternetCloseHandle(HINTERNET handle) {
    return remove_handle(handle) ? 1 : 0;
}

std::int32_t VIDMORA_WINAPI InternetCanonicalizeUrlA(const char* url, char* buffer,
                                                     std::uint32_t* buffer_length,
                                                     std::uint32_t flags) {
    if (!url || !buffer_length) return 0;
    auto canonical = canonical_url(url, !(flags & ICU_NO_ENCODE));
    if (!canonical) return 0;
    return give_text(*canonical, buffer, buffer_length);
}

std::int32_t VIDMORA_WINAPI InternetCrackUrlA(const char* url, std::uint32_t url_length,
                                              std::uint32_t /*flags*/,
                                              URL_COMPONENTSA* components) {
    if (!url || !components || components->dwStructSize != sizeof(URL_COMPONENTSA)) return 0;
    std::string_view text = url_length ? std::string_view(url, url_length) : std::string_view(url);
    auto parts = split_url(text);
    if (!parts) return 0;
    URL_COMPONENTSA& c = *components;
    c.nScheme = parts->scheme_number;
    c.nPort = parts->port;
    // Without a place of its own for the query and fragment, the path keeps them.
    bool split_extra = c.lpszExtraInfo || c.dwExtraInfoLength;
    std::string_view path = parts->path;
    if (!split_extra) path = std::string_view(path.data(), path.size() + parts->extra_info.size());
    bool ok = give_part(parts->scheme, c.lpszScheme, c.dwSchemeLength);
    ok = give_part(parts->host, c.lpszHostName, c.dwHostNameLength) && ok;
    ok = give_part(parts->user_name, c.lpszUserName, c.dwUserNameLength) && ok;
    ok = give_part(parts->password, c.lpszPassword, c.dwPasswordLength) && ok;
    ok = give_part(path, c.lpszUrlPath, c.dwUrlPathLength) && ok;
    if (split_extra) ok = give_part(parts->extra_info, c.lpszExtraInfo, c.dwExtraInfoLength) && ok;
    return ok ? 1 : 0;
}

std::int32_t VIDMORA_WINAPI InternetSetOptionA(HINTERNET handle, std::uint32_t option, void* buffer,
                                               std::uint32_t buffer_length) {
    if (option == INTERNET_OPTION_PROXY) {
        auto session = find_handle<Session>(handle);
        if (!session || !buffer || buffer_length < sizeof(INTERNET_PROXY_INFO)) return 0;
        const auto& info = *static_cast<const INTERNET_PROXY_INFO*>(buffer);
        if (info.dwAccessType == INTERNET_OPEN_TYPE_PROXY && (!info.lpszProxy || !*info.lpszProxy))
            return 0;
        session->access_type =
            info.dwAccessType == 4 ? INTERNET_OPEN_TYPE_PRECONFIG : info.dwAccessType;
        session->proxy = text_or_empty(info.lpszProxy);
        session->bypass = text_or_empty(info.lpszProxyBypass);
        return 1;
    }
    if (option == INTERNET_OPTION_PROXY_USERNAME || option == INTERNET_OPTION_PROXY_PASSWORD) {
        auto connection = find_handle<Connection>(handle);
        if (!connection) return 0;
        std::string value = option_text(buffer, buffer_length);
        (option == INTERNET_OPTION_PROXY_USERNAME ? connection->proxy_user_name
                                                  : connection->proxy_password) = value;
        return 1;
    }
    return 0;
}

}  // extern "C"
