// The decompression library the program loads by name (gzip.so here, gzip.dll on Windows):
// its four entry points as the program calls them, with 32-bit counts and statuses.
//
// Decompress offers an input window and an output window. In every call it stores how many
// input bytes it used and how many bytes it wrote at the start of the output window. It returns
// 0 only when it wrote output (or used no input); when it can make no progress (no input and
// nothing pending, the end of the stream, bad data, bad arguments) it returns nonzero. It never
// reads or writes outside the windows it is given.
#pragma once

#include <cstdint>

// The calling convention of the platform's libraries (the same definition as the external
// function table's).
#ifndef VIDMORA_WINAPI
#if defined(_WIN32) && !defined(_WIN64)
#define VIDMORA_WINAPI __stdcall
#else
#define VIDMORA_WINAPI
#endif
#endif

#if defined(VIDMORA_GZIP_BUILD) && defined(__GNUC__)
#define VIDMORA_GZIP_EXPORT __attribute__((visibility("default")))
#else
#define VIDMORA_GZIP_EXPORT
#endif

namespace vidmora::gzip {

// The only mode the program asks for: decode one gzip stream (RFC 1952), member after member.
inline constexpr std::int32_t kModeGzip = 3;

// Statuses. 0 asks for another call; the program does not tell the others apart.
inline constexpr std::int32_t kOk = 0;
inline constexpr std::int32_t kEndOfStream = 1;
inline constexpr std::int32_t kNeedInput = 2;
inline constexpr std::int32_t kBadData = -2;
inline constexpr std::int32_t kBadArgument = -1;
inline constexpr std::int32_t kOutOfMemory = -3;

}  // namespace vidmora::gzip

extern "C" {

VIDMORA_GZIP_EXPORT std::int32_t VIDMORA_WINAPI InitDecompression();
// Stores a new context at `context` (null when none could be made).
VIDMORA_GZIP_EXPORT std::int32_t VIDMORA_WINAPI CreateDecompression(void** context,
                                                                    std::int32_t mode);
// `input` may be null when `input_length` is 0.
VIDMORA_GZIP_EXPORT std::int32_t VIDMORA_WINAPI Decompress(
    void* context, const std::uint8_t* input, std::int32_t input_length, std::uint8_t* output,
    std::int32_t output_size, std::int32_t* input_used, std::int32_t* output_written);
VIDMORA_GZIP_EXPORT std::int32_t VIDMORA_WINAPI DestroyDecompression(void* context);

}  // extern "C"

namespace vidmora::gzip {

// The entry points' types, for calling them through the external function table.
using InitDecompressionFn = decltype(&InitDecompression);
using CreateDecompressionFn = decltype(&CreateDecompression);
using DecompressFn = decltype(&Decompress);
using DestroyDecompressionFn = decltype(&DestroyDecompression);

}  // namespace vidmora::gzip
