// Small pictures made in code, each of four coloured quadrants, for the preview's tests.
#pragma once

#include <QColor>
#include <array>
#include <string>

#include "text/text.h"

namespace vidmora::test {

// Top-left, top-right, bottom-left, bottom-right.
using Quadrants = std::array<QColor, 4>;

Bytes bitmap_2x2(const Quadrants& colours);                   // 24-bit Windows bitmap
Bytes icon_2x2(const Quadrants& colours, bool cursor);        // 32-bit icon or cursor
Bytes pcx8_2x2(const Quadrants& colours);                     // 8-bit PCX with its table
Bytes pcx1_2x2_checker();                                     // white, black / black, white
Bytes jpeg(int width, int height, const Quadrants& colours);  // libjpeg, quality 95
Bytes png_2x2(const Quadrants& colours);                      // a format the box does not know
// Two frames of 2 x 2 pixels, each in one colour, the first shown for `delay_cs` hundredths.
Bytes gif_two_frames(const QColor& first, const QColor& second, int delay_cs);

}  // namespace vidmora::test
