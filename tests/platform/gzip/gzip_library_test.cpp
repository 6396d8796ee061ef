// gzip.so called directly: the contract the passes of gzip_decompress rely on.
#include "platform/gzip/gzip_library.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "tests/platform/gzip/zlib_reference.h"

namespace vidmora {
namespace {

using testing::ByteVector;

constexpr std::int32_t kSentinel = 0x5A5A5A5A;

// A window of `size` bytes with an inaccessible page right before and right after the memory it
// sits in, placed against one of the two, so that a read or write past that edge faults.
class GuardedWindow {
  public:
    enum class Edge { kEnd, kStart };

    GuardedWindow(std::size_t size, Edge edge) : size_(size) {
        page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        const std::size_t body = (size + page_ - 1) / page_ * page_ + page_;
        mapped_ = 2 * page_ + body;
        base_ = static_cast<std::uint8_t*>(
            mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        mprotect(base_, page_, PROT_NONE);
        mprotect(base_ + page_ + body, page_, PROT_NONE);
        data_ = edge == Edge::kStart ? base_ + page_ : base_ + page_ + body - size;
    }
    ~GuardedWindow() { munmap(base_, mapped_); }
    GuardedWindow(const GuardedWindow&) = delete;
    GuardedWindow& operator=(const GuardedWindow&) = delete;

    std::uint8_t* data() { return size_ == 0 ? nullptr : data_; }

  private:
    std::size_t size_;
    std::size_t page_ = 0;
    std::size_t mapped_ = 0;
    std::uint8_t* base_ = nullptr;
    std::uint8_t* data_ = nullptr;
};

struct Counts {
    std::int32_t status;
    std::int32_t used;
    std::int32_t written;
};

Counts call_decompress(void* context, const std::uint8_t* input, std::int32_t length,
                       std::uint8_t* output, std::int32_t output_size) {
    Counts c{0, kSentinel, kSentinel};
    c.status = Decompress(context, input, length, output, output_size, &c.used, &c.written);
    return c;
}

struct Drive {
    ByteVector output;
    int passes = 0;
    bool windows_overlapped = false;  // a pass filled the output before using its whole input
};

// The passes of gzip_decompress with any window sizes, every window a fresh guarded copy that
// is unmapped after its call, checking after every call what the passes rely on.
Drive drive(const ByteVector& input, std::int32_t input_window, std::int32_t output_window,
            GuardedWindow::Edge edge) {
    Drive result;
    InitDecompression();
    void* context = nullptr;
    CreateDecompression(&context, gzip::kModeGzip);
    EXPECT_NE(context, nullptr);
    GuardedWindow out(static_cast<std::size_t>(output_window), edge);
    std::size_t consumed = 0;
    for (Counts c{0, 0, 0}; c.status == 0;) {
        const auto length =
            static_cast<std::int32_t>(std::min<std::size_t>(input_window, input.size() - consumed));
        GuardedWindow in(static_cast<std::size_t>(length), edge);
        if (length > 0) std::memcpy(in.data(), input.data() + consumed, length);
        c = call_decompress(context, in.data(), length, out.data(), output_window);
        ++result.passes;

        EXPECT_NE(c.used, kSentinel);
        EXPECT_NE(c.written, kSentinel);
        EXPECT_GE(c.used, 0);
        EXPECT_LE(c.used, length);
        EXPECT_GE(c.written, 0);
        EXPECT_LE(c.written, output_window);
        if (c.status == 0) {
            EXPECT_TRUE(c.written > 0 || c.used == 0) << "pass " << result.passes;
        }
        if (c.written == 0 && c.status == 0) {
            // The same window would be offered again, for ever.
            ADD_FAILURE() << "no output but asks for another call, pass " << result.passes;
            break;
        }
        if (c.written == output_window && c.used < length) result.windows_overlapped = true;
        if (c.written > 0) {
            result.output.insert(result.output.end(), out.data(), out.data() + c.written);
            consumed += static_cast<std::size_t>(c.used);
        }
    }
    EXPECT_EQ(DestroyDecompression(context), 0);
    return result;
}

struct StreamCase {
    const char* name;
    ByteVector compressed;
};

std::vector<StreamCase> stream_cases() {
    const ByteVector page = testing::html_like_page(300'000, 7);
    const ByteVector full = testing::gzip_with_zlib(page);
    ByteVector truncated(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(full.size() / 2));
    ByteVector damaged = full;
    for (std::size_t i = damaged.size() / 3; i < damaged.size() / 3 + 64; ++i) damaged[i] ^= 0x55;
    ByteVector two_members = testing::gzip_with_zlib(testing::bytes_of("first member\n"));
    const ByteVector second = testing::gzip_with_zlib(page);
    two_members.insert(two_members.end(), second.begin(), second.end());
    return {
        {"page", full},
        {"truncated", truncated},
        {"damaged", damaged},
        {"two_members", two_members},
        {"far_larger_than_input", testing::gzip_with_zlib(ByteVector(3'000'000, 'x'))},
        {"incompressible", testing::gzip_with_zlib(testing::random_bytes(40'000, 3))},
        {"not_gzip", testing::bytes_of("<html><body>plain page</body></html>")},
        {"empty", {}},
    };
}

TEST(GzipLibrary, WindowsOfEverySizeGiveZlibsDecodingWithinTheirBounds) {
    struct Sizes {
        std::int32_t input;
        std::int32_t output;
    };
    const Sizes sizes[] = {{8192, 8192}, {8192, 1}, {8192, 100}, {8192, 1 << 20}, {1 << 24, 8192}};
    for (const StreamCase& stream : stream_cases()) {
        const ByteVector expected = testing::gunzip_with_zlib(stream.compressed);
        for (const Sizes& size : sizes) {
            // One byte at a time is slow; the small output window on a small stream says enough.
            if (size.output < 100 && expected.size() > 100'000) continue;
            for (auto edge : {GuardedWindow::Edge::kEnd, GuardedWindow::Edge::kStart}) {
                SCOPED_TRACE(std::string(stream.name) + " in " + std::to_string(size.input) +
                             " out " + std::to_string(size.output) +
                             (edge == GuardedWindow::Edge::kEnd ? " at end" : " at start"));
                const Drive d = drive(stream.compressed, size.input, size.output, edge);
                EXPECT_EQ(d.output, expected);
            }
        }
    }
}

TEST(GzipLibrary, OutputWindowFillingFirstMakesTheInputWindowsOverlap) {
    // More than 8192 compressed bytes, each decoding to far more than the library decodes ahead.
    ByteVector plain;
    testing::Noise noise(11);
    while (plain.size() < 20'000'000) {
        const std::size_t run = 1 + noise.below(2000);
        plain.insert(plain.end(), run, static_cast<std::uint8_t>('a' + noise.below(3)));
    }
    plain.insert(plain.end(), 1 + noise.below(2000), 'a' + noise.below(3));
    const ByteVector compressed = testing::gzip_with_zlib(plain);
    ASSERT_GT(compressed.size(), 8192u);
    const Drive d = drive(compressed, 8192, 8192, GuardedWindow::Edge::kEnd);
    EXPECT_TRUE(d.windows_overlapped);
    EXPECT_EQ(d.output, plain);
}

TEST(GzipLibrary, CallsThatCannotProgressReturnNonzeroAndStoreBothCounts) {
    std::uint8_t out[64];
    const ByteVector page = testing::gzip_with_zlib(testing::bytes_of("hello"));
    struct Case {
        const char* name;
        bool with_context;
        const std::uint8_t* input;
        std::int32_t length;
        std::uint8_t* output;
        std::int32_t output_size;
    };
    const Case cases[] = {
        {"no context", false, page.data(), static_cast<std::int32_t>(page.size()), out, 64},
        {"no input, nothing pending", true, nullptr, 0, out, 64},
        {"null input with a length", true, nullptr, 5, out, 64},
        {"negative length", true, page.data(), -1, out, 64},
        {"no output window", true, page.data(), static_cast<std::int32_t>(page.size()), nullptr,
         64},
        {"empty output window", true, page.data(), static_cast<std::int32_t>(page.size()), out, 0},
        {"only the first header bytes", true, page.data(), 4, out, 64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        void* context = nullptr;
        if (c.with_context) CreateDecompression(&context, gzip::kModeGzip);
        const Counts counts = call_decompress(context, c.input, c.length, c.output, c.output_size);
        EXPECT_NE(counts.status, 0);
        EXPECT_EQ(counts.written, 0);
        EXPECT_NE(counts.used, kSentinel);
        if (context != nullptr) DestroyDecompression(context);
    }
}

TEST(GzipLibrary, EndOfStreamStaysEndAndAnUnknownModeMakesNoContext) {
    void* context = nullptr;
    CreateDecompression(&context, gzip::kModeGzip);
    const ByteVector page = testing::gzip_with_zlib(testing::bytes_of("hello"));
    std::uint8_t out[64];
    Counts c =
        call_decompress(context, page.data(), static_cast<std::int32_t>(page.size()), out, 64);
    EXPECT_EQ(c.status, 0);
    EXPECT_EQ(c.used, static_cast<std::int32_t>(page.size()));
    EXPECT_EQ(std::string(out, out + c.written), "hello");
    for (int i = 0; i < 2; ++i) {
        c = call_decompress(context, nullptr, 0, out, 64);
        EXPECT_NE(c.status, 0);
        EXPECT_EQ(c.written, 0);
        EXPECT_EQ(c.used, 0);
    }
    DestroyDecompression(context);

    void* other = &context;
    EXPECT_NE(CreateDecompression(&other, 1), 0);
    EXPECT_EQ(other, nullptr);
    EXPECT_NE(CreateDecompression(nullptr, gzip::kModeGzip), 0);
    EXPECT_NE(DestroyDecompression(nullptr), 0);
}

}  // namespace
}  // namespace vidmora
