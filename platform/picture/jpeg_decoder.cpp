#include "platform/picture/decoders.h"

namespace vidmora::picture_detail {

Picture decode_jpeg(ByteSpan) {
    return {};
}

}  // namespace vidmora::picture_detail
