#include <gtest/gtest.h>

#include "platform/picture/picture.h"

namespace vidmora {
namespace {

struct FormatCase {
    const char* name;
    Bytes bytes;
    PictureFormat format;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.name;
}

class PictureFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PictureFormatTest, FirstMatchingRowOfTheTable) {
    EXPECT_EQ(picture_format(GetParam().bytes), GetParam().format);
}

const FormatCase kCases[] = {
    {"Empty", {}, PictureFormat::kNone},
    {"FiveBytesOfJpeg", {0xFF, 0xD8, 0xFF, 0xE0, 0x00}, PictureFormat::kNone},
    {"Jpeg", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10}, PictureFormat::kJpeg},
    {"Bitmap", {'B', 'M', 0, 0, 0, 0}, PictureFormat::kBitmap},
    {"LowerCaseBmIsNotABitmap", {'b', 'm', 0, 0, 0, 0}, PictureFormat::kNone},
    {"Icon", {0, 0, 1, 0, 1, 0}, PictureFormat::kIcon},
    {"IconCountHighByte", {0, 0, 1, 0, 0, 1}, PictureFormat::kIcon},
    {"IconCountZero", {0, 0, 1, 0, 0, 0}, PictureFormat::kNone},
    {"Cursor", {0, 0, 2, 0, 3, 0}, PictureFormat::kCursor},
    {"CursorCountZero", {0, 0, 2, 0, 0, 0}, PictureFormat::kNone},
    {"TypeThree", {0, 0, 3, 0, 1, 0}, PictureFormat::kNone},
    {"TypeBigEndianOne", {0, 0, 0, 1, 1, 0}, PictureFormat::kNone},
    {"ReservedNotZero", {0, 1, 1, 0, 1, 0}, PictureFormat::kNone},
    {"Gif87a", {'G', 'I', 'F', '8', '7', 'a'}, PictureFormat::kGif},
    {"Gif89a", {'G', 'I', 'F', '8', '9', 'a'}, PictureFormat::kGif},
    {"Gif88a", {'G', 'I', 'F', '8', '8', 'a'}, PictureFormat::kNone},
    {"Gif89A", {'G', 'I', 'F', '8', '9', 'A'}, PictureFormat::kNone},
    {"Pcx8Version0", {0x0A, 0, 1, 8, 0, 0}, PictureFormat::kPcx8},
    {"Pcx8Version5", {0x0A, 5, 1, 8, 0, 0}, PictureFormat::kPcx8},
    {"Pcx8Version6", {0x0A, 6, 1, 8, 0, 0}, PictureFormat::kNone},
    {"Pcx8Uncompressed", {0x0A, 5, 0, 8, 0, 0}, PictureFormat::kNone},
    {"Pcx1", {0x0A, 3, 1, 1, 0, 0}, PictureFormat::kPcx1},
    {"Pcx1Version5", {0x0A, 5, 1, 1, 0, 0}, PictureFormat::kNone},
    {"Pcx4Bits", {0x0A, 3, 1, 4, 0, 0}, PictureFormat::kNone},
    {"Png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, PictureFormat::kNone},
    {"Text", {'h', 't', 't', 'p', ':', '/'}, PictureFormat::kNone},
};

INSTANTIATE_TEST_SUITE_P(Table, PictureFormatTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DecodePictureTest, UnknownOrShortBytesGiveNoPicture) {
    EXPECT_TRUE(decode_picture({}).empty());
    EXPECT_TRUE(decode_picture({0xFF, 0xD8, 0xFF, 0xE0, 0x00}).empty());
    EXPECT_TRUE(decode_picture({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13}).empty());
}

}  // namespace
}  // namespace vidmora
