// Small encoded pictures built in code, and helpers to look at decoded ones.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/picture/picture.h"

namespace vidmora::testing {

using Rgba = std::array<std::uint8_t, 4>;

// Appends little-endian fields.
class ByteWriter {
  public:
    ByteWriter& u8(std::uint32_t v);
    ByteWriter& u16(std::uint32_t v);
    ByteWriter& u32(std::uint32_t v);
    ByteWriter& bytes(std::initializer_list<std::uint8_t> values);
    ByteWriter& bytes(const Bytes& values);
    ByteWriter& fill(std::size_t count, std::uint8_t value);
    Bytes take() { return std::move(out_); }
    std::size_t size() const { return out_.size(); }

  private:
    Bytes out_;
};

// A 40-byte BITMAPINFOHEADER.
Bytes info_header(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression = 0,
                  std::uint32_t colours_used = 0);
// "BM" file header pointing at the pixels right after `headers` (info header, masks, table).
Bytes bmp_file(const Bytes& headers, const Bytes& pixels);
// Palette entries as stored: B G R 0.
Bytes palette(std::initializer_list<Rgba> colours);

Rgba pixel(const PictureFrame& frame, int x, int y);
std::string describe(const Rgba& c);

}  // namespace vidmora::testing
