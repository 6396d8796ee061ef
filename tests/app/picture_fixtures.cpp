#include "tests/app/picture_fixtures.h"

#include <gif_lib.h>
#include <jpeglib.h>

#include <QBuffer>
#include <QImage>
#include <cstdio>
#include <cstdlib>

namespace vidmora::test {
namespace {

void put16(Bytes& out, unsigned value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}
void put32(Bytes& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// The quadrant colour of pixel (x, y) in a width x height picture.
const QColor& at(const Quadrants& q, int x, int y, int width, int height) {
    return q[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)];
}

void put_info_header(Bytes& out, int width, int height, int bits) {
    put32(out, 40);
    put32(out, width);
    put32(out, height);
    put16(out, 1);
    put16(out, bits);
    for (int i = 0; i < 6; ++i) put32(out, 0);
}

}  // namespace

Bytes bitmap_2x2(const Quadrants& q) {
    const int row_bytes = 8;  // 2 pixels of 3 bytes, padded to 4
    Bytes out = {'B', 'M'};
    put32(out, 14 + 40 + 2 * row_bytes);
    put32(out, 0);
    put32(out, 14 + 40);
    put_info_header(out, 2, 2, 24);
    for (int y = 1; y >= 0; --y) {  // bottom-up
        for (int x = 0; x < 2; ++x) {
            const QColor& c = at(q, x, y, 2, 2);
            out.insert(out.end(),
                       {static_cast<std::uint8_t>(c.blue()), static_cast<std::uint8_t>(c.green()),
                        static_cast<std::uint8_t>(c.red())});
        }
        out.insert(out.end(), {0, 0});
    }
    return out;
}

Bytes icon_2x2(const Quadrants& q, bool cursor) {
    Bytes image;
    put_info_header(image, 2, 4, 32);  // the height counts the colour and the mask rows
    for (int y = 1; y >= 0; --y) {
        for (int x = 0; x < 2; ++x) {
            const QColor& c = at(q, x, y, 2, 2);
            image.insert(image.end(),
                         {static_cast<std::uint8_t>(c.blue()), static_cast<std::uint8_t>(c.green()),
                          static_cast<std::uint8_t>(c.red()), 255});
        }
    }
    image.insert(image.end(), 8, 0);  // the AND mask: two rows of 4 bytes, all shown
    Bytes out;
    put16(out, 0);
    put16(out, cursor ? 2 : 1);
    put16(out, 1);
    out.insert(out.end(), {2, 2, 0, 0});
    put16(out, cursor ? 0 : 1);   // planes, or the hot spot's x
    put16(out, cursor ? 0 : 32);  // bits, or the hot spot's y
    put32(out, static_cast<std::uint32_t>(image.size()));
    put32(out, 6 + 16);
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

Bytes pcx8_2x2(const Quadrants& q) {
    Bytes out(128, 0);
    out[0] = 0x0A, out[1] = 5, out[2] = 1, out[3] = 8;
    out[8] = 1, out[10] = 1;  // xmax, ymax: 2 x 2
    out[65] = 1;              // planes
    out[66] = 2;              // bytes per line
    out[68] = 1;
    out.insert(out.end(), {0, 1, 2, 3});  // indices below 0xC0 stand for themselves
    out.push_back(0x0C);
    Bytes table(768, 0);
    for (int i = 0; i < 4; ++i) {
        table[i * 3] = q[i].red(), table[i * 3 + 1] = q[i].green(), table[i * 3 + 2] = q[i].blue();
    }
    out.insert(out.end(), table.begin(), table.end());
    return out;
}

Bytes pcx1_2x2_checker() {
    Bytes out(128, 0);
    out[0] = 0x0A, out[1] = 3, out[2] = 1, out[3] = 1;
    out[8] = 1, out[10] = 1;
    out[65] = 1;
    out[66] = 2;
    out.insert(out.end(), {0x80, 0x00, 0x40, 0x00});  // rows: 1 0 / 0 1, the first bit leftmost
    return out;
}

Bytes jpeg(int width, int height, const Quadrants& q) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(width * 3);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < width; ++x) {
            const QColor& c = at(q, x, info.next_scanline, width, height);
            row[x * 3] = c.red(), row[x * 3 + 1] = c.green(), row[x * 3 + 2] = c.blue();
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

Bytes png_2x2(const Quadrants& q) {
    QImage image(2, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) image.setPixelColor(x, y, at(q, x, y, 2, 2));
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return Bytes(data.begin(), data.end());
}

namespace {
int append_to_bytes(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}
}  // namespace

Bytes gif_two_frames(const QColor& first, const QColor& second, int delay_cs) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, append_to_bytes, &error);
    EGifSetGifVersion(gif, true);
    GifColorType colours[4] = {
        {static_cast<GifByteType>(first.red()), static_cast<GifByteType>(first.green()),
         static_cast<GifByteType>(first.blue())},
        {static_cast<GifByteType>(second.red()), static_cast<GifByteType>(second.green()),
         static_cast<GifByteType>(second.blue())},
        {0, 0, 0},
        {0, 0, 0}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifPutScreenDesc(gif, 2, 2, 2, 0, map);
    for (GifPixelType index : {0, 1}) {
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.DelayTime = delay_cs;
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
        EGifPutImageDesc(gif, 0, 0, 2, 2, false, nullptr);
        GifPixelType line[2] = {index, index};
        EGifPutLine(gif, line, 2);
        EGifPutLine(gif, line, 2);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

}  // namespace vidmora::test
