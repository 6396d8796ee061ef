// Device-independent bitmaps: the body of a .bmp file and the images inside icons and cursors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/picture/byte_reader.h"
#include "platform/picture/picture.h"

namespace vidmora::picture_detail {

struct DibSource {
    ByteSpan dib;  // from the info header to the end of the available data
    // Where the pixel rows start within `dib`; none: right after the colour table.
    std::optional<std::uint64_t> pixel_offset;
    // An icon's image: the stored height covers the colour rows and the AND mask after them.
    bool icon_image = false;
};

// What an icon entry holds, read from its header alone.
struct DibSummary {
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bit_count = 0;
};

std::optional<DibSummary> dib_summary(ByteSpan dib, bool icon_image);
std::optional<PictureFrame> decode_dib(const DibSource& source);

}  // namespace vidmora::picture_detail
