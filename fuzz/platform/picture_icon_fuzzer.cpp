#include "fuzz/platform/fuzz_picture.h"

// Icons and cursors: the input's third byte chooses which.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vidmora;
    return fuzzing::decode_forced(data, size,
                                  [](Bytes& b) {
                                      b[0] = b[1] = 0;
                                      b[2] = b[2] == 2 ? 2 : 1;
                                      b[3] = 0;
                                      if (b[4] == 0 && b[5] == 0) b[4] = 1;
                                  },
                                  {PictureFormat::kIcon, PictureFormat::kCursor});
}
