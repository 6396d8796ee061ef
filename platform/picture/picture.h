// Decoding the preview's picture formats into plain RGBA frames.
#pragma once

#include <cstdint>
#include <vector>

#include "text/text.h"

namespace vidmora {

enum class PictureFormat { kNone, kBitmap, kJpeg, kIcon, kCursor, kGif, kPcx8, kPcx1 };

// One whole frame, already composed over the frames before it (an animation's disposal is
// done by the decoder): width * height pixels, 4 bytes each, R G B A, rows top to bottom.
struct PictureFrame {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgba;
    std::int32_t delay_ms = 0;  // how long the frame stays before the next; 0 for stills
};

// No frames means no picture. More than one frame is an animation that loops.
struct Picture {
    std::vector<PictureFrame> frames;
    bool empty() const { return frames.empty(); }
};

// The format by the first 6 bytes; kNone for fewer than 6 bytes or an unknown format.
PictureFormat picture_format(const Bytes& bytes);
// The decoded picture, or an empty one when the format is unknown or the data is bad.
Picture decode_picture(const Bytes& bytes);

}  // namespace vidmora
