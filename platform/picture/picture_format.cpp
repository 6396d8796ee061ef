// The format test of the picture box: the first six bytes decide, first matching row wins.
#include "platform/picture/picture.h"

namespace vidmora {

PictureFormat picture_format(const Bytes& bytes) {
    if (bytes.size() < 6) return PictureFormat::kNone;
    const std::uint8_t* b = bytes.data();
    const unsigned second_word = b[2] | (b[3] << 8);
    const unsigned count = b[4] | (b[5] << 8);
    if (b[0] == 0x42 && b[1] == 0x4D) return PictureFormat::kBitmap;
    if (b[0] == 0xFF && b[1] == 0xD8) return PictureFormat::kJpeg;
    if (b[0] == 0 && b[1] == 0 && second_word == 1 && count > 0) return PictureFormat::kIcon;
    if (b[0] == 0 && b[1] == 0 && second_word == 2 && count > 0) return PictureFormat::kCursor;
    if (b[0] == 'G' && b[1] == 'I' && b[2] == 'F' && b[3] == '8' && (b[4] == '7' || b[4] == '9') &&
        b[5] == 'a') {
        return PictureFormat::kGif;
    }
    if (b[0] == 0x0A && b[1] <= 5 && b[2] == 0x01 && b[3] == 0x08) return PictureFormat::kPcx8;
    if (b[0] == 0x0A && b[1] == 0x03 && b[2] == 0x01 && b[3] == 0x01) return PictureFormat::kPcx1;
    return PictureFormat::kNone;
}

}  // namespace vidmora
