// Windows bitmap files: a 14-byte file header in front of a device-independent bitmap.
#include "platform/picture/decoders.h"
#include "platform/picture/dib_decoder.h"

namespace vidmora::picture_detail {

namespace {
constexpr std::size_t kFileHeaderSize = 14;
}

Picture decode_bmp(ByteSpan bytes) {
    if (!has_bytes(bytes, 0, kFileHeaderSize)) return {};
    const std::uint32_t pixel_offset = read_u32(bytes, 10);
    DibSource source;
    source.dib = bytes.subspan(kFileHeaderSize);
    // Writers that leave the offset at 0 (or point into the headers) mean "right after the
    // colour table"; anything else is taken as written.
    if (pixel_offset > kFileHeaderSize) source.pixel_offset = pixel_offset - kFileHeaderSize;
    auto frame = decode_dib(source);
    Picture picture;
    if (frame) picture.frames.push_back(std::move(*frame));
    return picture;
}

}  // namespace vidmora::picture_detail
