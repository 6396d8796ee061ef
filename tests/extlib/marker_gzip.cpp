// A stand-in gzip.so that only says which copy of it was loaded.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) std::int32_t InitDecompression() {
    return VIDMORA_MARKER;
}
