#include "tools/sample-site/site_pages.h"

#include <zlib.h>

namespace vidmora::sample_site {
namespace {

// GBK bytes of the page's Chinese words.
constexpr const char* kVideo = "\xCA\xD3\xC6\xB5";   // 视频
constexpr const char* kCover = "\xB7\xE2\xC3\xE6";   // 封面
constexpr const char* kSample = "\xCA\xBE\xC0\xFD";  // 示例

}  // namespace

std::string video_page(const std::string& number, const std::string& cover_address) {
    std::string page;
    page += "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n";
    page += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\"/>\r\n";
    page += "<title>Vidmora " + std::string(kSample) + kVideo + " AV" + number + "</title>\r\n";
    page += "</head>\r\n<body>\r\n<div class=\"video_info\">\r\n";
    page += "<h1>" + std::string(kSample) + kVideo + " AV" + number + "</h1>\r\n";
    if (!cover_address.empty()) {
        page += "<img src=\"http://" + cover_address +
                "\" style=\"display:none;\" class=\"cover_image\"/>\r\n";
    }
    page += "<p>" + std::string(kVideo) + kCover + "</p>\r\n</div>\r\n";
    // Some bulk, as a real page has, so that the gzip stream spans several windows.
    for (int i = 0; i < 400; ++i) {
        page += "<div class=\"comment\" data-id=\"" + std::to_string(i) + "\">" + kSample + " " +
                std::to_string(i * 7919 % 1000) + "</div>\r\n";
    }
    page += "</body>\r\n</html>\r\n";
    return page;
}

std::string gzip(const std::string& body) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, body.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data()));
    stream.avail_in = static_cast<uInt>(body.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

}  // namespace vidmora::sample_site
