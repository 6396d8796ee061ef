// The passes of gzip_decompress: an 8192-byte output window offered again and again, input
// windows starting at the consumed offset, the offset moving only in passes that wrote output.
#include "extlib/gzip_decompress.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>

#include "extlib/external_table.h"
#include "platform/gzip/gzip_library.h"
#include "text/fatal.h"

namespace vidmora {
namespace {

constexpr std::int32_t kWindowSize = 8192;

// A gzip stream ends with its decoded size modulo 2^32 (RFC 1952). The result is reserved from
// it so that it grows without copying, unless the value is implausible for the input: the
// trailer is only a hint and damaged or hostile input must not reserve gigabytes.
std::size_t expected_size(const Bytes& input) {
    if (input.size() < 18) return 0;
    const std::uint8_t* t = input.data() + input.size() - 4;
    const std::size_t size = static_cast<std::size_t>(t[0]) | static_cast<std::size_t>(t[1]) << 8 |
                             static_cast<std::size_t>(t[2]) << 16 |
                             static_cast<std::size_t>(t[3]) << 24;
    // Web pages compress well below this ratio; anything beyond is treated as unknown.
    constexpr std::size_t kPlausibleRatio = 64;
    return size <= input.size() * kPlausibleRatio ? size : 0;
}

void append(Bytes& result, const std::uint8_t* bytes, std::size_t n) {
    try {
        result.insert(result.end(), bytes, bytes + n);
    } catch (const std::bad_alloc&) {
        fatal_out_of_memory(static_cast<std::int64_t>(result.size() + n));
    } catch (const std::length_error&) {
        fatal_out_of_memory(static_cast<std::int64_t>(result.size() + n));
    }
}

}  // namespace

Bytes gzip_decompress(const Bytes& input) {
    Bytes window(kWindowSize, 0);

    external<gzip::InitDecompressionFn>(kInitDecompression)();
    void* context = nullptr;
    external<gzip::CreateDecompressionFn>(kCreateDecompression)(&context, gzip::kModeGzip);

    Bytes result;
    try {
        result.reserve(expected_size(input));
    } catch (const std::exception&) {
        // Only a hint: the result still grows by doubling.
    }
    std::size_t consumed = 0;
    std::int32_t input_used = 0;
    std::int32_t output_written = 0;
    std::int32_t status = 0;
    do {
        // The window is the input itself from the consumed offset: up to 8192 bytes, null and
        // empty once the offset has reached the end.
        const std::size_t length = std::min<std::size_t>(kWindowSize, input.size() - consumed);
        const std::uint8_t* start = length > 0 ? input.data() + consumed : nullptr;
        status = external<gzip::DecompressFn>(kDecompress)(
            context, start, static_cast<std::int32_t>(length), window.data(), kWindowSize,
            &input_used, &output_written);
        if (output_written != 0) {
            // Counts out of range would point outside the windows; they are held inside them.
            const auto written =
                static_cast<std::size_t>(std::clamp(output_written, 0, kWindowSize));
            if (result.size() + written > kMaxLength) {
                // Decodes to more than any Bytes can hold (a gzip bomb): nothing of it is kept.
                result = Bytes();
                break;
            }
            append(result, window.data(), written);
            const auto used = static_cast<std::size_t>(
                std::clamp<std::int32_t>(input_used, 0, static_cast<std::int32_t>(length)));
            consumed += used;
        }
    } while (status == 0);

    external<gzip::DestroyDecompressionFn>(kDestroyDecompression)(context);
    return result;
}

}  // namespace vidmora
