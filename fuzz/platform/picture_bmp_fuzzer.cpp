#include "fuzz/platform/fuzz_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vidmora;
    return fuzzing::decode_forced(data, size,
                                  [](Bytes& b) {
                                      b[0] = 'B';
                                      b[1] = 'M';
                                  },
                                  {PictureFormat::kBitmap});
}
