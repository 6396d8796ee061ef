#include <gtest/gtest.h>

#include <vector>

#include <gif_lib.h>

#include "platform/picture/picture.h"
#include "tests/platform/picture/picture_fixtures.h"

namespace vidmora {
namespace {

using testing::Rgba;

constexpr Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};
constexpr Rgba kClear{0, 0, 0, 0};

struct FrameSpec {
    int left, top, width, height;
    std::vector<std::uint8_t> indices;  // row by row, top to bottom
    int disposal = DISPOSAL_UNSPECIFIED;
    int delay_cs = 0;
    int transparent = NO_TRANSPARENT_COLOR;
    bool interlaced = false;
};

struct EncodedGif {
    Bytes bytes;
    std::vector<std::size_t> frame_ends;  // where each frame's data ends
};

int write_bytes(GifFileType* gif, const GifByteType* data, int count) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + count);
    return count;
}

// A GIF 89a written with giflib's encoder; the global colour map is red, green, blue, white.
EncodedGif encode_gif(int width, int height, const std::vector<FrameSpec>& frames) {
    EncodedGif result;
    int error = 0;
    GifFileType* gif = EGifOpen(&result.bytes, write_bytes, &error);
    EGifSetGifVersion(gif, true);
    GifColorType colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    for (const FrameSpec& f : frames) {
        GraphicsControlBlock control{f.disposal, false, f.delay_cs, f.transparent};
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
        EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, nullptr);
        std::vector<int> rows;
        if (f.interlaced) {
            for (int start : {0, 4, 2, 1}) {
                for (int y = start; y < f.height; y += start == 0   ? 8
                                                       : start == 4 ? 8
                                                       : start == 2 ? 4
                                                                    : 2) {
                    rows.push_back(y);
                }
            }
        } else {
            for (int y = 0; y < f.height; ++y) rows.push_back(y);
        }
        for (int y : rows) {
            std::vector<GifPixelType> line(f.indices.begin() + y * f.width,
                                           f.indices.begin() + (y + 1) * f.width);
            EGifPutLine(gif, line.data(), f.width);
        }
        result.frame_ends.push_back(result.bytes.size());
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return result;
}

std::vector<std::uint8_t> filled(int count, std::uint8_t index) {
    return std::vector<std::uint8_t>(count, index);
}

// Two frames: the whole 4 x 4 canvas red for 500 ms, cleared afterwards; then a 2 x 2 green
// square at (1, 1) with its white corner transparent, with no delay given.
EncodedGif two_frames() {
    FrameSpec first{0, 0, 4, 4, filled(16, 0), DISPOSE_BACKGROUND, 50};
    FrameSpec second{1, 1, 2, 2, {1, 1, 1, 3}, DISPOSE_DO_NOT, 0, 3};
    return encode_gif(4, 4, {first, second});
}

TEST(GifDecodeTest, TwoFramesWithDelayDisposalAndTransparency) {
    const EncodedGif gif = two_frames();
    ASSERT_EQ(picture_format(gif.bytes), PictureFormat::kGif);
    const Picture picture = decode_picture(gif.bytes);
    ASSERT_EQ(picture.frames.size(), 2u);
    const PictureFrame& a = picture.frames[0];
    const PictureFrame& b = picture.frames[1];
    EXPECT_EQ(a.width, 4);
    EXPECT_EQ(a.height, 4);
    EXPECT_EQ(a.delay_ms, 500);
    EXPECT_EQ(b.delay_ms, 100);  // no delay plays at the browsers' pace
    EXPECT_EQ(testing::pixel(a, 0, 0), kRed);
    EXPECT_EQ(testing::pixel(a, 3, 3), kRed);
    // The first frame's area was cleared to transparent before the second was drawn.
    EXPECT_EQ(testing::pixel(b, 0, 0), kClear);
    EXPECT_EQ(testing::pixel(b, 3, 3), kClear);
    EXPECT_EQ(testing::pixel(b, 1, 1), kGreen);
    EXPECT_EQ(testing::pixel(b, 2, 1), kGreen);
    EXPECT_EQ(testing::pixel(b, 1, 2), kGreen);
    EXPECT_EQ(testing::pixel(b, 2, 2), kClear);
}

TEST(GifDecodeTest, KeptAndRestoredFrames) {
    FrameSpec base{0, 0, 4, 4, filled(16, 0), DISPOSE_DO_NOT, 10};
    FrameSpec passing{0, 0, 2, 2, filled(4, 2), DISPOSE_PREVIOUS, 10};
    FrameSpec corner{3, 3, 1, 1, {1}, DISPOSE_DO_NOT, 10};
    const Picture picture = decode_picture(encode_gif(4, 4, {base, passing, corner}).bytes);
    ASSERT_EQ(picture.frames.size(), 3u);
    EXPECT_EQ(testing::pixel(picture.frames[1], 0, 0), kBlue);
    EXPECT_EQ(testing::pixel(picture.frames[1], 3, 3), kRed);
    EXPECT_EQ(testing::pixel(picture.frames[2], 0, 0), kRed);  // restored
    EXPECT_EQ(testing::pixel(picture.frames[2], 3, 3), kGreen);
    EXPECT_EQ(testing::pixel(picture.frames[2], 3, 0), kRed);
}

TEST(GifDecodeTest, InterlacedRowsLandInPlaceAndStillsHaveNoDelay) {
    FrameSpec f{0, 0, 2, 11, {}, DISPOSAL_UNSPECIFIED, 30, NO_TRANSPARENT_COLOR, true};
    for (int y = 0; y < 11; ++y) f.indices.insert(f.indices.end(), 2, y % 3);
    const Picture picture = decode_picture(encode_gif(2, 11, {f}).bytes);
    ASSERT_EQ(picture.frames.size(), 1u);
    EXPECT_EQ(picture.frames[0].delay_ms, 0);
    const Rgba by_index[] = {kRed, kGreen, kBlue};
    for (int y = 0; y < 11; ++y)
        EXPECT_EQ(testing::pixel(picture.frames[0], 1, y), by_index[y % 3]) << y;
}

TEST(GifDecodeTest, FramesReachingPastTheCanvasAreClipped) {
    FrameSpec f{2, 2, 4, 4, filled(16, 2)};
    const Picture picture = decode_picture(encode_gif(3, 3, {f}).bytes);
    ASSERT_EQ(picture.frames.size(), 1u);
    EXPECT_EQ(picture.frames[0].width, 3);
    EXPECT_EQ(testing::pixel(picture.frames[0], 2, 2), kBlue);
    EXPECT_EQ(testing::pixel(picture.frames[0], 1, 1), kClear);
}

// A cut inside a record gives no picture; a cut between records (a missing trailer) keeps
// the frames before it: after the first image or after the second frame's 8-byte control
// extension, and after the second image.
TEST(GifHostileTest, TruncationKeepsOnlyWholeFrames) {
    const EncodedGif gif = two_frames();
    const std::size_t first = gif.frame_ends[0], second = gif.frame_ends[1];
    for (std::size_t n = 0; n < gif.bytes.size(); ++n) {
        const Bytes prefix(gif.bytes.begin(), gif.bytes.begin() + n);
        const std::size_t expected = n == first || n == first + 8 ? 1 : n == second ? 2 : 0;
        EXPECT_EQ(decode_picture(prefix).frames.size(), expected) << "cut at " << n;
    }
}

// Each frame is a whole canvas: frames that would take the animation past the size of the
// largest still picture are left out.
TEST(GifHostileTest, FramesBeyondThePixelBudgetAreLeftOut) {
    FrameSpec dot{0, 0, 1, 1, {2}, DISPOSE_DO_NOT, 10};
    const Picture picture = decode_picture(encode_gif(8192, 4096, {dot, dot, dot}).bytes);
    ASSERT_EQ(picture.frames.size(), 1u);
    EXPECT_EQ(picture.frames[0].delay_ms, 0);
    EXPECT_EQ(testing::pixel(picture.frames[0], 0, 0), kBlue);
}

TEST(GifHostileTest, AbsurdSizesGiveNoPicture) {
    // A screen of 65535 x 65535 and a frame far larger than its canvas.
    EncodedGif huge_screen = encode_gif(4, 4, {{0, 0, 1, 1, {0}}});
    huge_screen.bytes[6] = huge_screen.bytes[7] = huge_screen.bytes[8] = huge_screen.bytes[9] =
        0xFF;
    EXPECT_TRUE(decode_picture(huge_screen.bytes).empty());
    // The first image descriptor follows the header (13), the colour map (12) and the
    // graphic control extension (8); its width and height are at 5 and 7 past its start.
    EncodedGif huge_frame = encode_gif(4, 4, {{0, 0, 1, 1, {0}}});
    const std::size_t descriptor = 13 + 12 + 8;
    ASSERT_EQ(huge_frame.bytes[descriptor], 0x2C);
    huge_frame.bytes[descriptor + 5] = huge_frame.bytes[descriptor + 6] = 0xFF;
    huge_frame.bytes[descriptor + 7] = huge_frame.bytes[descriptor + 8] = 0xFF;
    EXPECT_TRUE(decode_picture(huge_frame.bytes).empty());
}

}  // namespace
}  // namespace vidmora
