#include "fuzz/platform/fuzz_picture.h"

// Both PCX kinds: the input's fourth byte chooses 1 or 8 bits.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vidmora;
    return fuzzing::decode_forced(data, size,
                                  [](Bytes& b) {
                                      b[0] = 0x0A;
                                      b[2] = 0x01;
                                      if (b[3] == 1) {
                                          b[1] = 3;
                                      } else {
                                          b[1] %= 6;
                                          b[3] = 8;
                                      }
                                  },
                                  {PictureFormat::kPcx8, PictureFormat::kPcx1});
}
