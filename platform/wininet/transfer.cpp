#include "platform/wininet/transfer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vidmora::wininet {

namespace {

constexpr long kConnectTimeoutSeconds = 60;
// A transfer that receives less than this many bytes a second for the given time has stalled
// and ends. A floor well above one byte keeps a server that drips a byte a second from sitting
// right at the limit; no working connection is this slow.
constexpr long kStalledBytesPerSecond = 100;
constexpr long kStalledSeconds = 30;
// However it trickles, no transfer lasts longer than this: the window waits on it.
constexpr long kTransferCeilingSeconds = 600;
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

}  // namespace

// Keeps the header block of the latest response only: interim (1xx) and followed redirect
// responses are replaced by the one after them; trailers after the body are ignored.
size_t Transfer::on_header(char* data, size_t size, size_t count, void* user) {
    auto& self = *static_cast<Transfer*>(user);
    std::size_t total = size * count;
    std::string_view line(data, total);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);

    if (line.starts_with("HTTP/")) {
        self.raw_headers_.clear();
        self.in_block_ = true;
        self.block_has_location_ = false;
        auto space = line.find(' ');
        self.status_ =
            space == std::string_view::npos
                ? 0
                : std::strtol(std::string(line.substr(space + 1, 3)).c_str(), nullptr, 10);
    } else if (!self.in_block_) {
        return total;
    } else if (line.empty()) {
        self.in_block_ = false;
        bool more_to_come =
            self.status_ < 200 || (self.follow_redirects_ && is_followed_redirect(self.status_) &&
                                   self.block_has_location_);
        if (!more_to_come) {
            self.received_ = true;
            if (self.stop_after_headers_) {
                self.stopped_after_headers_ = true;
                return 0;  // ends the transfer here
            }
        }
        return total;
    } else if (equals_ignoring_case(line.substr(0, 9), "Location:")) {
        self.block_has_location_ = true;
    }
    self.raw_headers_.append(line);
    self.raw_headers_.append("\r\n");
    return total;
}

size_t Transfer::on_body(char* data, size_t size, size_t count, void* user) {
    auto& pending = static_cast<Transfer*>(user)->pending_;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
    pending.insert(pending.end(), bytes, bytes + size * count);
    return size * count;
}

bool Transfer::pump() {
    if (done_) return false;
    int running = 0;
    curl_multi_perform(multi_, &running);
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
        if (message->msg != CURLMSG_DONE) continue;
        done_ = true;
        cut_short_ = message->data.result != CURLE_OK && !stopped_after_headers_;
    }
    if (!done_ && running == 0) done_ = true;
    if (!done_) curl_multi_poll(multi_, nullptr, 0, 1000, nullptr);
    return !done_;
}

Transfer::Transfer(const Request& request, std::string_view header_text,
                   std::span<const std::uint8_t> body)
    : body_(body.begin(), body.end()) {
    CURLSH* cookies = cookie_share();
    easy_ = curl_easy_init();
    multi_ = curl_multi_init();
    if (!easy_ || !multi_) {
        done_ = true;
        return;
    }
    CURL* easy = easy_;
    const Connection& connection = *request.connection;
    const Session& session = *connection.session;
    bool https = request.flags & INTERNET_FLAG_SECURE;
    bool use_cookies = !(request.flags & INTERNET_FLAG_NO_COOKIES);
    follow_redirects_ = !(request.flags & INTERNET_FLAG_NO_AUTO_REDIRECT);

    // curl copies every text option; only the body and the header list must outlive the call.
    std::string url = request_url(request);
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
                     request.version == "HTTP/1.0" ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, kStalledBytesPerSecond);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT, kTransferCeilingSeconds);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, follow_redirects_ ? 1L : 0L);
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
    if (use_cookies) {
        // curl puts the stored cookies and the caller's into one Cookie line.
        std::optional<std::string> caller_cookies = headers.take("Cookie");
        curl_easy_setopt(easy, CURLOPT_SHARE, cookies);
        curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
        if (caller_cookies) curl_easy_setopt(easy, CURLOPT_COOKIE, caller_cookies->c_str());
    }
    bool caller_content_type = headers.has("Content-Type");
    header_list_ = headers.to_curl(nullptr);
    // curl's own additions that the caller did not ask for.
    header_list_ = curl_slist_append(header_list_, "Expect:");
    if (!caller_content_type) header_list_ = curl_slist_append(header_list_, "Content-Type:");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, header_list_);

    const std::string& verb = request.verb;
    if (verb == "HEAD" && body_.empty()) {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (verb == "GET" && body_.empty()) {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body_.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS,
                         body_.empty() ? static_cast<const void*>("") : body_.data());
        if (verb != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, verb.c_str());
        // A HEAD answer has no body, whatever its length says; curl would wait for one.
        stop_after_headers_ = verb == "HEAD";
    }

    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::on_header);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::on_body);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_multi_add_handle(multi_, easy);
    while (!received_ && pump()) {
    }
}

Transfer::~Transfer() {
    if (multi_ && easy_) curl_multi_remove_handle(multi_, easy_);
    if (easy_) curl_easy_cleanup(easy_);
    if (multi_) curl_multi_cleanup(multi_);
    curl_slist_free_all(header_list_);
}

bool Transfer::read(void* buffer, std::uint32_t size, std::uint32_t& count) {
    count = 0;
    if (!received_) return false;
    // The body flows through a small buffer: curl is driven only when it runs dry, and a read
    // returns once it is full or the body is over, so that one read can take a short body.
    auto* out = static_cast<std::uint8_t*>(buffer);
    while (count < size) {
        if (pending_offset_ == pending_.size()) {
            pending_.clear();
            pending_offset_ = 0;
            if (!pump() && pending_.empty()) break;
            continue;
        }
        std::size_t n = std::min<std::size_t>(pending_.size() - pending_offset_, size - count);
        std::memcpy(out + count, pending_.data() + pending_offset_, n);
        pending_offset_ += n;
        count += static_cast<std::uint32_t>(n);
    }
    // A transfer that broke off fails once what arrived has been handed out.
    return count > 0 || !cut_short_;
}

}  // namespace vidmora::wininet
