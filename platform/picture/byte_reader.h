// Bounds-checked little-endian reads over the encoded picture bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vidmora::picture_detail {

using ByteSpan = std::span<const std::uint8_t>;

// Whether `count` bytes start at `offset`; written so that no sum can overflow.
inline bool has_bytes(ByteSpan bytes, std::uint64_t offset, std::uint64_t count) {
    return offset <= bytes.size() && count <= bytes.size() - offset;
}

// The readers below expect the caller to have checked the range with has_bytes.
inline std::uint16_t read_u16(ByteSpan bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

inline std::uint32_t read_u32(ByteSpan bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) |
           (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

inline std::int32_t read_i32(ByteSpan bytes, std::size_t offset) {
    return static_cast<std::int32_t>(read_u32(bytes, offset));
}

}  // namespace vidmora::picture_detail
