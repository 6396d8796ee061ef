// text_between on pages of up to a megabyte, built from a few fragments repeated, against a
// version made of std::string_view::find and the character-boundary rule.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/text/reference.h"
#include "text/markers.h"

namespace vidmora {
namespace {

namespace ref = reference;

constexpr std::size_t kMaxPage = std::size_t{1} << 20;

std::string folded(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = ref::fold(c);
    return out;
}

// The first occurrence of `marker` at a boundary counted from position `start` (1-based, 1
// or less: the whole text), as 1-based position or -1.
std::int32_t find_at_boundary(std::string_view page, std::string_view marker, std::int32_t start,
                              bool ignore_case) {
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= page.size()) return -1;
    if (marker.empty()) return 1;
    const std::string page_folded = ignore_case ? folded(page) : std::string();
    const std::string marker_folded = ignore_case ? folded(marker) : std::string();
    const std::string_view hay = ignore_case ? std::string_view(page_folded) : page;
    const std::string_view needle = ignore_case ? std::string_view(marker_folded) : marker;
    const std::vector<bool> boundary = ref::boundaries(page, from);
    for (std::size_t at = hay.find(needle, from); at != std::string_view::npos;
         at = hay.find(needle, at + 1)) {
        if (boundary[at]) return static_cast<std::int32_t>(at + 1);
    }
    return -1;
}

std::string reference_between(std::string_view page, std::string_view left, std::string_view right,
                              std::int32_t start, bool ignore_case) {
    const std::string quote_placeholder(kQuotePlaceholder);
    const std::string l = ref::replace_text(left, quote_placeholder, "\"", true, 1, -1);
    const std::string r = ref::replace_text(right, quote_placeholder, "\"", true, 1, -1);
    const std::int32_t a = find_at_boundary(page, l, start, ignore_case);
    if (a == -1) return {};
    const std::int64_t n = a + static_cast<std::int64_t>(l.size());
    const std::int32_t b = find_at_boundary(page, r, static_cast<std::int32_t>(n), ignore_case);
    if (b == -1 || b - n <= 0) return {};
    return std::string(page.substr(static_cast<std::size_t>(n - 1), b - n));
}

// A marker, sometimes with the quote placeholder in it.
std::string consume_marker(FuzzedDataProvider& data) {
    std::string marker = ref::consume_text(data, 16);
    if (data.ConsumeBool()) {
        marker.insert(data.ConsumeIntegralInRange<std::size_t>(0, marker.size()),
                      kQuotePlaceholder);
    }
    return marker;
}

}  // namespace
}  // namespace vidmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vidmora;
    FuzzedDataProvider provider(data, size);
    const std::string left = consume_marker(provider);
    const std::string right = consume_marker(provider);
    const auto start = provider.ConsumeIntegralInRange<std::int32_t>(-1, 64);
    const bool ignore_case = provider.ConsumeBool();
    // The page: fragments, each repeated, up to a megabyte.
    Text page;
    while (provider.remaining_bytes() > 0 && page.size() < kMaxPage) {
        const auto times = provider.ConsumeIntegralInRange<std::size_t>(1, 4096);
        const std::string fragment = reference::consume_text(provider, 256);
        for (std::size_t i = 0; i < times && page.size() + fragment.size() <= kMaxPage; ++i) {
            page += fragment;
        }
        if (fragment.empty()) break;
    }
    const Text got = text_between(page, left, right, start, ignore_case);
    const std::string want = reference_between(page, left, right, start, ignore_case);
    if (got != want) {
        std::fprintf(stderr, "text_between gave %zu bytes, the reference %zu\n", got.size(),
                     want.size());
        std::abort();
    }
    return 0;
}
