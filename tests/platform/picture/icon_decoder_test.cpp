#include <gtest/gtest.h>

#include <vector>

#include "platform/picture/picture.h"
#include "tests/platform/picture/picture_fixtures.h"

namespace vidmora {
namespace {

using testing::ByteWriter;
using testing::Rgba;

constexpr Rgba kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255}, kClear{0, 0, 0, 0};

// An icon image of one colour: the info header with the doubled height, the colour rows
// (8 bits with a one-entry table, 24 or 32 bits) and the AND mask, whose set bit makes the
// stored first pixel (bottom left) transparent.
Bytes icon_image(int size, int bits, Rgba colour, std::uint8_t alpha = 0) {
    ByteWriter w;
    w.bytes(testing::info_header(size, size * 2, bits, 0, bits == 8 ? 1 : 0));
    if (bits == 8) w.bytes(testing::palette({colour}));
    const int stride = (size * bits + 31) / 32 * 4;
    for (int y = 0; y < size; ++y) {
        ByteWriter row;
        for (int x = 0; x < size; ++x) {
            if (bits == 8) row.u8(0);
            if (bits >= 24) row.bytes({colour[2], colour[1], colour[0]});
            if (bits == 32) row.u8(alpha);
        }
        row.fill(stride - row.size(), 0);
        w.bytes(row.take());
    }
    const int mask_stride = (size + 31) / 32 * 4;
    for (int y = 0; y < size; ++y) w.u8(y == 0 ? 0x80 : 0).fill(mask_stride - 1, 0);
    return w.take();
}

const Bytes kPng = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};

// The directory and its entries; the sizes in the entries are deliberately left at 0.
Bytes icon_file(int type, const std::vector<Bytes>& images) {
    ByteWriter w;
    w.u16(0).u16(type).u16(static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const Bytes& image : images) {
        w.u8(0).u8(0).u8(0).u8(0).u16(type == 2 ? 3 : 1).u16(type == 2 ? 5 : 32);
        w.u32(static_cast<std::uint32_t>(image.size())).u32(offset);
        offset += static_cast<std::uint32_t>(image.size());
    }
    for (const Bytes& image : images) w.bytes(image);
    return w.take();
}

Bytes cut(Bytes bytes, std::size_t n) {
    bytes.resize(n);
    return bytes;
}

struct IconCase {
    const char* name;
    Bytes bytes;
    int size;
    Rgba colour;  // everywhere but the bottom-left pixel
    Rgba bottom_left;
};

void PrintTo(const IconCase& c, std::ostream* os) {
    *os << c.name;
}

class IconDecodeTest : public ::testing::TestWithParam<IconCase> {};

TEST_P(IconDecodeTest, ShowsTheBestImage) {
    const IconCase& c = GetParam();
    const Picture picture = decode_picture(c.bytes);
    ASSERT_EQ(picture.frames.size(), 1u);
    const PictureFrame& frame = picture.frames[0];
    ASSERT_EQ(frame.width, c.size);
    ASSERT_EQ(frame.height, c.size);
    EXPECT_EQ(testing::pixel(frame, c.size - 1, 0), c.colour);
    EXPECT_EQ(testing::pixel(frame, 1, c.size - 1), c.colour);
    EXPECT_EQ(testing::pixel(frame, 0, c.size - 1), c.bottom_left);
}

const IconCase kIcons[] = {
    {"LargerOfTwo", icon_file(1, {icon_image(2, 24, kBlue), icon_image(4, 8, kRed)}), 4, kRed,
     kClear},
    {"DeeperOfTwoEqual", icon_file(1, {icon_image(3, 8, kBlue), icon_image(3, 24, kRed)}), 3, kRed,
     kClear},
    {"FirstOfTwoAlike", icon_file(1, {icon_image(3, 8, kBlue), icon_image(3, 8, kRed)}), 3, kBlue,
     kClear},
    // A 32-bit image with alpha uses it, not the mask.
    {"AlphaChannel", icon_file(1, {icon_image(2, 32, kRed, 255)}), 2, kRed, kRed},
    {"AlphaAllZeroUsesMask", icon_file(1, {icon_image(2, 32, kRed, 0)}), 2, kRed, kClear},
    {"PngEntrySkipped", icon_file(1, {kPng, icon_image(2, 24, kBlue)}), 2, kBlue, kClear},
    {"BrokenBestGivesWay",
     icon_file(1, {icon_image(2, 24, kBlue), cut(icon_image(8, 24, kRed), 60)}), 2, kBlue, kClear},
    {"Cursor", icon_file(2, {icon_image(32, 24, kRed)}), 32, kRed, kClear},
};

INSTANTIATE_TEST_SUITE_P(Files, IconDecodeTest, ::testing::ValuesIn(kIcons),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IconHostileTest, NothingDecodableGivesNoPicture) {
    const Bytes image = icon_image(2, 24, kBlue);
    Bytes outside = icon_file(1, {image});
    outside[6 + 12] = 0xF0;  // offset far past the end
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"OnlyPng", icon_file(1, {kPng})},
        {"OffsetOutside", outside},
        {"DirectoryLongerThanFile", ByteWriter().u16(0).u16(1).u16(200).fill(40, 0).take()},
        {"HugeImage",
         icon_file(1, {ByteWriter().bytes(testing::info_header(40000, 80000, 24)).take()})},
    };
    for (const auto& [name, bytes] : cases) EXPECT_TRUE(decode_picture(bytes).empty()) << name;
}

// Every prefix gives no picture, or the one image that it still holds whole.
TEST(IconHostileTest, TruncationGivesNoPictureOrAWholeImage) {
    const Bytes small = icon_image(2, 24, kBlue);
    const Bytes bytes = icon_file(1, {small, icon_image(4, 8, kRed)});
    const std::size_t small_end = 6 + 32 + small.size();
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        const Picture picture = decode_picture(Bytes(bytes.begin(), bytes.begin() + n));
        if (n < small_end) {
            EXPECT_TRUE(picture.empty()) << "cut at " << n;
        } else {
            ASSERT_EQ(picture.frames.size(), 1u) << "cut at " << n;
            EXPECT_EQ(picture.frames[0].width, 2) << "cut at " << n;
        }
    }
}

}  // namespace
}  // namespace vidmora
