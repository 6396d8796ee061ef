#include "web/web_request.h"

#include <algorithm>
#include <cstring>

#include "extlib/external_table.h"
#include "platform/wininet/wininet.h"
#include "text/markers.h"
#include "web/cookies.h"
#include "web/url.h"

namespace vidmora {
namespace {

constexpr std::uint32_t kReadSize = 1024;
constexpr std::int32_t kHeaderRoom = 5000;  // the raw header block with its NUL

// The request header text of a call: the caller's lines, then each default the caller did not
// give, each added one preceded by CR LF and none after the last.
Text complete_headers(Text headers, const Text& url, const Text* request_cookies) {
    if (headers.empty()) {
        headers = "Accept: */*";
    } else if (find_text(headers, "Accept:") == -1) {
        headers = join_text(headers, "\r\nAccept: */*");
    }
    if (find_text(headers, "Referer:") == -1) headers = join_text(headers, "\r\nReferer: ", url);
    if (find_text(headers, "Accept-Language:") == -1)
        headers = join_text(headers, "\r\nAccept-Language: zh-cn");
    if (find_text(headers, "Content-Type:") == -1)
        headers = join_text(headers, "\r\nContent-Type: application/x-www-form-urlencoded");
    if (request_cookies && !request_cookies->empty()) {
        if (find_text(*request_cookies, "Cookie:") == -1) {
            headers = join_text(headers, "\r\nCookie: ", *request_cookies);
        } else {
            headers = join_text(headers, "\r\n", *request_cookies);
        }
    }
    return headers;
}

Text user_agent(const Text& headers) {
    if (find_text(headers, "User-Agent:", 1, true) == -1) return kDefaultUserAgent;
    Text agent = trim_spaces(text_between(join_text(headers, "\r\n"), "User-Agent:", "\r\n"));
    // The name written in another letter case escapes the cut; the first colon's value stands in.
    if (agent.empty()) agent = text_after_colon(headers);
    return agent;
}

}  // namespace

Bytes web_request(const Text& url, std::int32_t method, const Text& body_text,
                  Text* request_cookies, Text* response_cookies, Text* request_headers,
                  Text* response_headers, std::int32_t no_redirect, Bytes* body_bytes,
                  const Text& proxy) {
    if (method < 0 || method > 2) method = 0;
    const char* verb = method == 1 ? "POST" : method == 2 ? "HEAD" : "GET";
    const bool https = text_equals(text_left(to_lower(url), 8), "https://");
    const Text caller_headers = request_headers ? *request_headers : Text();
    const Text agent = user_agent(caller_headers);

    auto close = external<decltype(&InternetCloseHandle)>(kInternetCloseHandle);
    HINTERNET internet;
    if (proxy.empty()) {
        internet = external<decltype(&InternetOpenA)>(kInternetOpenA)(
            agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    } else {
        // A proxy named for http only, so that an https request still goes direct.
        const Text proxy_list = https ? proxy : join_text("http=", proxy);
        internet = external<decltype(&InternetOpenA)>(kInternetOpenA)(
            agent.c_str(), INTERNET_OPEN_TYPE_PROXY, proxy_list.c_str(), "", 0);
    }
    if (!internet) return {};

    const Text host = url_host(url);
    HINTERNET connection = external<decltype(&InternetConnectA)>(kInternetConnectA)(
        internet, host.c_str(), static_cast<INTERNET_PORT>(url_port(url)), nullptr, nullptr,
        INTERNET_SERVICE_HTTP, 0, 0);
    if (!connection) {
        close(internet);
        return {};
    }

    std::uint32_t flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE;
    if (request_cookies) flags |= INTERNET_FLAG_NO_COOKIES;
    if (no_redirect) flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
    flags |= https ? INTERNET_FLAG_SECURE : INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;

    const Text path = url_path(url);
    HINTERNET request = external<decltype(&HttpOpenRequestA)>(kHttpOpenRequestA)(
        connection, verb, path.c_str(), "HTTP/1.1", nullptr, nullptr, flags, 0);
    if (!request) {
        close(connection);
        close(internet);
        return {};
    }

    // From here on the caller's variables are written.
    const Text headers = complete_headers(caller_headers, url, request_cookies);
    if (request_headers) *request_headers = headers;
    const auto header_length = static_cast<std::uint32_t>(headers.size());
    if (method == 0) {
        external<decltype(&HttpSendRequestA)>(kHttpSendRequestA)(request, headers.c_str(),
                                                                 header_length, nullptr, 0);
    } else {
        Bytes own_body;
        Bytes& body = body_bytes ? *body_bytes : own_body;
        if (body.empty()) body = text_to_bytes(body_text);
        external<decltype(&HttpSendRequestA)>(kHttpSendRequestABody)(
            request, headers.c_str(), header_length, body.empty() ? nullptr : body.data(),
            static_cast<std::uint32_t>(body.size()));
    }

    auto read = external<decltype(&InternetReadFile)>(kInternetReadFile);
    Bytes collected;
    Bytes buffer = blank_bytes(kReadSize);
    std::uint32_t count = 0;
    do {
        read(request, buffer.data(), kReadSize, &count);
        // A count beyond the buffer would read past it; only the buffer can have been filled.
        count = std::min(count, kReadSize);
        if (collected.size() + count > kMaxLength) {
            // Longer than any Bytes can be: the body is refused and the rest left unread.
            collected = Bytes();
            break;
        }
        collected.insert(collected.end(), buffer.begin(), buffer.begin() + count);
    } while (count != 0);

    Text raw_headers = blank_text(kHeaderRoom);
    auto room = static_cast<std::uint32_t>(kHeaderRoom);
    external<decltype(&HttpQueryInfoA)>(kHttpQueryInfoA)(request, HTTP_QUERY_RAW_HEADERS_CRLF,
                                                         raw_headers.data(), &room, nullptr);
    raw_headers.resize(strnlen(raw_headers.data(), raw_headers.size()));
    raw_headers = replace_text(raw_headers, "Set-Cookie", "Set-Cookie", false);
    if (response_headers) *response_headers = raw_headers;

    close(request);
    close(connection);
    close(internet);

    Text cookies = collect_set_cookies(raw_headers);
    if (request_cookies) cookies = merge_cookies(*request_cookies, cookies);
    if (response_cookies) *response_cookies = cookies;
    return collected;
}

}  // namespace vidmora
