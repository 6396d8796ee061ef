#include "platform/wininet/transfer.h"

#include <curl/curl.h>

#include <array>
#include <cctype>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vidmora::wininet {

namespace {

constexpr long kConnectTimeoutSeconds = 60;
constexpr long kIdleTimeoutSeconds = 30;  // a transfer that receives nothing this long ends
constexpr long kMaxRedirects = 30;

// The process-wide cookie store, shared by every request that does not refuse cookies. It
// lives as long as the process, like the platform's.
class CookieStore {
  public:
    CookieStore() {
        share_ = curl_share_init();
        curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CookieStore::lock);
        curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CookieStore::unlock);
        curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    }
    CURLSH* share() const { return share_; }

  private:
    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
        static_cast<CookieStore*>(self)->mutexes_[data % kLocks].lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* self) {
        static_cast<CookieStore*>(self)->mutexes_[data % kLocks].unlock();
    }
    static constexpr int kLocks = 8;
    CURLSH* share_;
    std::array<std::mutex, kLocks> mutexes_;
};

CURLSH* cookie_share() {
    static auto* store = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        return new CookieStore;
    }();
    return store->share();
}

bool equals_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// The request's header lines by name: a later line of the same name replaces the earlier one,
// so no header goes out twice.
class HeaderSet {
  public:
    void put(std::string_view name, std::string_view value) {
        for (auto& line : lines_) {
            if (equals_ignoring_case(line.name, name)) {
                line.value = value;
                return;
            }
        }
        lines_.push_back({std::string(name), std::string(value)});
    }
    // Each "Name: value" line of a text whose lines end with CR LF or LF; lines without a
    // name are dropped.
    void put_lines(std::string_view text) {
        while (!text.empty()) {
            auto end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
            if (line.ends_with('\r')) line.remove_suffix(1);
            auto colon = line.find(':');
            if (colon == std::string_view::npos) continue;
            std::string_view name = trim(line.substr(0, colon));
            if (name.empty()) continue;
            put(name, trim(line.substr(colon + 1)));
        }
    }
    std::optional<std::string> take(std::string_view name) {
        for (auto it = lines_.begin(); it != lines_.end(); ++it) {
            if (equals_ignoring_case(it->name, name)) {
                std::string value = std::move(it->value);
                lines_.erase(it);
                return value;
            }
        }
        return std::nullopt;
    }
    bool has(std::string_view name) const {
        for (const auto& line : lines_)
            if (equals_ignoring_case(line.name, name)) return true;
        return false;
    }
    // curl's list form: "Name;" sends an empty value, "Name:" would remove the header.
    curl_slist* to_curl(curl_slist* list) const {
        for (const auto& line : lines_) {
            std::string text = line.name;
            text += line.value.empty() ? ";" : ": ";
            text += line.value;
            list = curl_slist_append(list, text.c_str());
        }
        return list;
    }

  private:
    struct Line {
        std::string name;
        std::string value;
    };
    std::vector<Line> lines_;
};

// The proxy for one request as curl takes it: nullopt leaves curl to the environment
// (http_proxy, https_proxy, no_proxy), "" means none.
std::optional<std::string> proxy_for(const Session& session, bool https) {
    if (session.access_type == INTERNET_OPEN_TYPE_DIRECT) return std::string();
    if (session.access_type != INTERNET_OPEN_TYPE_PROXY) return std::nullopt;
    // A list of "scheme=host:port" or plain "host:port" entries, separated by blanks or ";".
    std::string_view list = session.proxy;
    std::string_view scheme = https ? "https" : "http";
    std::optional<std::string> any;
    while (!list.empty()) {
        auto end = list.find_first_of(" ;");
        std::string_view entry = list.substr(0, end);
        list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
        if (entry.empty()) continue;
        auto equals = entry.find('=');
        if (equals == std::string_view::npos) {
            if (!any) any = std::string(entry);
        } else if (equals_ignoring_case(entry.substr(0, equals), scheme)) {
            return std::string(entry.substr(equals + 1));
        }
    }
    return any ? any : std::string();
}

// The bypass list in curl's form: host names separated by commas.
std::string no_proxy_list(std::string_view bypass) {
    std::string out;
    while (!bypass.empty()) {
        auto end = bypass.find_first_of(" ;,");
        std::string_view entry = bypass.substr(0, end);
        bypass.remove_prefix(end == std::string_view::npos ? bypass.size() : end + 1);
        if (entry.empty()) continue;
        if (entry == "<local>") entry = "localhost,127.0.0.1,::1";
        if (!out.empty()) out += ',';
        out += entry;
    }
    return out;
}

std::string request_url(const Request& request) {
    const Connection& connection = *request.connection;
    bool https = request.flags & INTERNET_FLAG_SECURE;
    INTERNET_PORT port = connection.port;
    if (port == INTERNET_INVALID_PORT_NUMBER)
        port = https ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    std::string url = https ? "https://" : "http://";
    bool bracket = connection.host.find(':') != std::string::npos && connection.host[0] != '[';
    if (bracket) url += '[';
    url += connection.host;
    if (bracket) url += ']';
    url += ':';
    url += std::to_string(port);
    if (!request.path.starts_with('/')) url += '/';
    // Blanks and control bytes cannot stand in a request line; they travel escaped.
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : request.path) {
        auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F) {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 15];
        } else {
            url += c;
        }
    }
    return url;
}

bool is_followed_redirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// What arrives while the transfer runs.
struct Transfer {
    Response response;
    bool follow_redirects = true;
    bool stop_after_headers = false;  // HEAD sent with a body: curl would wait for one back
    bool stopped_after_headers = false;
    bool in_block = false;
    bool block_has_location = false;
    long status = 0;
};

// Keeps the header block of the latest response only: interim (1xx) and followed redirect
// responses are replaced by the one after them, trailers after the body are ignored.
size_t on_header(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    std::size_t total = size * count;
    std::string_view line(data, total);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);

    if (line.starts_with("HTTP/")) {
        transfer.response.raw_headers.clear();
        transfer.in_block = true;
        transfer.block_has_location = false;
        auto space = line.find(' ');
        transfer.status =
            space == std::string_view::npos
                ? 0
                : std::strtol(std::string(line.substr(space + 1, 3)).c_str(), nullptr, 10);
    } else if (!transfer.in_block) {
        return total;
    } else if (line.empty()) {
        transfer.in_block = false;
        if (transfer.status >= 200) transfer.response.received = true;
        bool more_to_come = transfer.status < 200 ||
                            (transfer.follow_redirects && is_followed_redirect(transfer.status) &&
                             transfer.block_has_location);
        if (transfer.stop_after_headers && !more_to_come) {
            transfer.stopped_after_headers = true;
            return 0;  // ends the transfer here
        }
        return total;
    } else if (equals_ignoring_case(line.substr(0, 9), "Location:")) {
        transfer.block_has_location = true;
    }
    transfer.response.raw_headers.append(line);
    transfer.response.raw_headers.append("\r\n");
    return total;
}

size_t on_body(char* data, size_t size, size_t count, void* user) {
    auto& body = static_cast<Transfer*>(user)->response.body;
    body.insert(body.end(), data, data + size * count);
    return size * count;
}

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

Response perform_request(const Request& request, std::string_view header_text,
                         std::span<const std::uint8_t> body) {
    CURLSH* cookies = cookie_share();
    std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
    if (!handle) return {};
    CURL* easy = handle.get();
    const Connection& connection = *request.connection;
    const Session& session = *connection.session;
    bool https = request.flags & INTERNET_FLAG_SECURE;
    bool use_cookies = !(request.flags & INTERNET_FLAG_NO_COOKIES);

    Transfer transfer;
    transfer.follow_redirects = !(request.flags & INTERNET_FLAG_NO_AUTO_REDIRECT);

    std::string url = request_url(request);
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
                     request.version == "HTTP/1.0" ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kIdleTimeoutSeconds);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, transfer.follow_redirects ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    // The body is handed out as the server sent it: a gzip body stays gzip.
    curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);

    if (auto proxy = proxy_for(session, https)) {
        curl_easy_setopt(easy, CURLOPT_PROXY, proxy->c_str());
        if (!proxy->empty()) {
            std::string bypass = no_proxy_list(session.bypass);
            curl_easy_setopt(easy, CURLOPT_NOPROXY, bypass.c_str());
            if (!connection.proxy_user_name.empty()) {
                curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, connection.proxy_user_name.c_str());
                curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, connection.proxy_password.c_str());
            }
        }
    }
    if (!connection.user_name.empty()) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, connection.user_name.c_str());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, connection.password.c_str());
        curl_easy_setopt(easy, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
    }

    // Header lines, weakest first: the caller's text replaces the defaults of the same name.
    HeaderSet headers;
    if (!session.agent.empty()) headers.put("User-Agent", session.agent);
    if (!request.accept_types.empty()) {
        std::string accept;
        for (const auto& type : request.accept_types) {
            if (!accept.empty()) accept += ", ";
            accept += type;
        }
        headers.put("Accept", accept);
    }
    if (!request.referrer.empty()) headers.put("Referer", request.referrer);
    headers.put_lines(header_text);
    std::optional<std::string> caller_cookies;
    if (use_cookies) {
        // curl puts the stored cookies and these into one Cookie line.
        caller_cookies = headers.take("Cookie");
        curl_easy_setopt(easy, CURLOPT_SHARE, cookies);
        curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
        if (caller_cookies) curl_easy_setopt(easy, CURLOPT_COOKIE, caller_cookies->c_str());
    }
    bool caller_content_type = headers.has("Content-Type");
    std::unique_ptr<curl_slist, ListDeleter> list(headers.to_curl(nullptr));
    // curl's own additions that the caller did not ask for.
    list.reset(curl_slist_append(list.release(), "Expect:"));
    if (!caller_content_type) list.reset(curl_slist_append(list.release(), "Content-Type:"));
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, list.get());

    const std::string& verb = request.verb;
    if (verb == "HEAD" && body.empty()) {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (verb == "GET" && body.empty()) {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS,
                         body.empty() ? static_cast<const void*>("") : body.data());
        if (verb != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, verb.c_str());
        transfer.stop_after_headers = verb == "HEAD";
    }

    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &on_header);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &on_body);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);

    CURLcode result = curl_easy_perform(easy);
    if (result != CURLE_OK && !transfer.stopped_after_headers) transfer.response.cut_short = true;
    if (!transfer.response.received) return {};
    return std::move(transfer.response);
}

}  // namespace vidmora::wininet
