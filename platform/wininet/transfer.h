// One sent request over libcurl, from the request line to the end of the body.
#pragma once

#include <curl/curl.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/wininet/handles.h"

namespace vidmora::wininet {

// Sends the request with the caller's header text (lines ended by CR LF) and body, follows
// redirects unless the request says not to, and waits for the final response's headers. The
// body is then read as it arrives.
class Transfer {
  public:
    Transfer(const Request& request, std::string_view header_text,
             std::span<const std::uint8_t> body);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // False when no response came (no name, refused, TLS rejected, timed out).
    bool received() const { return received_; }
    // Status line and header lines of the final response, each ended by CR LF.
    const std::string& raw_headers() const { return raw_headers_; }
    // Up to `size` bytes of the body; true with a count of 0 at the end. False, with 0, when
    // the transfer broke off and what arrived has been handed out.
    bool read(void* buffer, std::uint32_t size, std::uint32_t& count);

  private:
    static size_t on_header(char* data, size_t size, size_t count, void* user);
    static size_t on_body(char* data, size_t size, size_t count, void* user);
    // Lets curl work until something happens; false once the transfer is over.
    bool pump();

    CURL* easy_ = nullptr;
    CURLM* multi_ = nullptr;
    curl_slist* header_list_ = nullptr;
    std::vector<std::uint8_t> body_;     // the request body, alive as long as the transfer
    std::vector<std::uint8_t> pending_;  // body bytes arrived and not yet read
    std::size_t pending_offset_ = 0;
    std::string raw_headers_;
    long status_ = 0;
    bool follow_redirects_ = true;
    bool stop_after_headers_ = false;
    bool stopped_after_headers_ = false;
    bool in_block_ = false;
    bool block_has_location_ = false;
    bool received_ = false;
    bool done_ = false;
    bool cut_short_ = false;
};

}  // namespace vidmora::wininet
