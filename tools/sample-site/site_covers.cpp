#include "tools/sample-site/site_covers.h"

#include <gif_lib.h>
#include <zlib.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace vidmora::sample_site {
namespace {

struct Rgb {
    std::uint8_t r, g, b;
};

// A cover-like picture: a diagonal gradient, a frame and a white "play" triangle. `phase`
// shifts the colours so that the frames of an animation differ visibly.
std::vector<Rgb> draw_cover(int width, int height, int phase = 0) {
    std::vector<Rgb> pixels(static_cast<std::size_t>(width) * height);
    const int cx = width / 2, cy = height / 2, size = std::min(width, height) / 4;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgb p{static_cast<std::uint8_t>((x * 255 / std::max(1, width - 1) + phase * 80) % 256),
                  static_cast<std::uint8_t>(161 * y / std::max(1, height - 1)),
                  static_cast<std::uint8_t>(214 - 100 * x / std::max(1, width))};
            const bool border = x < 6 || y < 6 || x >= width - 6 || y >= height - 6;
            const int dx = x - (cx - size / 2), dy = y - cy;
            const bool play = dx >= 0 && dx < size && 2 * std::abs(dy) <= size - dx;
            if (border) p = {20, 20, 20};
            if (play) p = {255, 255, 255};
            pixels[static_cast<std::size_t>(y) * width + x] = p;
        }
    }
    return pixels;
}

// The 6 x 6 x 6 colour cube: enough for a palette picture of the drawing above.
std::uint8_t cube_index(Rgb p) {
    return static_cast<std::uint8_t>((p.r * 6 / 256) * 36 + (p.g * 6 / 256) * 6 + p.b * 6 / 256);
}
Rgb cube_colour(int i) {
    return {static_cast<std::uint8_t>(i / 36 * 51), static_cast<std::uint8_t>(i / 6 % 6 * 51),
            static_cast<std::uint8_t>(i % 6 * 51)};
}

void put16(std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void put32be(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

int gif_write(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

}  // namespace

std::string jpeg_cover(int width, int height) {
    const auto pixels = draw_cover(width, height);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 85, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto* row = const_cast<JSAMPLE*>(
            reinterpret_cast<const JSAMPLE*>(&pixels[cinfo.next_scanline * width]));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string out(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

std::string gif_cover(int width, int height, int frames, int delay_centiseconds) {
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, gif_write, &error);
    if (!gif) return {};
    std::array<GifColorType, 256> colours{};
    for (int i = 0; i < 216; ++i) {
        const Rgb c = cube_colour(i);
        colours[i] = {c.r, c.g, c.b};
    }
    ColorMapObject* map = GifMakeMapObject(256, colours.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    // Loop for ever (the NETSCAPE2.0 application extension).
    const unsigned char loop[] = {1, 0, 0};
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
    EGifPutExtensionBlock(gif, 3, loop);
    EGifPutExtensionTrailer(gif);
    std::vector<GifPixelType> line(width);
    for (int f = 0; f < frames; ++f) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSE_DO_NOT;
        gcb.DelayTime = delay_centiseconds;
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
        const auto pixels = draw_cover(width, height, f);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) line[x] = cube_index(pixels[y * width + x]);
            EGifPutLine(gif, line.data(), width);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

std::string bmp_cover(int width, int height) {
    const auto pixels = draw_cover(width, height);
    const int stride = (width * 3 + 3) / 4 * 4;
    std::string out = "BM";
    put32(out, 54 + stride * height);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, width);
    put32(out, height);  // positive: rows bottom-up
    put16(out, 1);
    put16(out, 24);
    for (int i = 0; i < 6; ++i) put32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgb p = pixels[y * width + x];
            out += static_cast<char>(p.b);
            out += static_cast<char>(p.g);
            out += static_cast<char>(p.r);
        }
        out.append(stride - width * 3, '\0');
    }
    return out;
}

std::string pcx_cover(int width, int height) {
    const auto pixels = draw_cover(width, height);
    const int stride = (width + 1) / 2 * 2;
    std::string out;
    out += '\x0A';  // manufacturer
    out += '\x05';  // version 3.0
    out += '\x01';  // RLE
    out += '\x08';  // bits per pixel and plane
    put16(out, 0);
    put16(out, 0);
    put16(out, width - 1);
    put16(out, height - 1);
    put16(out, 72);
    put16(out, 72);
    out.append(48, '\0');  // 16-colour palette, unused
    out += '\0';
    out += '\x01';  // one plane
    put16(out, stride);
    put16(out, 1);
    out.append(58, '\0');
    std::vector<std::uint8_t> row(stride, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) row[x] = cube_index(pixels[y * width + x]);
        for (int x = 0; x < stride;) {
            int run = 1;
            while (x + run < stride && run < 63 && row[x + run] == row[x]) ++run;
            if (run > 1 || row[x] >= 0xC0) out += static_cast<char>(0xC0 | run);
            out += static_cast<char>(row[x]);
            x += run;
        }
    }
    out += '\x0C';
    for (int i = 0; i < 256; ++i) {
        const Rgb c = i < 216 ? cube_colour(i) : Rgb{0, 0, 0};
        out += static_cast<char>(c.r);
        out += static_cast<char>(c.g);
        out += static_cast<char>(c.b);
    }
    return out;
}

std::string png_cover(int width, int height) {
    const auto pixels = draw_cover(width, height);
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // filter: none
        raw.append(reinterpret_cast<const char*>(&pixels[y * width]), width * 3);
    }
    uLongf packed_size = compressBound(raw.size());
    std::string packed(packed_size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &packed_size,
             reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    packed.resize(packed_size);

    std::string out = "\x89PNG\r\n\x1A\n";
    auto chunk = [&out](const char* type, const std::string& data) {
        put32be(out, data.size());
        const std::string body = type + data;
        out += body;
        put32be(out, crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size()));
    };
    std::string header;
    put32be(header, width);
    put32be(header, height);
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, no interlace
    chunk("IHDR", header);
    chunk("IDAT", packed);
    chunk("IEND", "");
    return out;
}

}  // namespace vidmora::sample_site
