// Search and rewrite speed of the text operations over pages of 1 MB and 10 MB. The search
// runs next to std::string_view::find on the same bytes; the rewrites show that their cost
// per byte does not grow with the input (linear, not quadratic).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "text/markers.h"
#include "text/text.h"
#include "web/cookies.h"

namespace vidmora {
namespace {

constexpr std::int64_t kMB = 1 << 20;

const Text kLeft = "<img src=\"http://";
const Text kRight = "\" style=\"display:none;\" class=\"cover_image\"/>";

// A GBK character: a lead byte 0xB0..0xF7 and a second byte from 0x40..0x7E or 0xA1..0xFE, so
// that some second bytes look like ASCII and the boundary rule matters.
void add_gbk(Text& out, std::uint32_t& seed) {
    seed = seed * 1103515245u + 12345u;
    const auto lead = static_cast<char>(0xB0 + (seed >> 16) % 0x48);
    const std::uint32_t r = (seed >> 8) % 0x9D;
    const auto second = static_cast<char>(r < 0x3F ? 0x40 + r : 0xA1 + (r - 0x3F));
    out += lead;
    out += second;
}

// An HTML-like page of `size` bytes, mostly markup with runs of two-byte text, whose cover
// image sits near the end.
Text make_page(std::int64_t size) {
    Text page;
    page.reserve(static_cast<std::size_t>(size) + 256);
    std::uint32_t seed = 1;
    std::int64_t n = 0;
    while (static_cast<std::int64_t>(page.size()) < size - 512) {
        page += "<div class=\"item\"><a href=\"/video/";
        page += std::to_string(100000 + n++);
        page += "\" title=\"";
        for (int i = 0; i < 12; ++i) add_gbk(page, seed);
        page += "\"><img src=\"/thumb/x.jpg\"/> ";
        for (int i = 0; i < 20; ++i) add_gbk(page, seed);
        page += "</a></div>\r\n";
    }
    page +=
        "<img src=\"http://covers.example/video/cover.jpg\" style=\"display:none;\" "
        "class=\"cover_image\"/>\r\n</body></html>\r\n";
    return page;
}

const Text& page_of(std::int64_t size) {
    static std::map<std::int64_t, Text> pages;
    auto it = pages.find(size);
    if (it == pages.end()) it = pages.emplace(size, make_page(size)).first;
    return it->second;
}

// "k1=v1; k2=v2; ..." with every item repeated a few times, as a long cookie text would be.
Text make_cookie_text(std::int64_t size) {
    Text out;
    out.reserve(static_cast<std::size_t>(size) + 64);
    for (std::int64_t i = 0; static_cast<std::int64_t>(out.size()) < size; ++i) {
        if (i) out += "; ";
        const std::int64_t k = i % 3 == 0 ? i : i / 3;  // about a third are repeats
        out += "name" + std::to_string(k) + "=value" + std::to_string(k * 7);
    }
    return out;
}

void set_bytes(benchmark::State& state, std::size_t bytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bytes));
}

void BM_FindText(benchmark::State& state) {
    const Text& page = page_of(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(find_text(page, kLeft));
    set_bytes(state, page.size());
}

void BM_FindTextIgnoreCase(benchmark::State& state) {
    const Text& page = page_of(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(find_text(page, kLeft, 1, true));
    set_bytes(state, page.size());
}

void BM_StringViewFind(benchmark::State& state) {
    const std::string_view page = page_of(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(page.find(kLeft));
    set_bytes(state, page.size());
}

void BM_TextBetween(benchmark::State& state) {
    const Text& page = page_of(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(text_between(page, kLeft, kRight));
    set_bytes(state, page.size());
}

// The same cut with two string_view::find calls: the floor for text_between.
void BM_StringViewBetween(benchmark::State& state) {
    const std::string_view page = page_of(state.range(0));
    for (auto _ : state) {
        const std::size_t a = page.find(kLeft) + kLeft.size();
        const std::size_t b = page.find(kRight, a);
        benchmark::DoNotOptimize(std::string(page.substr(a, b - a)));
    }
    set_bytes(state, page.size());
}

void BM_ReplaceText(benchmark::State& state) {
    const Text& page = page_of(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(replace_text(page, "div", "span", true));
    set_bytes(state, page.size());
}

void BM_ReplaceTextIgnoreCase(benchmark::State& state) {
    const Text& page = page_of(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(replace_text(page, "DIV", "span", false));
    set_bytes(state, page.size());
}

void BM_SplitText(benchmark::State& state) {
    const Text& page = page_of(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(split_text(page, "\r\n"));
    set_bytes(state, page.size());
}

void BM_RemoveSpaces(benchmark::State& state) {
    const Text& page = page_of(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(remove_spaces(page));
    set_bytes(state, page.size());
}

void BM_DedupeItems(benchmark::State& state) {
    const Text cookies = make_cookie_text(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(dedupe_items(cookies, "; "));
    set_bytes(state, cookies.size());
}

#define SIZES Arg(kMB)->Arg(10 * kMB)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_FindText)->SIZES;
BENCHMARK(BM_FindTextIgnoreCase)->SIZES;
BENCHMARK(BM_StringViewFind)->SIZES;
BENCHMARK(BM_TextBetween)->SIZES;
BENCHMARK(BM_StringViewBetween)->SIZES;
BENCHMARK(BM_ReplaceText)->SIZES;
BENCHMARK(BM_ReplaceTextIgnoreCase)->SIZES;
BENCHMARK(BM_SplitText)->SIZES;
BENCHMARK(BM_RemoveSpaces)->SIZES;
BENCHMARK(BM_DedupeItems)->SIZES;

}  // namespace
}  // namespace vidmora
