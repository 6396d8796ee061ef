// The largest picture the decoders agree to allocate, and frames of that size or less.
#pragma once

#include <cstdint>

#include "platform/picture/picture.h"

namespace vidmora::picture_detail {

// A cover is a few hundred pixels a side; anything near these limits is hostile or broken,
// and refusing it keeps a few header bytes from claiming gigabytes.
inline constexpr std::int64_t kMaxPictureSide = 16384;
inline constexpr std::int64_t kMaxPicturePixels = 64LL * 1024 * 1024;

inline bool picture_size_allowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

// Transparent black pixels of an allowed size.
inline PictureFrame blank_frame(std::int64_t width, std::int64_t height) {
    PictureFrame frame;
    frame.width = static_cast<std::int32_t>(width);
    frame.height = static_cast<std::int32_t>(height);
    frame.rgba.assign(static_cast<std::size_t>(width * height) * 4, 0);
    return frame;
}

inline void put_pixel(PictureFrame& frame, std::int64_t x, std::int64_t y, std::uint8_t r,
                      std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
    std::uint8_t* p = frame.rgba.data() + (static_cast<std::size_t>(y) * frame.width + x) * 4;
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
}

}  // namespace vidmora::picture_detail
