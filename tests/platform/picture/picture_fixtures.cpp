#include "tests/platform/picture/picture_fixtures.h"

#include <cstdio>

namespace vidmora::testing {

ByteWriter& ByteWriter::u8(std::uint32_t v) {
    out_.push_back(static_cast<std::uint8_t>(v));
    return *this;
}
ByteWriter& ByteWriter::u16(std::uint32_t v) {
    return u8(v).u8(v >> 8);
}
ByteWriter& ByteWriter::u32(std::uint32_t v) {
    return u16(v).u16(v >> 16);
}
ByteWriter& ByteWriter::bytes(std::initializer_list<std::uint8_t> values) {
    out_.insert(out_.end(), values);
    return *this;
}
ByteWriter& ByteWriter::bytes(const Bytes& values) {
    out_.insert(out_.end(), values.begin(), values.end());
    return *this;
}
ByteWriter& ByteWriter::fill(std::size_t count, std::uint8_t value) {
    out_.insert(out_.end(), count, value);
    return *this;
}

Bytes info_header(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression,
                  std::uint32_t colours_used) {
    return ByteWriter()
        .u32(40)
        .u32(static_cast<std::uint32_t>(width))
        .u32(static_cast<std::uint32_t>(height))
        .u16(1)
        .u16(bits)
        .u32(compression)
        .u32(0)
        .u32(2835)
        .u32(2835)
        .u32(colours_used)
        .u32(0)
        .take();
}

Bytes bmp_file(const Bytes& headers, const Bytes& pixels) {
    const std::uint32_t offset = 14 + static_cast<std::uint32_t>(headers.size());
    return ByteWriter()
        .bytes({'B', 'M'})
        .u32(offset + static_cast<std::uint32_t>(pixels.size()))
        .u32(0)
        .u32(offset)
        .bytes(headers)
        .bytes(pixels)
        .take();
}

Bytes palette(std::initializer_list<Rgba> colours) {
    ByteWriter w;
    for (const Rgba& c : colours) w.bytes({c[2], c[1], c[0], 0});
    return w.take();
}

Rgba pixel(const PictureFrame& frame, int x, int y) {
    const std::uint8_t* p = frame.rgba.data() + (static_cast<std::size_t>(y) * frame.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

std::string describe(const Rgba& c) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "(%d, %d, %d, %d)", c[0], c[1], c[2], c[3]);
    return buffer;
}

}  // namespace vidmora::testing
