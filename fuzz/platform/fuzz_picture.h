// Shared body of the picture fuzz targets: the input, with its first bytes made to pass the
// format test for one decoder, goes through decode_picture; whatever comes back must be a
// well-formed picture within the size limits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/picture/picture.h"

namespace vidmora::fuzzing {

// Rewrites the first bytes of `bytes` (at least 6) so that they select the wanted format.
using ForceFormat = void (*)(Bytes& bytes);

inline int decode_forced(const std::uint8_t* data, std::size_t size, ForceFormat force,
                         std::initializer_list<PictureFormat> expected) {
    if (size < 6) return -1;  // not kept in the corpus
    Bytes bytes(data, data + size);
    force(bytes);
    const PictureFormat format = picture_format(bytes);
    bool known = false;
    for (PictureFormat f : expected) known = known || f == format;
    if (!known) std::abort();
    const Picture picture = decode_picture(bytes);
    for (const PictureFrame& frame : picture.frames) {
        const std::int64_t pixels = std::int64_t{frame.width} * frame.height;
        if (frame.width <= 0 || frame.height <= 0 || frame.width > 16384 || frame.height > 16384 ||
            pixels > 64LL * 1024 * 1024 ||
            frame.rgba.size() != static_cast<std::size_t>(pixels) * 4 || frame.delay_ms < 0) {
            std::abort();
        }
    }
    return 0;
}

}  // namespace vidmora::fuzzing
