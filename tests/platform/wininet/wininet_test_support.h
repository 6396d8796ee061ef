// Driving wininet.so the way its callers do: one request from open to close.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/wininet/wininet.h"

namespace vidmora::testing {

struct RequestCall {
    std::string verb = "GET";
    std::string path = "/";
    std::string version = "HTTP/1.1";
    std::uint32_t flags = INTERNET_FLAG_RELOAD;
    std::string headers;
    std::string body;
    const char** accept_types = nullptr;
    std::uint32_t read_size = 4096;
};

struct RequestOutcome {
    bool sent = false;
    std::string raw_headers;  // empty when the query failed
    std::string body;
};

// Connects to host:port through `internet`, sends, reads to the end, closes the handles.
inline RequestOutcome run_request(HINTERNET internet, const std::string& host, int port,
                                  const RequestCall& call) {
    RequestOutcome outcome;
    HINTERNET connection =
        InternetConnectA(internet, host.c_str(), static_cast<INTERNET_PORT>(port), nullptr, nullptr,
                         INTERNET_SERVICE_HTTP, 0, 0);
    if (!connection) return outcome;
    HINTERNET request =
        HttpOpenRequestA(connection, call.verb.c_str(), call.path.c_str(), call.version.c_str(),
                         nullptr, call.accept_types, call.flags, 0);
    if (request) {
        std::string body = call.body;
        outcome.sent = HttpSendRequestA(request, call.headers.data(),
                                        static_cast<std::uint32_t>(call.headers.size()),
                                        body.empty() ? nullptr : body.data(),
                                        static_cast<std::uint32_t>(body.size())) != 0;
        std::vector<char> buffer(call.read_size);
        std::uint32_t count = 0;
        while (InternetReadFile(request, buffer.data(), call.read_size, &count) && count > 0)
            outcome.body.append(buffer.data(), count);
        std::vector<char> block(65536);
        std::uint32_t length = static_cast<std::uint32_t>(block.size());
        if (HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, block.data(), &length, nullptr))
            outcome.raw_headers.assign(block.data(), length);
        InternetCloseHandle(request);
    }
    InternetCloseHandle(connection);
    return outcome;
}

}  // namespace vidmora::testing
