// Decoding a gzip stream (a page body) through the decompression library of the external
// function table.
#pragma once

#include "text/text.h"

namespace vidmora {

// The decoded bytes of `input`, window by window through the library. Whatever the library
// decoded before it stopped (end of stream, truncated or damaged input) is the result; empty
// when no pass produced output. A missing library or entry point is fatal at its first call.
Bytes gzip_decompress(const Bytes& input);

}  // namespace vidmora
