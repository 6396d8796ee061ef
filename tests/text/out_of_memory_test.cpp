#include <gtest/gtest.h>
#include <sys/resource.h>

#include "text/text.h"

#if defined(__SANITIZE_ADDRESS__)
#define VIDMORA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VIDMORA_ASAN 1
#endif
#endif

namespace vidmora {
namespace {

#ifndef VIDMORA_ASAN
// Runs in the death test's child: caps its address space so that a 1 GB text cannot exist.
void build_a_text_that_cannot_fit() {
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 256u << 20;
    setrlimit(RLIMIT_AS, &limit);
    const Text t = blank_text(1 << 30);
    std::fprintf(stderr, "allocated %zu bytes\n", t.size());
}
#endif

TEST(OutOfMemoryDeathTest, FailedAllocationEndsTheProgramWithItsMessage) {
#ifdef VIDMORA_ASAN
    GTEST_SKIP() << "AddressSanitizer reserves address space and reports allocation failures "
                    "itself";
#else
    EXPECT_EXIT(build_a_text_that_cannot_fit(), testing::ExitedWithCode(255),
                "分配 1073741824 字节内存失败!");
#endif
}

}  // namespace
}  // namespace vidmora
