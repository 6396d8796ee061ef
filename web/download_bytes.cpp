#include "web/download_bytes.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>

#include "platform/wininet/wininet.h"

namespace vidmora {
namespace {

// Limits of the address parts, NUL not counted.
constexpr std::uint32_t kMaxHost = 256;
constexpr std::uint32_t kMaxPath = 2048;
constexpr std::uint32_t kMaxCredential = 128;

constexpr std::uint32_t kMaxReadSize = 102400;
constexpr std::uint32_t kUnknownLengthReadSize = 10240;

constexpr std::uint32_t kHttpFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;

// The one internet handle of all downloads: opened by the first download that needs it, kept
// until the program ends.
class SharedInternetHandle {
  public:
    SharedInternetHandle() = default;
    SharedInternetHandle(const SharedInternetHandle&) = delete;
    SharedInternetHandle& operator=(const SharedInternetHandle&) = delete;
    ~SharedInternetHandle() {
        if (handle_) InternetCloseHandle(handle_);
    }
    // Null when it cannot be opened; the next call tries again.
    HINTERNET get() {
        if (!handle_)
            handle_ =
                InternetOpenA(kDownloadUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        return handle_;
    }

  private:
    HINTERNET handle_ = nullptr;
};

SharedInternetHandle g_internet;

struct AddressParts {
    INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
    INTERNET_PORT port = 0;
    std::string host, user_name, password, path;
};

bool take_apart(const Text& address, AddressParts& parts) {
    std::string canonical(address.size() + 64, '\0');
    auto length = static_cast<std::uint32_t>(canonical.size());
    if (!InternetCanonicalizeUrlA(address.c_str(), canonical.data(), &length, ICU_NO_ENCODE)) {
        // Too small: the size asked for is in `length`; one more try with that.
        if (length <= canonical.size()) return false;
        canonical.assign(length, '\0');
        if (!InternetCanonicalizeUrlA(address.c_str(), canonical.data(), &length, ICU_NO_ENCODE))
            return false;
    }
    canonical.resize(length);

    parts.host.assign(kMaxHost + 1, '\0');
    parts.user_name.assign(kMaxCredential + 1, '\0');
    parts.password.assign(kMaxCredential + 1, '\0');
    parts.path.assign(kMaxPath + 1, '\0');
    URL_COMPONENTSA components{};
    components.dwStructSize = sizeof components;
    components.lpszHostName = parts.host.data();
    components.dwHostNameLength = kMaxHost + 1;
    components.lpszUserName = parts.user_name.data();
    components.dwUserNameLength = kMaxCredential + 1;
    components.lpszPassword = parts.password.data();
    components.dwPasswordLength = kMaxCredential + 1;
    components.lpszUrlPath = parts.path.data();
    components.dwUrlPathLength = kMaxPath + 1;
    if (!InternetCrackUrlA(canonical.c_str(), 0, 0, &components)) return false;
    parts.scheme = components.nScheme;
    parts.port = components.nPort;
    parts.host.resize(components.dwHostNameLength);
    parts.user_name.resize(components.dwUserNameLength);
    parts.password.resize(components.dwPasswordLength);
    parts.path.resize(components.dwUrlPathLength);
    return true;
}

// The announced length plus one, so that one read takes a short body whole; capped, and a
// fixed size when the length is not announced or not above 0.
std::uint32_t read_size(HINTERNET request) {
    char text[32] = {};
    std::uint32_t length = sizeof text;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &length, nullptr))
        return kUnknownLengthReadSize;
    const char* p = text;
    while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    std::int64_t n = 0;
    for (; *p >= '0' && *p <= '9'; ++p) n = std::min<std::int64_t>(n * 10 + (*p - '0'), 1 << 30);
    if (negative || n <= 0) return kUnknownLengthReadSize;
    return static_cast<std::uint32_t>(std::min<std::int64_t>(n + 1, kMaxReadSize));
}

}  // namespace

Bytes download_bytes(const Text& address) {
    if (address.empty()) return {};
    AddressParts parts;
    if (!take_apart(address, parts)) return {};
    std::uint32_t flags;
    if (parts.scheme == INTERNET_SCHEME_HTTP) {
        flags = kHttpFlags;
    } else if (parts.scheme == INTERNET_SCHEME_HTTPS) {
        flags = kHttpFlags | INTERNET_FLAG_SECURE;
    } else {
        return {};
    }

    HINTERNET internet = g_internet.get();
    if (!internet) return {};
    HINTERNET connection =
        InternetConnectA(internet, parts.host.c_str(), parts.port, parts.user_name.c_str(),
                         parts.password.c_str(), INTERNET_SERVICE_HTTP, 0, 0);
    if (!connection) return {};

    // The system's proxy settings, renewed before every request; no proxy credentials.
    INTERNET_PROXY_INFO proxy{INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr};
    InternetSetOptionA(internet, INTERNET_OPTION_PROXY, &proxy, sizeof proxy);
    char empty[1] = "";
    InternetSetOptionA(connection, INTERNET_OPTION_PROXY_USERNAME, empty, 1);
    InternetSetOptionA(connection, INTERNET_OPTION_PROXY_PASSWORD, empty, 1);

    // A fragment belongs to the client; it is never sent.
    const std::string path = parts.path.substr(0, parts.path.find('#'));
    const char* accept_types[] = {"Accept: */* \r\n", nullptr};
    HINTERNET request = HttpOpenRequestA(connection, "GET", path.c_str(), "HTTP/1.0", nullptr,
                                         accept_types, flags, 0);
    if (!request) {
        InternetCloseHandle(connection);
        return {};
    }
    static constexpr char kHeaders[] = "Accept: */*\r\n\r\n";
    if (!HttpSendRequestA(request, kHeaders, sizeof kHeaders - 1, nullptr, 0)) {
        InternetCloseHandle(request);
        InternetCloseHandle(connection);
        return {};
    }

    const std::uint32_t size = read_size(request);
    Bytes body;
    Bytes buffer(size);
    std::uint32_t count = 0;
    while (InternetReadFile(request, buffer.data(), size, &count) && count != 0) {
        count = std::min(count, size);
        if (body.size() + count > kMaxLength) {
            // Longer than any Bytes can be: the body is refused and the rest left unread.
            body = Bytes();
            break;
        }
        body.insert(body.end(), buffer.begin(), buffer.begin() + count);
    }
    InternetCloseHandle(request);
    InternetCloseHandle(connection);
    return body;
}

}  // namespace vidmora
