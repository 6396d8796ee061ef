// gzip_decompress through gzip.so against zlib's own decoding of the same bytes, member after
// member, up to the first damage. The input is either taken as it is, or gzip'd here first
// (then repeated, cut short or with one byte changed) so that whole streams of any size reach
// the window passes too.
#include <fuzzer/FuzzedDataProvider.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "extlib/gzip_decompress.h"

namespace {

using ByteVector = std::vector<std::uint8_t>;

ByteVector gzip_with_zlib(const ByteVector& plain, int level) {
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    ByteVector out(deflateBound(&stream, static_cast<uLong>(plain.size())) + 32);
    stream.next_in = const_cast<Bytef*>(plain.data());
    stream.avail_in = static_cast<uInt>(plain.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// zlib in one go over the whole input: members one after the other until the input ends or
// zlib reports damage; whatever it decoded up to then.
ByteVector gunzip_with_zlib(const ByteVector& compressed) {
    ByteVector out;
    z_stream stream{};
    inflateInit2(&stream, 16 + MAX_WBITS);
    stream.next_in = const_cast<Bytef*>(compressed.data());
    stream.avail_in = static_cast<uInt>(compressed.size());
    std::vector<std::uint8_t> chunk(1 << 16);
    for (;;) {
        stream.next_out = chunk.data();
        stream.avail_out = static_cast<uInt>(chunk.size());
        const int rc = inflate(&stream, Z_NO_FLUSH);
        out.insert(out.end(), chunk.data(), chunk.data() + (chunk.size() - stream.avail_out));
        if (rc == Z_STREAM_END) {
            if (stream.avail_in == 0) break;
            inflateReset(&stream);
            continue;
        }
        if (rc != Z_OK) break;
    }
    inflateEnd(&stream);
    return out;
}

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
