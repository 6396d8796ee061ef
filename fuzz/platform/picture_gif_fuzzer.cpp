#include "fuzz/platform/fuzz_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vidmora;
    return fuzzing::decode_forced(data, size,
                                  [](Bytes& b) {
                                      b[0] = 'G';
                                      b[1] = 'I';
                                      b[2] = 'F';
                                      b[3] = '8';
                                      if (b[4] != '7') b[4] = '9';
                                      b[5] = 'a';
                                  },
                                  {PictureFormat::kGif});
}
