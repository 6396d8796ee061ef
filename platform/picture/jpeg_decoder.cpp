// JPEG through libjpeg's decompression interface. libjpeg reports errors by calling a
// function that must not return; ours jumps back to the caller, so bad data never ends the
// process.
#include <algorithm>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <new>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/picture/decoders.h"
#include "platform/picture/picture_limits.h"

namespace vidmora::picture_detail {

namespace {

// Progressive files may hold any number of scans, each one a pass over the whole picture.
// Real encoders write about ten.
constexpr int kMaxScans = 500;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void on_error(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings are quiet, except that data ending early fails the picture: libjpeg would fill
// the rest with grey.
void on_message(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) on_error(cinfo);
}

void on_progress(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->is_decompressor && d->input_scan_number > kMaxScans) on_error(cinfo);
}

// Whether the entropy-coded data could hold the picture at all. With Huffman coding every
// 8 x 8 block of every scanned component costs at least one bit, and the smallest component
// has to be scanned; arithmetic coding has no such floor.
bool data_can_hold(const jpeg_decompress_struct& info, std::size_t size) {
    if (info.arith_code) return true;
    std::uint64_t fewest_blocks = UINT64_MAX;
    for (int i = 0; i < info.num_components; ++i) {
        const jpeg_component_info& c = info.comp_info[i];
        fewest_blocks = std::min<std::uint64_t>(
            fewest_blocks, std::uint64_t{c.width_in_blocks} * c.height_in_blocks);
    }
    return fewest_blocks / 8 <= size;
}

// The part between setjmp and a possible longjmp: every object it changes lives outside this
// frame, so nothing is lost or left half-destroyed by the jump.
bool decompress(jpeg_decompress_struct* info, ErrorManager* errors, ByteSpan bytes,
                std::vector<std::uint8_t>* row, PictureFrame* frame) {
    if (setjmp(errors->jump)) return false;
    jpeg_mem_src(info, const_cast<unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return false;
    if (!picture_size_allowed(info->image_width, info->image_height) ||
        !data_can_hold(*info, bytes.size())) {
        return false;
    }
    // Colour files come out as RGB; grey ones as grey, and CMYK as CMYK, both converted below.
    switch (info->jpeg_color_space) {
        case JCS_GRAYSCALE:
            info->out_color_space = JCS_GRAYSCALE;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            info->out_color_space = JCS_CMYK;
            break;
        default:
            info->out_color_space = JCS_RGB;
            break;
    }
    jpeg_start_decompress(info);
    const int channels = info->output_components;
    if (channels != 1 && channels != 3 && channels != 4) return false;
    const std::int64_t width = info->output_width, height = info->output_height;
    // Adobe's CMYK files store the inks inverted.
    const bool inverted = info->saw_Adobe_marker;
    *frame = blank_frame(width, height);
    row->resize(static_cast<std::size_t>(width) * channels);
    while (info->output_scanline < info->output_height) {
        const std::int64_t y = info->output_scanline;
        JSAMPROW rows[1] = {row->data()};
        if (jpeg_read_scanlines(info, rows, 1) != 1) return false;
        const std::uint8_t* p = row->data();
        for (std::int64_t x = 0; x < width; ++x, p += channels) {
            if (channels == 1) {
                put_pixel(*frame, x, y, p[0], p[0], p[0]);
            } else if (channels == 3) {
                put_pixel(*frame, x, y, p[0], p[1], p[2]);
            } else {
                const unsigned k = inverted ? p[3] : 255 - p[3];
                auto ink = [&](std::uint8_t v) {
                    const unsigned c = inverted ? v : 255 - v;
                    return static_cast<std::uint8_t>((c * k + 127) / 255);
                };
                put_pixel(*frame, x, y, ink(p[0]), ink(p[1]), ink(p[2]));
            }
        }
    }
    jpeg_finish_decompress(info);
    return true;
}

}  // namespace

Picture decode_jpeg(ByteSpan bytes) {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = on_error;
    errors.base.emit_message = on_message;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = on_progress;
    std::vector<std::uint8_t> row;
    Picture picture;
    PictureFrame frame;
    // jpeg_create_decompress reports a failed allocation through the error manager too.
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    jpeg_create_decompress(&info);
    info.progress = &progress;
    bool ok = false;
    try {
        ok = decompress(&info, &errors, bytes, &row, &frame);
    } catch (const std::bad_alloc&) {
        // Our own buffers did not fit; libjpeg's are released below all the same.
    }
    jpeg_destroy_decompress(&info);
    if (ok) picture.frames.push_back(std::move(frame));
    return picture;
}

}  // namespace vidmora::picture_detail
