// The sample site's video pages: GBK HTML that carries the cover marker, sent gzip'd.
#pragma once

#include <string>

namespace vidmora::sample_site {

// The page of a video. With a cover address (without its "http://") the page holds the
// cover image tag that the tool looks for; without one it is an ordinary page.
std::string video_page(const std::string& number, const std::string& cover_address);

// The body as a gzip stream (RFC 1952).
std::string gzip(const std::string& body);

}  // namespace vidmora::sample_site
