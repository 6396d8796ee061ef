// Results are built by appending to one buffer that grows geometrically, so that a run of
// appends stays linear. Running out of memory on the way is fatal rather than an exception:
// no text operation lets one escape.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "text/fatal.h"
#include "text/text.h"

namespace vidmora {

// Makes room for `n` elements in all, at least doubling the capacity when it has to grow.
template <typename Container>
void grow_to(Container& c, std::size_t n) {
    if (n <= c.capacity()) return;
    const std::size_t want = std::max(n, c.capacity() * 2);
    const auto bytes = static_cast<std::int64_t>(want * sizeof(typename Container::value_type));
    try {
        c.reserve(want);
    } catch (const std::bad_alloc&) {
        fatal_out_of_memory(bytes);
    } catch (const std::length_error&) {
        fatal_out_of_memory(bytes);
    }
}

inline void append_to(Text& text, std::string_view part) {
    grow_to(text, text.size() + part.size());
    text.append(part);
}

inline void append_to(Text& text, char c) {
    grow_to(text, text.size() + 1);
    text.push_back(c);
}

inline void append_to(Bytes& bytes, const std::uint8_t* data, std::size_t n) {
    grow_to(bytes, bytes.size() + n);
    bytes.insert(bytes.end(), data, data + n);
}

inline void append_to(TextList& list, Text&& item) {
    grow_to(list, list.size() + 1);
    list.push_back(std::move(item));
}

// Runs `allocate` (something that allocates in a library container, such as a hash set's
// insert) with a failed allocation made fatal; `bytes` is what it asks for, as near as known.
template <typename F>
decltype(auto) or_die(std::int64_t bytes, F&& allocate) {
    try {
        return allocate();
    } catch (const std::bad_alloc&) {
        fatal_out_of_memory(bytes);
    } catch (const std::length_error&) {
        fatal_out_of_memory(bytes);
    }
}

// A new text holding exactly these bytes.
inline Text copy_text(std::string_view bytes) {
    Text out;
    if (!bytes.empty()) {
        // Exact size: a copy never needs room to grow.
        try {
            out.reserve(bytes.size());
        } catch (const std::bad_alloc&) {
            fatal_out_of_memory(static_cast<std::int64_t>(bytes.size()));
        } catch (const std::length_error&) {
            fatal_out_of_memory(static_cast<std::int64_t>(bytes.size()));
        }
        out.append(bytes);
    }
    return out;
}

}  // namespace vidmora
