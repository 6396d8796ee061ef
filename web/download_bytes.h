// The plain download of one resource, as the image request makes it.
#pragma once

#include "text/text.h"

namespace vidmora {

// The agent of the plain download, unlike web_request's.
inline constexpr char kDownloadUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// GETs `address` (http or https) with HTTP/1.0 and returns the body whatever the status;
// empty on any failure, or the bytes that arrived when the transfer broke off.
Bytes download_bytes(const Text& address);

}  // namespace vidmora
