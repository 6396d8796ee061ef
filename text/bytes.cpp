// The operations on length-counted byte values.
#include <algorithm>

#include "text/grow.h"
#include "text/text.h"

namespace vidmora {

std::int32_t bytes_length(const Bytes& bytes) {
    return static_cast<std::int32_t>(bytes.size());
}

bool bytes_equal(const Bytes& a, const Bytes& b) {
    return a == b;
}

Bytes bytes_left(const Bytes& bytes, std::int32_t n) {
    const std::size_t take = n <= 0 ? 0 : std::min(bytes.size(), static_cast<std::size_t>(n));
    Bytes out;
    append_to(out, bytes.data(), take);
    return out;
}

Bytes bytes_mid(const Bytes& bytes, std::int32_t position, std::int32_t n) {
    // The position is clamped into 1 .. length + 1 rather than refused.
    const std::size_t from = std::min(
        bytes.size(), position <= 1 ? std::size_t{0} : static_cast<std::size_t>(position) - 1);
    const std::size_t take =
        n <= 0 ? 0 : std::min(bytes.size() - from, static_cast<std::size_t>(n));
    Bytes out;
    append_to(out, bytes.data() + from, take);
    return out;
}

Bytes join_bytes(std::initializer_list<const Bytes*> parts) {
    std::size_t total = 0;
    for (const Bytes* part : parts) total += part->size();
    Bytes out;
    grow_to(out, total);
    for (const Bytes* part : parts) append_to(out, part->data(), part->size());
    return out;
}

Bytes blank_bytes(std::int32_t n) {
    if (n <= 0) return {};
    Bytes out;
    grow_to(out, static_cast<std::size_t>(n));
    out.resize(static_cast<std::size_t>(n), 0);
    return out;
}

}  // namespace vidmora
