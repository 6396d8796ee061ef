// A wininet.so that answers from a script and writes down every call it receives, so that a
// test sees exactly what web_request hands the HTTP client.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/wininet/wininet.h"
#include "tests/web/recording_wininet.h"

#define RECORDING_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Handles are addresses of these three.
char internet_handle, connection_handle, request_handle;

struct Script {
    std::string body;
    std::string raw_headers;
    bool query_fails = false;
    int failure = kFailNone;
    std::size_t read_offset = 0;
    std::string log;
} script;

std::string quoted(const char* text, std::size_t length) {
    if (!text) return "null";
    std::string out = "\"";
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '\r') {
            out += "\\r";
        } else if (text[i] == '\n') {
            out += "\\n";
        } else {
            out += text[i];
        }
    }
    return out + "\"";
}
std::string quoted(const char* text) {
    return quoted(text, text ? std::strlen(text) : 0);
}

std::string handle_name(HINTERNET handle) {
    if (handle == &internet_handle) return "I";
    if (handle == &connection_handle) return "C";
    if (handle == &request_handle) return "R";
    return handle ? "?" : "null";
}

std::string hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

void record(const std::string& line) {
    script.log += line + "\n";
}

}  // namespace

RECORDING_EXPORT void recording_reset(const char* body, const char* raw_headers, int failure) {
    script = Script{};
    script.body = body ? body : "";
    script.query_fails = raw_headers == nullptr;
    script.raw_headers = raw_headers ? raw_headers : "";
    script.failure = failure;
}

RECORDING_EXPORT const char* recording_log() {
    return script.log.c_str();
}

RECORDING_EXPORT HINTERNET InternetOpenA(const char* agent, std::uint32_t access_type,
                                         const char* proxy, const char* proxy_bypass,
                                         std::uint32_t flags) {
    record("InternetOpenA(" + quoted(agent) + ", " + std::to_string(access_type) + ", " +
           quoted(proxy) + ", " + quoted(proxy_bypass) + ", " + std::to_string(flags) + ")");
    return script.failure == kFailOpen ? nullptr : &internet_handle;
}

RECORDING_EXPORT HINTERNET InternetConnectA(HINTERNET internet, const char* server_name,
                                            INTERNET_PORT server_port, const char* user_name,
                                            const char* password, std::uint32_t service,
                                            std::uint32_t flags, std::uintptr_t context) {
    record("InternetConnectA(" + handle_name(internet) + ", " + quoted(server_name) + ", " +
           std::to_string(server_port) + ", " + quoted(user_name) + ", " + quoted(password) + ", " +
           std::to_string(service) + ", " + std::to_string(flags) + ", " + std::to_string(context) +
           ")");
    return script.failure == kFailConnect ? nullptr : &connection_handle;
}

RECORDING_EXPORT HINTERNET HttpOpenRequestA(HINTERNET connection, const char* verb,
                                            const char* object_name, const char* version,
                                            const char* referrer, const char** accept_types,
                                            std::uint32_t flags, std::uintptr_t context) {
    record("HttpOpenRequestA(" + handle_name(connection) + ", " + quoted(verb) + ", " +
           quoted(object_name) + ", " + quoted(version) + ", " + quoted(referrer) + ", " +
           (accept_types ? "types" : "null") + ", " + hex(flags) + ", " + std::to_string(context) +
           ")");
    return script.failure == kFailRequest ? nullptr : &request_handle;
}

RECORDING_EXPORT std::int32_t HttpSendRequestA(HINTERNET request, const char* headers,
                                               std::uint32_t headers_length, void* optional,
                                               std::uint32_t optional_length) {
    record("HttpSendRequestA(" + handle_name(request) + ", " + quoted(headers, headers_length) +
           ", " + std::to_string(headers_length) + ", " +
           quoted(static_cast<const char*>(optional), optional_length) + ", " +
           std::to_string(optional_length) + ")");
    return 1;
}

RECORDING_EXPORT std::int32_t InternetReadFile(HINTERNET file, void* buffer,
                                               std::uint32_t bytes_to_read,
                                               std::uint32_t* bytes_read) {
    record("InternetReadFile(" + handle_name(file) + ", " + std::to_string(bytes_to_read) + ")");
    *bytes_read = 0;
    std::size_t n = std::min<std::size_t>(bytes_to_read, script.body.size() - script.read_offset);
    std::memcpy(buffer, script.body.data() + script.read_offset, n);
    script.read_offset += n;
    *bytes_read = static_cast<std::uint32_t>(n);
    return 1;
}

#if !defined(RECORDING_WITHOUT_QUERY)
RECORDING_EXPORT std::int32_t HttpQueryInfoA(HINTERNET request, std::uint32_t info_level,
                                             void* buffer, std::uint32_t* buffer_length,
                                             std::uint32_t* index) {
    record("HttpQueryInfoA(" + handle_name(request) + ", " + std::to_string(info_level) + ", " +
           std::to_string(*buffer_length) + ", " + (index ? "index" : "null") + ")");
    if (script.query_fails || script.raw_headers.size() + 1 > *buffer_length) return 0;
    std::memcpy(buffer, script.raw_headers.c_str(), script.raw_headers.size() + 1);
    *buffer_length = static_cast<std::uint32_t>(script.raw_headers.size());
    return 1;
}
#endif

RECORDING_EXPORT std::int32_t InternetCloseHandle(HINTERNET handle) {
    record("InternetCloseHandle(" + handle_name(handle) + ")");
    return 1;
}
