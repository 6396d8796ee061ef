// The sample site's cover images, drawn in code in each format the preview knows, and PNG.
#pragma once

#include <string>

namespace vidmora::sample_site {

std::string jpeg_cover(int width, int height);
std::string gif_cover(int width, int height, int frames, int delay_centiseconds);
std::string bmp_cover(int width, int height);
std::string pcx_cover(int width, int height);
std::string png_cover(int width, int height);

}  // namespace vidmora::sample_site
