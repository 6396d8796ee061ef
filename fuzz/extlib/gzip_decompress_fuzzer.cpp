// gzip_decompress through gzip.so against zlib's own decoding of the same bytes, member after
// member, up to the first damage. The input is either taken as it is, or gzip'd here first
// (then repeated, cut short or with one byte changed) so that whole streams of any size reach
// the window passes too.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "extlib/gzip_decompress.h"
#include "tests/platform/gzip/zlib_reference.h"

namespace {

using vidmora::testing::ByteVector;
using vidmora::testing::gunzip_with_zlib;
using vidmora::testing::gzip_with_zlib;

ByteVector make_input(FuzzedDataProvider& data) {
    const auto mode = data.ConsumeIntegralInRange<int>(0, 3);
    if (mode == 0) return data.ConsumeRemainingBytes<std::uint8_t>();
    const auto level = data.ConsumeIntegralInRange<int>(0, 9);
    const auto times = data.ConsumeIntegralInRange<std::size_t>(1, 4096);
    const auto cut = data.ConsumeIntegral<std::uint32_t>();
    const auto flip = data.ConsumeIntegral<std::uint32_t>();
    const ByteVector piece = data.ConsumeRemainingBytes<std::uint8_t>();
    ByteVector plain;
    for (std::size_t i = 0; i < times; ++i) plain.insert(plain.end(), piece.begin(), piece.end());
    ByteVector input = gzip_with_zlib(plain, level);
    if (mode == 2 && !input.empty()) input.resize(cut % input.size());
    if (mode == 3 && !input.empty())
        input[flip % input.size()] ^= static_cast<std::uint8_t>(cut | 1);
    return input;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const ByteVector input = make_input(provider);
    const vidmora::Bytes result =
        vidmora::gzip_decompress(vidmora::Bytes(input.begin(), input.end()));
    const ByteVector expected = gunzip_with_zlib(input);
    if (result.size() != expected.size() ||
        !std::equal(result.begin(), result.end(), expected.begin())) {
        std::fprintf(stderr, "gzip_decompress gave %zu bytes, zlib %zu\n", result.size(),
                     expected.size());
        std::abort();
    }
    return 0;
}
