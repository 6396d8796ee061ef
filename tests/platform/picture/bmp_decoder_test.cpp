#include <gtest/gtest.h>

#include <vector>

#include "platform/picture/picture.h"
#include "tests/platform/picture/picture_fixtures.h"

namespace vidmora {
namespace {

using testing::ByteWriter;
using testing::Rgba;

constexpr Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};
constexpr Rgba kWhite{255, 255, 255, 255}, kBlack{0, 0, 0, 255}, kClear{0, 0, 0, 0};

struct Sample {
    int x, y;
    Rgba colour;
};

struct BitmapCase {
    const char* name;
    Bytes bytes;
    int width, height;
    std::vector<Sample> samples;
    // Bytes at the end that may be missing: the padding of the last row.
    std::size_t optional_tail = 0;
};

void PrintTo(const BitmapCase& c, std::ostream* os) {
    *os << c.name;
}

// 3 x 2, 24 bits, bottom-up: the first stored row is the bottom one; rows pad to 4 bytes.
Bytes bgr24(bool top_down) {
    Bytes pixels = ByteWriter()
                       .bytes({0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0})    // R G B
                       .bytes({255, 255, 255, 0, 0, 0, 0, 0, 255, 0, 0, 0})  // W K R
                       .take();
    return testing::bmp_file(testing::info_header(3, top_down ? -2 : 2, 24), pixels);
}

// 10 x 2, 1 bit: crosses a byte boundary inside the row.
Bytes mono() {
    Bytes headers = testing::info_header(10, 2, 1);
    Bytes table = testing::palette({kBlack, kWhite});
    headers.insert(headers.end(), table.begin(), table.end());
    Bytes pixels = ByteWriter().bytes({0b10000000, 0b01000000, 0, 0}).bytes({0, 0, 0, 0}).take();
    return testing::bmp_file(headers, pixels);
}

// 3 x 1, 4 bits with a 3-entry table; the index 7 lies beyond it and shows black.
Bytes four_bit() {
    Bytes headers = testing::info_header(3, 1, 4, 0, 3);
    Bytes table = testing::palette({kRed, kGreen, kBlue});
    headers.insert(headers.end(), table.begin(), table.end());
    return testing::bmp_file(headers, ByteWriter().bytes({0x21, 0x70, 0, 0}).take());
}

Bytes eight_bit() {
    Bytes headers = testing::info_header(2, 2, 8, 0, 256);
    ByteWriter table;
    for (int i = 0; i < 256; ++i) table.bytes({std::uint8_t(i), 0, std::uint8_t(255 - i), 0});
    headers.insert(headers.end(), table.size(), 0);
    Bytes t = table.take();
    std::copy(t.begin(), t.end(), headers.end() - 1024);
    return testing::bmp_file(headers, ByteWriter().bytes({0, 255, 0, 0, 10, 20, 0, 0}).take());
}

// 16 bits, 5-5-5 by default and 5-6-5 through bit fields.
Bytes sixteen(bool fields) {
    Bytes headers = testing::info_header(2, 1, 16, fields ? 3 : 0);
    if (fields) {
        Bytes masks = ByteWriter().u32(0xF800).u32(0x07E0).u32(0x001F).take();
        headers.insert(headers.end(), masks.begin(), masks.end());
    }
    ByteWriter px;
    if (fields) {
        px.u16(0xF800).u16(0x07E0);
    } else {
        px.u16(0x7C00).u16(0x03E0);
    }
    return testing::bmp_file(headers, px.take());
}

// 32 bits: the fourth byte of a BI_RGB bitmap is not alpha.
Bytes thirty_two_rgb() {
    return testing::bmp_file(testing::info_header(1, 1, 32),
                             ByteWriter().bytes({255, 0, 0, 0}).take());
}

// A 124-byte V5 header with an alpha mask.
Bytes v5_alpha() {
    ByteWriter h;
    h.u32(124).u32(2).u32(1).u16(1).u16(32).u32(3).u32(8).u32(0).u32(0).u32(0).u32(0);
    h.u32(0x00FF0000).u32(0x0000FF00).u32(0x000000FF).u32(0xFF000000);
    h.fill(124 - h.size(), 0);
    return testing::bmp_file(h.take(), ByteWriter().u32(0x80FF0000).u32(0xFF0000FF).take());
}

// The old 12-byte core header with a 3-byte colour table.
Bytes core_header() {
    Bytes headers = ByteWriter().u32(12).u16(2).u16(1).u16(1).u16(8).take();
    Bytes table = ByteWriter().bytes({0, 0, 255}).bytes({255, 0, 0}).fill(254 * 3, 0).take();
    headers.insert(headers.end(), table.begin(), table.end());
    return testing::bmp_file(headers, ByteWriter().bytes({1, 0, 0, 0}).take());
}

Bytes rle_headers(int bits, int width, int height) {
    Bytes headers = testing::info_header(width, height, bits, bits == 8 ? 1 : 2, 3);
    Bytes table = testing::palette({kRed, kGreen, kBlue});
    headers.insert(headers.end(), table.begin(), table.end());
    return headers;
}

// 6 x 3 RLE8: a run, an absolute run with padding, end of line, a delta, end of bitmap.
Bytes rle8() {
    Bytes data = ByteWriter()
                     .bytes({3, 1})              // bottom row: 3 green
                     .bytes({0, 3, 2, 0, 2, 0})  // absolute: blue red blue, padded
                     .bytes({0, 0})              // end of line
                     .bytes({0, 2, 2, 1})        // delta: skip to x 2 of the top row
                     .bytes({2, 2})              // 2 blue
                     .bytes({0, 1})              // end of bitmap
                     .take();
    return testing::bmp_file(rle_headers(8, 6, 3), data);
}

// 5 x 1 RLE4: a run alternating two indices, then an absolute run of 3 nibbles.
Bytes rle4() {
    Bytes data = ByteWriter().bytes({2, 0x12}).bytes({0, 3, 0x01, 0x20}).bytes({0, 1}).take();
    return testing::bmp_file(rle_headers(4, 5, 1), data);
}

class BitmapDecodeTest : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(BitmapDecodeTest, DecodesSizeAndPixels) {
    const BitmapCase& c = GetParam();
    ASSERT_EQ(picture_format(c.bytes), PictureFormat::kBitmap);
    const Picture picture = decode_picture(c.bytes);
    ASSERT_EQ(picture.frames.size(), 1u);
    const PictureFrame& frame = picture.frames[0];
    EXPECT_EQ(frame.width, c.width);
    EXPECT_EQ(frame.height, c.height);
    EXPECT_EQ(frame.delay_ms, 0);
    ASSERT_EQ(frame.rgba.size(), std::size_t(c.width) * c.height * 4);
    for (const Sample& s : c.samples) {
        EXPECT_EQ(testing::pixel(frame, s.x, s.y), s.colour)
            << "at " << s.x << "," << s.y << ": "
            << testing::describe(testing::pixel(frame, s.x, s.y));
    }
}

const BitmapCase kBitmaps[] = {
    {"Bgr24BottomUp",
     bgr24(false),
     3,
     2,
     {{0, 0, kWhite}, {1, 0, kBlack}, {2, 0, kRed}, {0, 1, kRed}, {1, 1, kGreen}, {2, 1, kBlue}},
     3},
    {"Bgr24TopDown",
     bgr24(true),
     3,
     2,
     {{0, 0, kRed}, {2, 0, kBlue}, {0, 1, kWhite}, {2, 1, kRed}},
     3},
    {"Mono",
     mono(),
     10,
     2,
     {{0, 1, kWhite}, {1, 1, kBlack}, {9, 1, kWhite}, {8, 1, kBlack}, {0, 0, kBlack}},
     2},
    {"FourBitIndexBeyondTable",
     four_bit(),
     3,
     1,
     {{0, 0, kBlue}, {1, 0, kGreen}, {2, 0, kBlack}},
     2},
    {"EightBit",
     eight_bit(),
     2,
     2,
     {{0, 1, {255, 0, 0, 255}}, {1, 1, {0, 0, 255, 255}}, {0, 0, {245, 0, 10, 255}}},
     2},
    {"Sixteen555", sixteen(false), 2, 1, {{0, 0, kRed}, {1, 0, kGreen}}},
    {"Sixteen565BitFields", sixteen(true), 2, 1, {{0, 0, kRed}, {1, 0, kGreen}}},
    {"ThirtyTwoRgbIsOpaque", thirty_two_rgb(), 1, 1, {{0, 0, kBlue}}},
    {"V5AlphaMask", v5_alpha(), 2, 1, {{0, 0, {255, 0, 0, 128}}, {1, 0, kBlue}}},
    {"CoreHeader", core_header(), 2, 1, {{0, 0, kBlue}, {1, 0, kRed}}, 2},
    {"Rle8",
     rle8(),
     6,
     3,
     {{0, 2, kGreen},
      {2, 2, kGreen},
      {3, 2, kBlue},
      {4, 2, kRed},
      {5, 2, kBlue},
      {0, 1, kClear},
      {5, 1, kClear},
      {1, 0, kClear},
      {2, 0, kBlue},
      {3, 0, kBlue},
      {4, 0, kClear}}},
    {"Rle4",
     rle4(),
     5,
     1,
     {{0, 0, kGreen}, {1, 0, kBlue}, {2, 0, kRed}, {3, 0, kGreen}, {4, 0, kBlue}}},
};

INSTANTIATE_TEST_SUITE_P(Depths, BitmapDecodeTest, ::testing::ValuesIn(kBitmaps),
                         [](const auto& info) { return std::string(info.param.name); });

// Every shorter prefix of a small bitmap is refused without reading past its end.
TEST(BitmapHostileTest, EveryTruncationGivesNoPicture) {
    for (const BitmapCase& c : kBitmaps) {
        const std::size_t last = c.bytes.size() - c.optional_tail;
        for (std::size_t n = 0; n < last; ++n) {
            const Bytes prefix(c.bytes.begin(), c.bytes.begin() + n);
            EXPECT_TRUE(decode_picture(prefix).empty()) << c.name << " cut at " << n;
        }
    }
}

TEST(BitmapHostileTest, AbsurdOrImpossibleHeadersGiveNoPicture) {
    const Bytes some_pixels(64, 0);
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"WiderThanLimit", testing::bmp_file(testing::info_header(16385, 1, 24), some_pixels)},
        {"TallerThanLimit", testing::bmp_file(testing::info_header(1, -16385, 24), some_pixels)},
        {"TooManyPixels", testing::bmp_file(testing::info_header(16384, 16384, 8), some_pixels)},
        {"MoreThanTheDataHolds",
         testing::bmp_file(testing::info_header(8000, 8000, 24), some_pixels)},
        {"MostNegativeHeight",
         testing::bmp_file(testing::info_header(1, INT32_MIN, 24), some_pixels)},
        {"NegativeWidth", testing::bmp_file(testing::info_header(-4, 4, 24), some_pixels)},
        {"ZeroWidth", testing::bmp_file(testing::info_header(0, 4, 24), some_pixels)},
        {"BitCountSeven", testing::bmp_file(testing::info_header(2, 2, 7), some_pixels)},
        {"EmbeddedJpeg", testing::bmp_file(testing::info_header(2, 2, 24, 4), some_pixels)},
        {"Rle8TopDown", testing::bmp_file(testing::info_header(2, -2, 8, 1), some_pixels)},
        {"Rle8WithFourBits", testing::bmp_file(testing::info_header(2, 2, 4, 1), some_pixels)},
        {"HeaderSizeHuge",
         ByteWriter().bytes({'B', 'M'}).fill(8, 0).u32(0).u32(0xFFFFFFF0).fill(40, 0).take()},
        {"HeaderSize20",
         ByteWriter().bytes({'B', 'M'}).fill(8, 0).u32(0).u32(20).fill(40, 0).take()},
    };
    for (const auto& [name, bytes] : cases) {
        EXPECT_TRUE(decode_picture(bytes).empty()) << name;
    }
}

// Run-length codes that point outside the picture are clipped, never written.
TEST(BitmapHostileTest, RunLengthOutsideThePictureIsClipped) {
    Bytes data = ByteWriter()
                     .bytes({255, 1, 255, 1})  // runs far past the right edge
                     .bytes({0, 2, 255, 255})  // delta far above the top
                     .bytes({0, 1})
                     .take();
    Bytes headers = testing::info_header(2, 2, 8, 1, 2);
    Bytes table = testing::palette({kRed, kGreen});
    headers.insert(headers.end(), table.begin(), table.end());
    const Picture picture = decode_picture(testing::bmp_file(headers, data));
    ASSERT_EQ(picture.frames.size(), 1u);
    EXPECT_EQ(testing::pixel(picture.frames[0], 1, 1), kGreen);
    EXPECT_EQ(testing::pixel(picture.frames[0], 0, 0), kClear);
}

}  // namespace
}  // namespace vidmora
