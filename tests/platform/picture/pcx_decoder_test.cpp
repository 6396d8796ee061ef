#include <gtest/gtest.h>

#include <vector>

#include "platform/picture/picture.h"
#include "tests/platform/picture/picture_fixtures.h"

namespace vidmora {
namespace {

using testing::ByteWriter;
using testing::Rgba;

constexpr Rgba kWhite{255, 255, 255, 255}, kBlack{0, 0, 0, 255};

Bytes header(int version, int bits, int planes, int width, int height, int line_bytes) {
    ByteWriter w;
    w.u8(0x0A).u8(version).u8(1).u8(bits);
    w.u16(0).u16(0).u16(width - 1).u16(height - 1).u16(72).u16(72);
    w.fill(48, 0).u8(0).u8(planes).u16(line_bytes).u16(1);
    w.fill(128 - w.size(), 0);
    return w.take();
}

// Run-length encoding as PCX writers do it: runs of up to 63, and single bytes of 0xC0 and
// above escaped as runs of one.
Bytes encode_runs(const std::vector<std::uint8_t>& plain) {
    ByteWriter w;
    for (std::size_t i = 0; i < plain.size();) {
        std::size_t n = 1;
        while (i + n < plain.size() && plain[i + n] == plain[i] && n < 63) ++n;
        if (n > 1 || plain[i] >= 0xC0) w.u8(0xC0 | n);
        w.u8(plain[i]);
        i += n;
    }
    return w.take();
}

// Index i is (2i + 1, 2i + 1, 255): no byte of the table equals the 0x0C marker.
Bytes palette256() {
    ByteWriter w;
    w.u8(0x0C);
    for (int i = 0; i < 256; ++i) w.u8(2 * i + 1).u8(2 * i + 1).u8(255);
    return w.take();
}

Rgba indexed(int i) {
    return {std::uint8_t(2 * i + 1), std::uint8_t(2 * i + 1), 255, 255};
}

// 5 x 3, two bytes per line beyond the width (lines are 6 bytes, even as writers keep them).
Bytes pcx8() {
    std::vector<std::uint8_t> plain;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 6; ++x) plain.push_back(x < 3 ? 7 : static_cast<std::uint8_t>(200 + y));
    }
    return ByteWriter()
        .bytes(header(5, 8, 1, 5, 3, 6))
        .bytes(encode_runs(plain))
        .bytes(palette256())
        .take();
}

// 10 x 2 monochrome: the top row white on the left half, the bottom row the other way round.
Bytes pcx1() {
    std::vector<std::uint8_t> plain = {0b11111000, 0b00000000, 0b00000111, 0b11000000};
    return ByteWriter().bytes(header(3, 1, 1, 10, 2, 2)).bytes(encode_runs(plain)).take();
}

// 2 x 1 in three planes of red, green and blue.
Bytes pcx24() {
    std::vector<std::uint8_t> plain = {255, 10, 0, 20, 0, 30};
    return ByteWriter().bytes(header(5, 8, 3, 2, 1, 2)).bytes(encode_runs(plain)).take();
}

TEST(PcxDecodeTest, EightBitsWithTheTableAtTheEnd) {
    const Bytes bytes = pcx8();
    ASSERT_EQ(picture_format(bytes), PictureFormat::kPcx8);
    const Picture picture = decode_picture(bytes);
    ASSERT_EQ(picture.frames.size(), 1u);
    const PictureFrame& f = picture.frames[0];
    EXPECT_EQ(f.width, 5);
    EXPECT_EQ(f.height, 3);
    EXPECT_EQ(testing::pixel(f, 0, 0), indexed(7));
    EXPECT_EQ(testing::pixel(f, 2, 2), indexed(7));
    EXPECT_EQ(testing::pixel(f, 3, 0), indexed(200));
    EXPECT_EQ(testing::pixel(f, 4, 2), indexed(202));
}

TEST(PcxDecodeTest, OneBitMonochrome) {
    const Bytes bytes = pcx1();
    ASSERT_EQ(picture_format(bytes), PictureFormat::kPcx1);
    const Picture picture = decode_picture(bytes);
    ASSERT_EQ(picture.frames.size(), 1u);
    const PictureFrame& f = picture.frames[0];
    EXPECT_EQ(f.width, 10);
    EXPECT_EQ(f.height, 2);
    EXPECT_EQ(testing::pixel(f, 0, 0), kWhite);
    EXPECT_EQ(testing::pixel(f, 4, 0), kWhite);
    EXPECT_EQ(testing::pixel(f, 5, 0), kBlack);
    EXPECT_EQ(testing::pixel(f, 9, 0), kBlack);
    EXPECT_EQ(testing::pixel(f, 4, 1), kBlack);
    EXPECT_EQ(testing::pixel(f, 5, 1), kWhite);
    EXPECT_EQ(testing::pixel(f, 9, 1), kWhite);
}

TEST(PcxDecodeTest, EightBitsInThreePlanes) {
    const Picture picture = decode_picture(pcx24());
    ASSERT_EQ(picture.frames.size(), 1u);
    EXPECT_EQ(testing::pixel(picture.frames[0], 0, 0), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(testing::pixel(picture.frames[0], 1, 0), (Rgba{10, 20, 30, 255}));
}

TEST(PcxHostileTest, EveryTruncationGivesNoPicture) {
    for (const Bytes& bytes : {pcx8(), pcx1(), pcx24()}) {
        for (std::size_t n = 0; n < bytes.size(); ++n) {
            EXPECT_TRUE(decode_picture(Bytes(bytes.begin(), bytes.begin() + n)).empty())
                << "cut at " << n << " of " << bytes.size();
        }
    }
}

TEST(PcxHostileTest, AbsurdOrInconsistentHeadersGiveNoPicture) {
    const Bytes runs = encode_runs(std::vector<std::uint8_t>(64, 0));
    auto pcx8_with = [&](Bytes head) {
        return ByteWriter().bytes(head).bytes(runs).bytes(palette256()).take();
    };
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"WiderThanLimit", pcx8_with(header(5, 8, 1, 20000, 1, 20000))},
        {"MoreThanTheRunsReach", pcx8_with(header(5, 8, 1, 8000, 8000, 8000))},
        {"LinesShorterThanWidth", pcx8_with(header(5, 8, 1, 16, 2, 8))},
        {"TwoPlanes", pcx8_with(header(5, 8, 2, 4, 2, 4))},
        {"NoTableMarker",
         ByteWriter().bytes(header(5, 8, 1, 4, 2, 4)).bytes(runs).fill(769, 1).take()},
        {"MaxBelowMin", pcx8_with(ByteWriter().bytes(header(5, 8, 1, 4, 2, 4)).take())},
        {"MonoFourPlanes", ByteWriter().bytes(header(3, 1, 4, 8, 2, 1)).bytes(runs).take()},
    };
    Bytes max_below_min = cases[5].second;
    max_below_min[4] = 9;  // xmin 9 with xmax 3
    EXPECT_TRUE(decode_picture(max_below_min).empty()) << "MaxBelowMin";
    for (const auto& [name, bytes] : cases) {
        if (std::string(name) == "MaxBelowMin") continue;
        EXPECT_TRUE(decode_picture(bytes).empty()) << name;
    }
}

}  // namespace
}  // namespace vidmora
