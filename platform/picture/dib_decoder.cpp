// Decoding of device-independent bitmaps: 1, 4, 8, 16, 24 and 32 bits per pixel, RLE8 and
// RLE4, bit-field masks, bottom-up and top-down rows, and the AND mask of icon images.
#include "platform/picture/dib_decoder.h"

#include <algorithm>
#include <array>
#include <bit>

#include "platform/picture/picture_limits.h"

namespace vidmora::picture_detail {

namespace {

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

// One channel of a packed pixel: the masked bits, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (mask != 0) {
            shift = std::countr_zero(mask);
            max = mask >> shift;
        }
    }
    std::uint8_t operator()(std::uint32_t pixel) const {
        if (max == 0) return 0;
        const std::uint64_t v = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
    }
};

struct Header {
    std::uint32_t size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // of the colour image, always positive
    bool top_down = false;
    int bit_count = 0;
    std::uint32_t compression = kRgb;
    std::uint64_t colours_used = 0;
    std::uint64_t masks_size = 0;          // bit-field masks stored after a 40-byte header
    std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
    bool has_masks = false;
    unsigned palette_entry_size = 4;
};

std::optional<Header> read_header(ByteSpan dib, bool icon_image) {
    Header h;
    if (!has_bytes(dib, 0, 4)) return std::nullopt;
    h.size = read_u32(dib, 0);
    std::int64_t stored_height = 0;
    if (h.size == kCoreHeaderSize) {
        if (!has_bytes(dib, 0, kCoreHeaderSize)) return std::nullopt;
        h.width = read_u16(dib, 4);
        stored_height = read_u16(dib, 6);
        h.bit_count = read_u16(dib, 10);
        h.palette_entry_size = 3;
        if (h.bit_count != 1 && h.bit_count != 4 && h.bit_count != 8 && h.bit_count != 24) {
            return std::nullopt;
        }
    } else if (h.size >= kInfoHeaderSize) {
        if (!has_bytes(dib, 0, h.size)) return std::nullopt;
        h.width = read_i32(dib, 4);
        stored_height = read_i32(dib, 8);
        h.bit_count = read_u16(dib, 14);
        h.compression = read_u32(dib, 16);
        h.colours_used = read_u32(dib, 32);
        if (stored_height < 0) {
            h.top_down = true;
            stored_height = -stored_height;
        }
    } else {
        return std::nullopt;
    }
    h.height = icon_image ? stored_height / 2 : stored_height;
    if (!picture_size_allowed(h.width, h.height)) return std::nullopt;

    switch (h.compression) {
        case kRgb:
            if (h.bit_count != 1 && h.bit_count != 4 && h.bit_count != 8 && h.bit_count != 16 &&
                h.bit_count != 24 && h.bit_count != 32) {
                return std::nullopt;
            }
            if (h.bit_count == 16) {
                h.masks = {0x7C00, 0x03E0, 0x001F, 0};
                h.has_masks = true;
            }
            break;
        case kRle8:
            if (h.bit_count != 8 || h.top_down) return std::nullopt;
            break;
        case kRle4:
            if (h.bit_count != 4 || h.top_down) return std::nullopt;
            break;
        case kBitFields:
        case kAlphaBitFields: {
            if (h.bit_count != 16 && h.bit_count != 32) return std::nullopt;
            const unsigned count = h.compression == kAlphaBitFields ? 4 : 3;
            std::uint64_t at = 40;
            if (h.size == kInfoHeaderSize) {
                h.masks_size = count * 4;
                if (!has_bytes(dib, at, h.masks_size)) return std::nullopt;
            }
            // Headers of 52 bytes and more hold the masks themselves; from 56 on, alpha too.
            const unsigned available = h.size == kInfoHeaderSize ? count
                                       : h.size >= 56            ? 4
                                       : h.size >= 52            ? 3
                                                                 : 0;
            if (available < 3) return std::nullopt;
            for (unsigned i = 0; i < available && i < 4; ++i)
                h.masks[i] = read_u32(dib, at + i * 4);
            h.has_masks = true;
            break;
        }
        default:
            return std::nullopt;  // embedded JPEG or PNG, or unknown
    }
    return h;
}

struct Palette {
    std::array<Rgb, 256> colours{};
    std::size_t count = 0;
    Rgb operator[](std::size_t index) const { return index < count ? colours[index] : Rgb{}; }
};

class Decoder {
  public:
    Decoder(const Header& header, ByteSpan dib, const Palette& palette, PictureFrame& frame)
        : h_(header), dib_(dib), palette_(palette), frame_(frame) {}

    // Stored row `row` (the first stored row is 0) as a row of the frame, top to bottom.
    std::int64_t frame_row(std::int64_t row) const {
        return h_.top_down ? row : h_.height - 1 - row;
    }

    bool uncompressed(std::uint64_t start, bool keep_alpha) {
        const std::uint64_t stride = row_stride(h_.width, h_.bit_count);
        const std::uint64_t last_row =
            (static_cast<std::uint64_t>(h_.width) * h_.bit_count + 7) / 8;
        // The last row may come without its padding.
        if (!has_bytes(dib_, start, stride * (h_.height - 1) + last_row)) return false;
        const Channel red(h_.masks[0]), green(h_.masks[1]), blue(h_.masks[2]), alpha(h_.masks[3]);
        const bool mask_alpha = h_.has_masks && h_.masks[3] != 0;
        bool any_alpha = false;
        for (std::int64_t row = 0; row < h_.height; ++row) {
            const std::uint8_t* p = dib_.data() + start + row * stride;
            const std::int64_t y = frame_row(row);
            for (std::int64_t x = 0; x < h_.width; ++x) {
                Rgb c;
                std::uint8_t a = 255;
                switch (h_.bit_count) {
                    case 1:
                        c = palette_[(p[x >> 3] >> (7 - (x & 7))) & 1];
                        break;
                    case 4:
                        c = palette_[(p[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
                        break;
                    case 8:
                        c = palette_[p[x]];
                        break;
                    case 16:
                    case 32: {
                        if (h_.has_masks) {
                            const std::uint32_t v =
                                h_.bit_count == 16
                                    ? static_cast<std::uint32_t>(p[2 * x] | (p[2 * x + 1] << 8))
                                    : read_u32(ByteSpan(p + 4 * x, 4), 0);
                            c = {red(v), green(v), blue(v)};
                            if (mask_alpha) a = alpha(v);
                        } else {
                            c = {p[4 * x + 2], p[4 * x + 1], p[4 * x]};
                            if (keep_alpha) a = p[4 * x + 3];
                        }
                        break;
                    }
                    case 24:
                        c = {p[3 * x + 2], p[3 * x + 1], p[3 * x]};
                        break;
                }
                any_alpha = any_alpha || a != 0;
                put_pixel(frame_, x, y, c.r, c.g, c.b, a);
            }
        }
        // Most writers leave the alpha bits at zero: such a picture is meant to be opaque.
        if ((mask_alpha || keep_alpha) && !any_alpha) {
            for (std::size_t i = 3; i < frame_.rgba.size(); i += 4) frame_.rgba[i] = 255;
        }
        has_alpha_ = (mask_alpha || keep_alpha) && any_alpha;
        return true;
    }

    // Run-length data; pixels it skips stay transparent.
    bool run_length(std::uint64_t start) {
        const bool four = h_.compression == kRle4;
        std::uint64_t at = start;
        std::int64_t x = 0, row = 0;
        auto put = [&](std::int64_t px, std::uint8_t index) {
            if (px < h_.width && row < h_.height) {
                const Rgb c = palette_[index];
                put_pixel(frame_, px, frame_row(row), c.r, c.g, c.b);
            }
        };
        while (row < h_.height) {
            if (!has_bytes(dib_, at, 2)) return false;
            const std::uint8_t count = dib_[at], value = dib_[at + 1];
            at += 2;
            if (count > 0) {
                for (unsigned i = 0; i < count; ++i) {
                    put(x + i, four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
                }
                x += count;
            } else if (value == 0) {
                x = 0;
                ++row;
            } else if (value == 1) {
                return true;
            } else if (value == 2) {
                if (!has_bytes(dib_, at, 2)) return false;
                x += dib_[at];
                row += dib_[at + 1];
                at += 2;
            } else {
                const std::uint64_t data = four ? (value + 1u) / 2 : value;
                const std::uint64_t padded = (data + 1) & ~std::uint64_t{1};
                if (!has_bytes(dib_, at, padded)) return false;
                for (unsigned i = 0; i < value; ++i) {
                    const std::uint8_t byte = dib_[at + (four ? i / 2 : i)];
                    put(x + i, four ? ((i & 1) ? byte & 0x0F : byte >> 4) : byte);
                }
                x += value;
                at += padded;
            }
        }
        return true;  // every row is done; a missing end-of-bitmap changes nothing
    }

    // Icon images: a 1-bit mask after the colour rows, a set bit marking a transparent pixel.
    // Pictures with their own alpha channel use that instead.
    bool and_mask(std::uint64_t start) {
        const std::uint64_t stride = row_stride(h_.width, 1);
        if (!has_bytes(dib_, start, stride * h_.height)) return false;
        if (has_alpha_) return true;
        for (std::int64_t row = 0; row < h_.height; ++row) {
            const std::uint8_t* p = dib_.data() + start + row * stride;
            const std::int64_t y = frame_row(row);
            for (std::int64_t x = 0; x < h_.width; ++x) {
                if ((p[x >> 3] >> (7 - (x & 7))) & 1) {
                    // Masked pixels with colour bits would invert the screen; shown as clear.
                    put_pixel(frame_, x, y, 0, 0, 0, 0);
                }
            }
        }
        return true;
    }

    static std::uint64_t row_stride(std::int64_t width, int bits) {
        return (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    }

  private:
    const Header& h_;
    ByteSpan dib_;
    const Palette& palette_;
    PictureFrame& frame_;
    bool has_alpha_ = false;
};

}  // namespace

std::optional<DibSummary> dib_summary(ByteSpan dib, bool icon_image) {
    auto header = read_header(dib, icon_image);
    if (!header) return std::nullopt;
    return DibSummary{header->width, header->height, header->bit_count};
}

std::optional<PictureFrame> decode_dib(const DibSource& source) {
    const ByteSpan dib = source.dib;
    const auto header = read_header(dib, source.icon_image);
    if (!header) return std::nullopt;
    const Header& h = *header;

    // The colour table: as many entries as the header says are used, all of them by default;
    // only the first 2^bits can be addressed.
    Palette palette;
    const std::uint64_t table_at = h.size + h.masks_size;
    std::uint64_t stored_entries = h.colours_used;
    if (h.bit_count <= 8) {
        if (stored_entries == 0) stored_entries = std::uint64_t{1} << h.bit_count;
        palette.count = std::min<std::uint64_t>(stored_entries, std::uint64_t{1} << h.bit_count);
        if (!has_bytes(dib, table_at, palette.count * h.palette_entry_size)) return std::nullopt;
        for (std::size_t i = 0; i < palette.count; ++i) {
            const std::uint8_t* e = dib.data() + table_at + i * h.palette_entry_size;
            palette.colours[i] = {e[2], e[1], e[0]};
        }
    }
    const std::uint64_t after_table = table_at + stored_entries * h.palette_entry_size;
    std::uint64_t pixels_at = after_table;
    // An offset that points into the headers cannot be meant; the table's end is used then.
    if (source.pixel_offset && *source.pixel_offset >= table_at) pixels_at = *source.pixel_offset;
    if (pixels_at > dib.size()) return std::nullopt;

    PictureFrame frame = blank_frame(h.width, h.height);
    Decoder decoder(h, dib, palette, frame);
    if (h.compression == kRle8 || h.compression == kRle4) {
        if (source.icon_image || !decoder.run_length(pixels_at)) return std::nullopt;
        return frame;
    }
    const bool keep_alpha = source.icon_image && h.bit_count == 32 && !h.has_masks;
    if (!decoder.uncompressed(pixels_at, keep_alpha)) return std::nullopt;
    if (source.icon_image) {
        const std::uint64_t mask_at =
            pixels_at + Decoder::row_stride(h.width, h.bit_count) * h.height;
        if (!decoder.and_mask(mask_at)) return std::nullopt;
    }
    return frame;
}

}  // namespace vidmora::picture_detail
