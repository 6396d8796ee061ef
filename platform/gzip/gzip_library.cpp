// gzip.so: the decompression library over zlib.
//
// zlib streams best when it may write large runs of output, so a context decodes ahead into
// its own buffer and hands that output out window by window. The input it uses in a call is
// always that call's own window and is counted in that call; nothing points into a caller's
// window once a call returns.
#define VIDMORA_GZIP_BUILD
#include "platform/gzip/gzip_library.h"

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

namespace vidmora::gzip {
namespace {

// Large enough that zlib runs in its fast loop nearly all the time (an 8 KiB window of a page
// decodes to some 40 KiB), small enough to stay in cache and for the context to come from the
// heap rather than from fresh, faulting pages of its own.
constexpr std::size_t kAheadSize = 64 * 1024;
// Window bits for a gzip wrapper around a deflate stream with the largest window.
constexpr int kGzipWindowBits = 16 + MAX_WBITS;

enum class StreamState {
    kInMember,    // inside a gzip member
    kMemberDone,  // a member ended; another may follow in later input
    kFailed,      // bad data: nothing more will come out
};

// `ahead` is written by inflate before anything reads it: no need to clear 64 KiB per context.
struct Context {  // NOLINT(cppcoreguidelines-pro-type-member-init)
    z_stream stream{};
    StreamState state = StreamState::kInMember;
    // Decoded bytes not yet handed out: ahead[pending_begin, pending_end).
    std::size_t pending_begin = 0;
    std::size_t pending_end = 0;
    unsigned char ahead[kAheadSize];
};

// Runs zlib once over what is left of the caller's window, into the empty ahead buffer.
// Returns the number of input bytes used.
std::size_t decode_ahead(Context& context, const std::uint8_t* input, std::size_t available) {
    z_stream& stream = context.stream;
    stream.next_in = const_cast<Bytef*>(input);
    stream.avail_in = static_cast<uInt>(available);
    stream.next_out = context.ahead;
    stream.avail_out = static_cast<uInt>(kAheadSize);
    const int rc = inflate(&stream, Z_NO_FLUSH);
    const std::size_t used = available - stream.avail_in;
    context.pending_begin = 0;
    context.pending_end = kAheadSize - stream.avail_out;
    // The window belongs to the caller only for the length of this call.
    stream.next_in = nullptr;
    stream.avail_in = 0;
    if (rc == Z_STREAM_END) {
        context.state = StreamState::kMemberDone;
    } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
        // Z_DATA_ERROR, Z_NEED_DICT (no dictionary can be given), Z_MEM_ERROR, Z_STREAM_ERROR.
        context.state = StreamState::kFailed;
    }
    return used;
}

std::int32_t decompress(Context* context, const std::uint8_t* input, std::int32_t input_length,
                        std::uint8_t* output, std::int32_t output_size, std::int32_t& input_used,
                        std::int32_t& output_written) {
    input_used = 0;
    output_written = 0;
    if (context == nullptr || output == nullptr || output_size <= 0 || input_length < 0 ||
        (input == nullptr && input_length > 0)) {
        return kBadArgument;
    }
    const auto in_size = static_cast<std::size_t>(input_length);
    const auto out_size = static_cast<std::size_t>(output_size);
    std::size_t used = 0;
    std::size_t written = 0;
    while (written < out_size) {
        if (context->pending_begin < context->pending_end) {
            const std::size_t n =
                std::min(context->pending_end - context->pending_begin, out_size - written);
            std::memcpy(output + written, context->ahead + context->pending_begin, n);
            context->pending_begin += n;
            written += n;
            continue;
        }
        if (context->state == StreamState::kFailed) break;
        const std::size_t available = in_size - used;
        if (context->state == StreamState::kMemberDone) {
            // What follows a member can only be another member.
            if (available == 0) break;
            inflateReset(&context->stream);
            context->state = StreamState::kInMember;
        }
        const std::size_t step = decode_ahead(*context, input + used, available);
        used += step;
        // Neither input used nor output made: zlib needs more input than this window holds.
        if (step == 0 && context->pending_end == 0) break;
    }
    input_used = static_cast<std::int32_t>(used);
    output_written = static_cast<std::int32_t>(written);
    if (written > 0) return kOk;
    // Nothing written: the caller would offer the same window again and get nothing again.
    switch (context->state) {
        case StreamState::kFailed:
            return kBadData;
        case StreamState::kMemberDone:
            return kEndOfStream;
        case StreamState::kInMember:
            break;
    }
    return kNeedInput;
}

}  // namespace
}  // namespace vidmora::gzip

namespace gz = vidmora::gzip;

extern "C" {

std::int32_t VIDMORA_WINAPI InitDecompression() {
    return gz::kOk;
}

std::int32_t VIDMORA_WINAPI CreateDecompression(void** context, std::int32_t mode) {
    if (context == nullptr) return gz::kBadArgument;
    *context = nullptr;
    if (mode != gz::kModeGzip) return gz::kBadArgument;
    auto* made = new (std::nothrow) gz::Context;
    if (made == nullptr) return gz::kOutOfMemory;
    if (inflateInit2(&made->stream, gz::kGzipWindowBits) != Z_OK) {
        delete made;
        return gz::kOutOfMemory;
    }
    *context = made;
    return gz::kOk;
}

std::int32_t VIDMORA_WINAPI Decompress(void* context, const std::uint8_t* input,
                                       std::int32_t input_length, std::uint8_t* output,
                                       std::int32_t output_size, std::int32_t* input_used,
                                       std::int32_t* output_written) {
    std::int32_t used = 0;
    std::int32_t written = 0;
    const std::int32_t status = gz::decompress(static_cast<gz::Context*>(context), input,
                                               input_length, output, output_size, used, written);
    if (input_used != nullptr) *input_used = used;
    if (output_written != nullptr) *output_written = written;
    return status;
}

std::int32_t VIDMORA_WINAPI DestroyDecompression(void* context) {
    if (context == nullptr) return gz::kBadArgument;
    auto* owned = static_cast<gz::Context*>(context);
    inflateEnd(&owned->stream);
    delete owned;
    return gz::kOk;
}

}  // extern "C"
