// One decoder per format; decode_picture picks among them by the format test. Each returns an
// empty picture for data it cannot decode and never reads outside `bytes`.
#pragma once

#include "platform/picture/byte_reader.h"
#include "platform/picture/picture.h"

namespace vidmora::picture_detail {

Picture decode_bmp(ByteSpan bytes);
Picture decode_jpeg(ByteSpan bytes);
Picture decode_gif(ByteSpan bytes);
// Icons and cursors share one layout; the cursor's hot spot does not matter for display.
Picture decode_icon(ByteSpan bytes);
Picture decode_pcx(ByteSpan bytes);

}  // namespace vidmora::picture_detail
