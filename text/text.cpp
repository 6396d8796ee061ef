// Length, equality, joining, cutting, conversions, filled texts and lists.
#include "text/text.h"

#include <algorithm>
#include <cstring>

#include "text/grow.h"

namespace vidmora {

std::int32_t text_length(const Text& text) {
    return static_cast<std::int32_t>(text.size());
}

bool text_equals(const Text& a, const Text& b) {
    return a == b;
}

Text join_text(std::initializer_list<std::string_view> parts) {
    std::size_t total = 0;
    for (std::string_view part : parts) total += part.size();
    Text out;
    grow_to(out, total);
    for (std::string_view part : parts) {
        // A text ends at its first NUL, so a part holding one ends the result there.
        const std::size_t nul = part.find('\0');
        append_to(out, part.substr(0, nul));
        if (nul != std::string_view::npos) break;
    }
    return out;
}

Text text_left(const Text& text, std::int32_t n) {
    if (n <= 0) return {};
    return copy_text(std::string_view(text).substr(0, static_cast<std::size_t>(n)));
}

Text text_right(const Text& text, std::int32_t n) {
    if (n <= 0) return {};
    const std::size_t take = std::min(text.size(), static_cast<std::size_t>(n));
    return copy_text(std::string_view(text).substr(text.size() - take));
}

Text text_mid(const Text& text, std::int32_t position, std::int32_t n) {
    // Unlike bytes_mid, a position outside the text is refused, not clamped.
    if (position < 1 || static_cast<std::size_t>(position) > text.size() || n <= 0) return {};
    return copy_text(std::string_view(text).substr(static_cast<std::size_t>(position) - 1,
                                                   static_cast<std::size_t>(n)));
}

Text blank_text(std::int32_t n) {
    if (n <= 0) return {};
    Text out;
    grow_to(out, static_cast<std::size_t>(n));
    out.append(static_cast<std::size_t>(n), ' ');
    return out;
}

Text char_text(std::int32_t code) {
    const char c = static_cast<char>(code & 0xFF);
    if (c == '\0') return {};
    return copy_text(std::string_view(&c, 1));
}

Bytes text_to_bytes(const Text& text) {
    Bytes out;
    append_to(out, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return out;
}

Text bytes_to_text(const Bytes& bytes) {
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    const void* nul = bytes.empty() ? nullptr : std::memchr(data, 0, bytes.size());
    const std::size_t n =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - data) : bytes.size();
    return copy_text(std::string_view(data, n));
}

std::int32_t list_count(const TextList& list) {
    return static_cast<std::int32_t>(list.size());
}

void list_append(TextList& list, const Text& text) {
    append_to(list, copy_text(text));
}

}  // namespace vidmora
