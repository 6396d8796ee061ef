#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "platform/picture/picture.h"
#include "tests/platform/picture/picture_fixtures.h"

namespace vidmora {
namespace {

using testing::Rgba;

enum class Kind { kRgb, kProgressive, kGrey, kAdobeCmyk };

// A JPEG whose left half is red and right half blue (grey: dark and light), made with
// libjpeg's own compressor.
Bytes encode_jpeg(int width, int height, Kind kind) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long out_size = 0;
    jpeg_mem_dest(&info, &out, &out_size);
    info.image_width = width;
    info.image_height = height;
    const int channels = kind == Kind::kGrey ? 1 : kind == Kind::kAdobeCmyk ? 4 : 3;
    info.input_components = channels;
    info.in_color_space = kind == Kind::kGrey        ? JCS_GRAYSCALE
                          : kind == Kind::kAdobeCmyk ? JCS_CMYK
                                                     : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (kind == Kind::kProgressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(width * channels);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &row[x * channels];
            const bool left = x < width / 2;
            switch (kind) {
                case Kind::kGrey:
                    p[0] = left ? 40 : 220;
                    break;
                case Kind::kAdobeCmyk:
                    // Adobe stores inks inverted: 255 means none. Red is magenta and yellow.
                    p[0] = left ? 255 : 0;
                    p[1] = left ? 0 : 0;
                    p[2] = left ? 0 : 255;
                    p[3] = 255;
                    break;
                default:
                    p[0] = left ? 255 : 0;
                    p[1] = 0;
                    p[2] = left ? 0 : 255;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes bytes(out, out + out_size);
    std::free(out);
    return bytes;
}

void expect_near(const Rgba& actual, const Rgba& expected) {
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 8)
            << testing::describe(actual) << " vs " << testing::describe(expected);
    }
}

struct JpegCase {
    const char* name;
    Kind kind;
    Rgba left, right;
};

void PrintTo(const JpegCase& c, std::ostream* os) {
    *os << c.name;
}

class JpegDecodeTest : public ::testing::TestWithParam<JpegCase> {};

TEST_P(JpegDecodeTest, Decodes160By100) {
    const Bytes bytes = encode_jpeg(160, 100, GetParam().kind);
    ASSERT_EQ(picture_format(bytes), PictureFormat::kJpeg);
    const Picture picture = decode_picture(bytes);
    ASSERT_EQ(picture.frames.size(), 1u);
    const PictureFrame& frame = picture.frames[0];
    EXPECT_EQ(frame.width, 160);
    EXPECT_EQ(frame.height, 100);
    EXPECT_EQ(frame.delay_ms, 0);
    for (int y : {0, 50, 99}) {
        expect_near(testing::pixel(frame, 10, y), GetParam().left);
        expect_near(testing::pixel(frame, 150, y), GetParam().right);
    }
}

const JpegCase kJpegs[] = {
    {"Baseline", Kind::kRgb, {255, 0, 0, 255}, {0, 0, 255, 255}},
    {"Progressive", Kind::kProgressive, {255, 0, 0, 255}, {0, 0, 255, 255}},
    {"Grey", Kind::kGrey, {40, 40, 40, 255}, {220, 220, 220, 255}},
    {"AdobeCmyk", Kind::kAdobeCmyk, {255, 0, 0, 255}, {0, 0, 255, 255}},
};

INSTANTIATE_TEST_SUITE_P(Kinds, JpegDecodeTest, ::testing::ValuesIn(kJpegs),
                         [](const auto& info) { return std::string(info.param.name); });

// libjpeg's errors come back as no picture instead of ending the process, and data that
// ends early is not padded out with grey.
TEST(JpegHostileTest, EveryTruncationGivesNoPicture) {
    for (Kind kind : {Kind::kRgb, Kind::kProgressive}) {
        const Bytes bytes = encode_jpeg(16, 16, kind);
        // The last two bytes are the end marker, which libjpeg does not insist on.
        for (std::size_t n = 0; n + 2 < bytes.size(); ++n) {
            const Bytes prefix(bytes.begin(), bytes.begin() + n);
            EXPECT_TRUE(decode_picture(prefix).empty()) << "cut at " << n;
        }
    }
}

// Sets the frame size in the first SOF marker.
Bytes with_size(Bytes bytes, int width, int height) {
    for (std::size_t i = 2; i + 9 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
            bytes[i + 5] = height >> 8;
            bytes[i + 6] = height & 0xFF;
            bytes[i + 7] = width >> 8;
            bytes[i + 8] = width & 0xFF;
            return bytes;
        }
    }
    ADD_FAILURE() << "no SOF marker";
    return bytes;
}

TEST(JpegHostileTest, AbsurdOrImpossibleSizesGiveNoPicture) {
    for (Kind kind : {Kind::kRgb, Kind::kProgressive}) {
        const Bytes small = encode_jpeg(16, 16, kind);
        for (auto [w, h] : {std::pair{16385, 8},
                            {8, 16385},
                            {16384, 16384},
                            {8000, 8000},
                            {0, 16},
                            {65535, 65535}}) {
            EXPECT_TRUE(decode_picture(with_size(small, w, h)).empty()) << w << " x " << h;
        }
    }
}

TEST(JpegHostileTest, GarbageAfterTheStartMarkerGivesNoPicture) {
    Bytes bytes = {0xFF, 0xD8};
    for (int i = 0; i < 200; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 37));
    EXPECT_TRUE(decode_picture(bytes).empty());
}

}  // namespace
}  // namespace vidmora
