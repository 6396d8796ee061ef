// The control operations the handlers use. They name controls, never toolkit types, so that
// the handlers stay the same whatever draws the window.
#pragma once

#include "text/text.h"

namespace vidmora {

enum class EditBox { kEditBox1, kEditBox2 };  // 编辑框1, 编辑框2
enum class PictureBox { kPictureBox1 };       // 图片框1

// The whole text of the box (GBK), line breaks as CR LF; empty when the box is empty or the
// window does not exist. A text given by set_text comes back byte for byte until the user
// edits the box.
Text get_text(EditBox box);
// Replaces the whole text of the box; no length limit. A NUL byte ends the text.
// Taken by value: a page handed over as a temporary is moved in, not copied.
void set_text(EditBox box, Text text);
// Replaces the box's picture by the one the bytes encode; empty or undecodable bytes leave
// the box without a picture. Nothing is reported.
void set_picture(PictureBox box, const Bytes& bytes);

}  // namespace vidmora
