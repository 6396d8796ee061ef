// What a press of the left mouse button on the preview 图片框1 does.
#pragma once

#include <cstdint>

namespace vidmora {

// Opens the cover address of 编辑框2 with the desktop's handler, or, while the box is empty,
// says that there is no cover yet. The pointer position (box coordinates) and the key state
// (Ctrl 1, Shift 2, Alt 4) come with the event and are not used.
void preview_click(std::int32_t x, std::int32_t y, std::int32_t keys);

}  // namespace vidmora
