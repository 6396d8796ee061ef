// The dispatcher: format test, then the decoder of that format.
#include <new>

#include "platform/picture/decoders.h"
#include "platform/picture/picture.h"

namespace vidmora {

using namespace picture_detail;

Picture decode_picture(const Bytes& bytes) {
    const ByteSpan data(bytes.data(), bytes.size());
    try {
        switch (picture_format(bytes)) {
            case PictureFormat::kBitmap:
                return decode_bmp(data);
            case PictureFormat::kJpeg:
                return decode_jpeg(data);
            case PictureFormat::kIcon:
            case PictureFormat::kCursor:
                return decode_icon(data);
            case PictureFormat::kGif:
                return decode_gif(data);
            case PictureFormat::kPcx8:
            case PictureFormat::kPcx1:
                return decode_pcx(data);
            case PictureFormat::kNone:
                break;
        }
    } catch (const std::bad_alloc&) {
        // A picture within the size limits that still does not fit in memory is no picture;
        // the program itself goes on.
    }
    return {};
}

}  // namespace vidmora
