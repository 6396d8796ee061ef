// What a click on the "Go" button 按钮1 does: find the cover of the video numbered in 编辑框1.
#pragma once

namespace vidmora {

void cover_lookup();

}  // namespace vidmora
