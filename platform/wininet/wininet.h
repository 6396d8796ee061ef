// The HTTP client the program talks to: the WinInet entry points it calls, with the handle
// type, constants and structures it passes. On Windows this is the platform's own library;
// elsewhere it is wininet.so, our stand-in over libcurl, which exports the same plain C names
// with 32-bit counts, flags and lengths.
#pragma once

#if defined(_WIN32)

#include <windows.h>
#include <wininet.h>

#else

#include <cstdint>

// The calling convention of the platform's libraries (the same definition as the external
// function table's).
#ifndef VIDMORA_WINAPI
#define VIDMORA_WINAPI
#endif

#if defined(VIDMORA_WININET_BUILD)
#define VIDMORA_WININET_EXPORT __attribute__((visibility("default")))
#else
#define VIDMORA_WININET_EXPORT
#endif

using HINTERNET = void*;
using INTERNET_PORT = std::uint16_t;

// Access types of InternetOpenA and INTERNET_PROXY_INFO.
inline constexpr std::uint32_t INTERNET_OPEN_TYPE_PRECONFIG = 0;
inline constexpr std::uint32_t INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr std::uint32_t INTERNET_OPEN_TYPE_PROXY = 3;

inline constexpr std::uint32_t INTERNET_SERVICE_HTTP = 3;
inline constexpr INTERNET_PORT INTERNET_INVALID_PORT_NUMBER = 0;
inline constexpr INTERNET_PORT INTERNET_DEFAULT_HTTP_PORT = 80;
inline constexpr INTERNET_PORT INTERNET_DEFAULT_HTTPS_PORT = 443;

// Request flags of HttpOpenRequestA.
inline constexpr std::uint32_t INTERNET_FLAG_RELOAD = 0x80000000;
inline constexpr std::uint32_t INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000;
inline constexpr std::uint32_t INTERNET_FLAG_SECURE = 0x00800000;
inline constexpr std::uint32_t INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000;
inline constexpr std::uint32_t INTERNET_FLAG_NO_COOKIES = 0x00080000;
inline constexpr std::uint32_t INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000;
inline constexpr std::uint32_t INTERNET_FLAG_NEED_FILE = 0x00000010;

// Information levels of HttpQueryInfoA; the modifier asks for a 32-bit number.
inline constexpr std::uint32_t HTTP_QUERY_CONTENT_LENGTH = 5;
inline constexpr std::uint32_t HTTP_QUERY_STATUS_CODE = 19;
inline constexpr std::uint32_t HTTP_QUERY_RAW_HEADERS_CRLF = 22;
inline constexpr std::uint32_t HTTP_QUERY_FLAG_NUMBER = 0x20000000;

// InternetCanonicalizeUrlA: leave unsafe characters as they are.
inline constexpr std::uint32_t ICU_NO_ENCODE = 0x20000000;

// InternetSetOptionA.
inline constexpr std::uint32_t INTERNET_OPTION_PROXY = 38;
inline constexpr std::uint32_t INTERNET_OPTION_PROXY_USERNAME = 43;
inline constexpr std::uint32_t INTERNET_OPTION_PROXY_PASSWORD = 44;

enum INTERNET_SCHEME : std::int32_t {
    INTERNET_SCHEME_UNKNOWN = -1,
    INTERNET_SCHEME_DEFAULT = 0,
    INTERNET_SCHEME_FTP = 1,
    INTERNET_SCHEME_HTTP = 3,
    INTERNET_SCHEME_HTTPS = 4,
    INTERNET_SCHEME_FILE = 5,
};

struct INTERNET_PROXY_INFO {
    std::uint32_t dwAccessType;
    const char* lpszProxy;        // null: none
    const char* lpszProxyBypass;  // null: none
};

// The parts of a URL for InternetCrackUrlA. For each part, a buffer with its size (NUL
// included) asks for a copy; a null pointer with a nonzero length asks for a pointer into the
// URL; a zero length asks for nothing. On return each length is that of the part.
struct URL_COMPONENTSA {
    std::uint32_t dwStructSize;
    char* lpszScheme;
    std::uint32_t dwSchemeLength;
    INTERNET_SCHEME nScheme;
    char* lpszHostName;
    std::uint32_t dwHostNameLength;
    INTERNET_PORT nPort;
    char* lpszUserName;
    std::uint32_t dwUserNameLength;
    char* lpszPassword;
    std::uint32_t dwPasswordLength;
    char* lpszUrlPath;  // with query and fragment unless lpszExtraInfo is asked for
    std::uint32_t dwUrlPathLength;
    char* lpszExtraInfo;
    std::uint32_t dwExtraInfoLength;
};

extern "C" {

// Handles nest: internet (InternetOpenA), connection (InternetConnectA), request
// (HttpOpenRequestA). Functions returning int32_t return nonzero for success.

VIDMORA_WININET_EXPORT HINTERNET VIDMORA_WINAPI InternetOpenA(const char* agent,
                                                              std::uint32_t access_type,
                                                              const char* proxy,
                                                              const char* proxy_bypass,
                                                              std::uint32_t flags);

VIDMORA_WININET_EXPORT HINTERNET VIDMORA_WINAPI InternetConnectA(
    HINTERNET internet, const char* server_name, INTERNET_PORT server_port, const char* user_name,
    const char* password, std::uint32_t service, std::uint32_t flags, std::uintptr_t context);

// `accept_types` is a null-terminated list, or null.
VIDMORA_WININET_EXPORT HINTERNET VIDMORA_WINAPI HttpOpenRequestA(
    HINTERNET connection, const char* verb, const char* object_name, const char* version,
    const char* referrer, const char** accept_types, std::uint32_t flags, std::uintptr_t context);

// `headers_length` of 0xFFFFFFFF: the header text ends at its NUL. False when no response
// came.
VIDMORA_WININET_EXPORT std::int32_t VIDMORA_WINAPI HttpSendRequestA(HINTERNET request,
                                                                    const char* headers,
                                                                    std::uint32_t headers_length,
                                                                    void* optional,
                                                                    std::uint32_t optional_length);

// Sets *bytes_read to 0 first; at the end of the body, true with 0 bytes.
VIDMORA_WININET_EXPORT std::int32_t VIDMORA_WINAPI InternetReadFile(HINTERNET file, void* buffer,
                                                                    std::uint32_t bytes_to_read,
                                                                    std::uint32_t* bytes_read);

// *buffer_length holds the buffer's size; on success, the length written without the NUL; when
// the value does not fit, false with the size needed and the buffer untouched.
VIDMORA_WININET_EXPORT std::int32_t VIDMORA_WINAPI HttpQueryInfoA(HINTERNET request,
                                                                  std::uint32_t info_level,
                                                                  void* buffer,
                                                                  std::uint32_t* buffer_length,
                                                                  std::uint32_t* index);

VIDMORA_WININET_EXPORT std::int32_t VIDMORA_WINAPI InternetCloseHandle(HINTERNET handle);

// Same buffer rules as HttpQueryInfoA.
VIDMORA_WININET_EXPORT std::int32_t VIDMORA_WINAPI InternetCanonicalizeUrlA(
    const char* url, char* buffer, std::uint32_t* buffer_length, std::uint32_t flags);

// `url_length` 0: the URL ends at its NUL.
VIDMORA_WININET_EXPORT std::int32_t VIDMORA_WINAPI InternetCrackUrlA(const char* url,
                                                                     std::uint32_t url_length,
                                                                     std::uint32_t flags,
                                                                     URL_COMPONENTSA* components);

VIDMORA_WININET_EXPORT std::int32_t VIDMORA_WINAPI InternetSetOptionA(HINTERNET handle,
                                                                      std::uint32_t option,
                                                                      void* buffer,
                                                                      std::uint32_t buffer_length);

}  // extern "C"

#endif  // !_WIN32
