// PCX pictures: 8 bits with the 256-colour table at the end (or three planes of red, green and
// blue), and 1-bit monochrome; the rows are run-length encoded.
#include <algorithm>
#include <vector>

#include "platform/picture/decoders.h"
#include "platform/picture/picture_limits.h"

namespace vidmora::picture_detail {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kPaletteSize = 769;  // the 0x0C marker and 256 entries of R G B
constexpr std::uint8_t kPaletteMarker = 0x0C;
// One two-byte run expands to at most 63 bytes.
constexpr std::uint64_t kLargestRun = 63;

// Expands the run-length stream of `data` into exactly `out.size()` bytes; false when the
// data ends first. Runs may cross from one row into the next, as many writers do.
bool expand_runs(ByteSpan data, std::vector<std::uint8_t>& out) {
    std::size_t at = 0, written = 0;
    while (written < out.size()) {
        if (at >= data.size()) return false;
        std::uint8_t byte = data[at++];
        std::size_t count = 1;
        if ((byte & 0xC0) == 0xC0) {
            if (at >= data.size()) return false;
            count = byte & 0x3F;
            byte = data[at++];
        }
        count = std::min(count, out.size() - written);
        std::fill_n(out.begin() + written, count, byte);
        written += count;
    }
    return true;
}

}  // namespace

Picture decode_pcx(ByteSpan bytes) {
    if (!has_bytes(bytes, 0, kHeaderSize)) return {};
    const int bits = bytes[3];
    const std::int64_t width = std::int64_t{read_u16(bytes, 8)} - read_u16(bytes, 4) + 1;
    const std::int64_t height = std::int64_t{read_u16(bytes, 10)} - read_u16(bytes, 6) + 1;
    const int planes = bytes[65];
    const std::uint64_t line_bytes = read_u16(bytes, 66);
    if (bytes[2] != 1 || !picture_size_allowed(width, height)) return {};

    const bool indexed = bits == 8 && planes == 1;
    const bool rgb = bits == 8 && planes == 3;
    const bool mono = bits == 1 && planes == 1;
    if (!indexed && !rgb && !mono) return {};
    if (line_bytes * 8 < static_cast<std::uint64_t>(width) * bits) return {};

    ByteSpan runs = bytes.subspan(kHeaderSize);
    const std::uint8_t* table = nullptr;
    if (indexed) {
        if (bytes.size() < kHeaderSize + kPaletteSize) return {};
        const std::size_t marker = bytes.size() - kPaletteSize;
        if (bytes[marker] != kPaletteMarker) return {};
        table = bytes.data() + marker + 1;
        runs = bytes.subspan(kHeaderSize, marker - kHeaderSize);
    }
    const std::uint64_t scanline = line_bytes * planes;
    const std::uint64_t total = scanline * height;
    // Refuse sizes that the run-length data cannot reach before allocating for them.
    if (total > runs.size() * kLargestRun / 2 + kLargestRun) return {};
    std::vector<std::uint8_t> plain(total);
    if (!expand_runs(runs, plain)) return {};

    PictureFrame frame = blank_frame(width, height);
    for (std::int64_t y = 0; y < height; ++y) {
        const std::uint8_t* row = plain.data() + y * scanline;
        for (std::int64_t x = 0; x < width; ++x) {
            if (indexed) {
                const std::uint8_t* c = table + row[x] * 3;
                put_pixel(frame, x, y, c[0], c[1], c[2]);
            } else if (rgb) {
                put_pixel(frame, x, y, row[x], row[line_bytes + x], row[2 * line_bytes + x]);
            } else {
                const std::uint8_t v = ((row[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0;
                put_pixel(frame, x, y, v, v, v);
            }
        }
    }
    Picture picture;
    picture.frames.push_back(std::move(frame));
    return picture;
}

}  // namespace vidmora::picture_detail
