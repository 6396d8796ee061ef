// gzip_decompress through the real gzip.so, bound through the external function table.
#include "extlib/gzip_decompress.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <string>

#include "extlib/external_table_testing.h"
#include "tests/platform/gzip/zlib_reference.h"

namespace vidmora {
namespace {

using testing::ByteVector;

struct Case {
    const char* name;
    ByteVector input;
};

ByteVector cut(const ByteVector& bytes, std::size_t n) {
    return ByteVector(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
}

std::vector<Case> cases() {
    const ByteVector page = testing::gzip_with_zlib(testing::html_like_page(200'000, 5));
    ByteVector damaged = page;
    for (std::size_t i = page.size() / 2; i < page.size() / 2 + 32; ++i) damaged[i] = 0xFF;
    ByteVector with_trailing_garbage = page;
    with_trailing_garbage.insert(with_trailing_garbage.end(), 100, 0);
    ByteVector runs;  // decodes to far more than it is, across many input windows
    testing::Noise noise(3);
    while (runs.size() < 12'000'000) {
        const std::size_t run = 1 + noise.below(3000);
        runs.insert(runs.end(), run, static_cast<std::uint8_t>('0' + noise.below(4)));
    }
    return {
        {"empty", {}},
        {"not gzip", testing::bytes_of("<html><head></head><body>no encoding</body></html>")},
        {"bare header", cut(page, 10)},
        {"small page", testing::gzip_with_zlib(testing::bytes_of("<img src=\"http://i0/a.jpg\">"))},
        {"exact multiple of 8192", testing::gzip_with_zlib(testing::html_like_page(5 * 8192, 9))},
        {"incompressible, many input windows",
         testing::gzip_with_zlib(testing::random_bytes(100'000, 4))},
        {"page", page},
        {"far larger than the input", testing::gzip_with_zlib(runs)},
        {"truncated", cut(page, page.size() * 2 / 3)},
        {"truncated inside the header", cut(page, 5)},
        {"damaged", damaged},
        {"trailing garbage", with_trailing_garbage},
    };
}

TEST(GzipDecompress, GivesZlibsOwnDecoding) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        const Bytes input(c.input.begin(), c.input.end());
        const Bytes result = gzip_decompress(input);
        const ByteVector expected = testing::gunzip_with_zlib(c.input);
        EXPECT_EQ(result.size(), expected.size());
        EXPECT_TRUE(result == Bytes(expected.begin(), expected.end()));
        EXPECT_TRUE(input == Bytes(c.input.begin(), c.input.end())) << "input changed";
    }
}

TEST(GzipDecompress, EdgeResultsHaveTheirExactSizes) {
    const ByteVector exact = testing::html_like_page(5 * 8192, 9);
    const ByteVector page = testing::html_like_page(200'000, 5);
    const ByteVector compressed = testing::gzip_with_zlib(page);
    const ByteVector truncated = cut(compressed, compressed.size() * 2 / 3);

    EXPECT_TRUE(gzip_decompress({}).empty());
    EXPECT_TRUE(gzip_decompress(Bytes{'<', 'h', 't', 'm', 'l', '>'}).empty());
    const ByteVector exact_gz = testing::gzip_with_zlib(exact);
    EXPECT_EQ(gzip_decompress(Bytes(exact_gz.begin(), exact_gz.end())).size(), exact.size());
    // What was decoded before the cut comes back: a prefix of the page, most of it.
    const Bytes partial = gzip_decompress(Bytes(truncated.begin(), truncated.end()));
    ASSERT_GT(partial.size(), page.size() / 2);
    EXPECT_TRUE(std::equal(partial.begin(), partial.end(), page.begin()));
}

// A megabyte that decodes to a gibibyte comes back whole, byte for byte: a page is whatever
// its stream says. The run prints the time and the process's peak resident memory.
TEST(GzipDecompress, BombOfAMegabyteGivesItsWholeGibibyte) {
    constexpr std::size_t kGibibyte = std::size_t{1} << 30;
    const std::string head = "<html><body>";
    const ByteVector bomb = testing::gzip_bomb(head, ' ', kGibibyte);
    const Bytes input(bomb.begin(), bomb.end());

    const auto start = std::chrono::steady_clock::now();
    const Bytes result = gzip_decompress(input);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::cout << "[ measured ] " << input.size() << " bytes decoded to " << result.size() << " in "
              << took.count() << " ms; peak resident " << usage.ru_maxrss / 1024 << " MiB\n";

    ASSERT_EQ(result.size(), kGibibyte);
    EXPECT_TRUE(std::equal(head.begin(), head.end(), result.begin()));
    EXPECT_TRUE(std::all_of(result.begin() + head.size(), result.end(),
                            [](std::uint8_t b) { return b == ' '; }));
}

// One byte more than a Bytes can hold: refused whole rather than cut or overflowing the
// 32-bit lengths further on.
TEST(GzipDecompress, BombBeyondTheLengthLimitGivesNothing) {
    const ByteVector bomb = testing::gzip_bomb("<html>", ' ', kMaxLength + 1);
    EXPECT_TRUE(gzip_decompress(Bytes(bomb.begin(), bomb.end())).empty());
}

TEST(ExternalTable, EachGzipEntryBindsOnceAtItsFirstCallAndIsReleasedOnReset) {
    reset_external_table();
    for (std::int32_t i = 0; i < kExternalCount; ++i) {
        EXPECT_EQ(external_entry(i).address, nullptr);
        EXPECT_EQ(external_entry(i).handle, nullptr);
    }
    const ByteVector page = testing::gzip_with_zlib(testing::bytes_of("page"));
    const Bytes input(page.begin(), page.end());

    const LoaderCalls before = loader_calls();
    EXPECT_EQ(gzip_decompress(input), (Bytes{'p', 'a', 'g', 'e'}));
    const LoaderCalls first = loader_calls();
    // Each of the four entries loaded gzip.so for itself: none lies beside this test, so each
    // tried there first and then found it by name.
    EXPECT_EQ(first.loads - before.loads, 8);
    EXPECT_EQ(first.lookups - before.lookups, 4);
    for (std::int32_t i = kInitDecompression; i <= kDestroyDecompression; ++i) {
        EXPECT_NE(external_entry(i).address, nullptr) << i;
        EXPECT_NE(external_entry(i).handle, nullptr) << i;
    }
    EXPECT_EQ(external_entry(kInternetOpenA).address, nullptr) << "bound without a call";

    EXPECT_EQ(gzip_decompress(input), (Bytes{'p', 'a', 'g', 'e'}));
    const LoaderCalls second = loader_calls();
    EXPECT_EQ(second.loads, first.loads);
    EXPECT_EQ(second.lookups, first.lookups);
    EXPECT_EQ(second.releases, first.releases);

    reset_external_table();
    EXPECT_EQ(loader_calls().releases - second.releases, 4);
    EXPECT_EQ(external_entry(kDecompress).address, nullptr);
}

}  // namespace
}  // namespace vidmora
