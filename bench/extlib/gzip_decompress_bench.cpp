// gzip_decompress against the floor: zlib inflating the whole body into one pre-sized buffer in
// one call. Both run in the same iteration, one after the other, so that the ratio holds up when
// the machine is busy with other work.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "extlib/gzip_decompress.h"
#include "tests/platform/gzip/zlib_reference.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Page {
    vidmora::Bytes compressed;
    std::size_t plain_size = 0;
};

const Page& page_of(std::size_t size) {
    static std::vector<std::pair<std::size_t, std::unique_ptr<Page>>> made;
    for (const auto& [s, page] : made) {
        if (s == size) return *page;
    }
    const auto plain = vidmora::testing::html_like_page(size, 2024);
    const auto compressed = vidmora::testing::gzip_with_zlib(plain);
    auto page = std::make_unique<Page>();
    page->compressed.assign(compressed.begin(), compressed.end());
    page->plain_size = plain.size();
    made.emplace_back(size, std::move(page));
    return *made.back().second;
}

// The floor: every byte decoded in one inflate call, straight into its final place.
std::size_t inflate_in_one_call(const vidmora::Bytes& compressed, std::uint8_t* out,
                                std::size_t out_size) {
    z_stream stream{};
    inflateInit2(&stream, 16 + MAX_WBITS);
    stream.next_in = const_cast<Bytef*>(compressed.data());
    stream.avail_in = static_cast<uInt>(compressed.size());
    stream.next_out = out;
    stream.avail_out = static_cast<uInt>(out_size);
    inflate(&stream, Z_FINISH);
    const std::size_t n = stream.total_out;
    inflateEnd(&stream);
    return n;
}

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_GzipDecompressVersusZlib(benchmark::State& state) {
    const Page& page = page_of(static_cast<std::size_t>(state.range(0)));
    std::vector<double> ratios;
    std::vector<double> ratios_warm;
    double ours_total = 0;
    double zlib_total = 0;
    double warm_total = 0;
    // The strictest floor: a buffer made and touched once, so inflate never waits for memory.
    std::vector<std::uint8_t> warm(page.plain_size, 1);
    // Warm both paths (and bind gzip.so) before timing.
    if (vidmora::gzip_decompress(page.compressed).size() != page.plain_size) {
        state.SkipWithError("gzip_decompress did not decode the page");
        return;
    }
    for (auto _ : state) {
        const auto ours_start = Clock::now();
        vidmora::Bytes result = vidmora::gzip_decompress(page.compressed);
        benchmark::DoNotOptimize(result.data());
        const double ours = seconds_since(ours_start);

        const auto zlib_start = Clock::now();
        // Uninitialised, like the result of gzip_decompress before its bytes arrive.
        std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[page.plain_size]);
        const std::size_t n = inflate_in_one_call(page.compressed, out.get(), page.plain_size);
        benchmark::DoNotOptimize(out.get());
        const double zlib = seconds_since(zlib_start);

        const auto warm_start = Clock::now();
        inflate_in_one_call(page.compressed, warm.data(), warm.size());
        benchmark::DoNotOptimize(warm.data());
        const double warm_zlib = seconds_since(warm_start);

        if (n != page.plain_size) state.SkipWithError("zlib did not decode the page");
        state.SetIterationTime(ours);
        ours_total += ours;
        zlib_total += zlib;
        warm_total += warm_zlib;
        ratios.push_back(ours / zlib);
        ratios_warm.push_back(ours / warm_zlib);
    }
    const double iterations = static_cast<double>(state.iterations());
    const double megabytes = static_cast<double>(page.plain_size) / (1024.0 * 1024.0);
    const auto median = [](std::vector<double>& values) {
        const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
        std::nth_element(values.begin(), middle, values.end());
        return *middle;
    };
    state.counters["ours_ms"] = 1e3 * ours_total / iterations;
    state.counters["zlib_ms"] = 1e3 * zlib_total / iterations;
    state.counters["ours_ms_per_MB"] = 1e3 * ours_total / iterations / megabytes;
    state.counters["zlib_ms_per_MB"] = 1e3 * zlib_total / iterations / megabytes;
    state.counters["zlib_warm_ms"] = 1e3 * warm_total / iterations;
    state.counters["ratio"] = median(ratios);
    state.counters["ratio_to_warm"] = median(ratios_warm);
    state.counters["compression"] =
        static_cast<double>(page.plain_size) / static_cast<double>(page.compressed.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(page.plain_size));
}

BENCHMARK(BM_GzipDecompressVersusZlib)
    ->Arg(1 << 20)
    ->Arg(20 << 20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
