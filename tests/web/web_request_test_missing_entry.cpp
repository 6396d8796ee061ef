// A wininet.so without one of the entry points web_request calls: fatal at its first call.
#include <gtest/gtest.h>

#include "web/web_request.h"

namespace vidmora {
namespace {

TEST(WebRequestMissingEntry, IsFatalAtItsFirstCallNamingLibraryAndEntry) {
    // The double beside this program lacks HttpQueryInfoA; every call before it goes through.
    EXPECT_EXIT(web_request("http://h.example/"), ::testing::ExitedWithCode(255),
                "wininet\\.so.*HttpQueryInfoA");
}

}  // namespace
}  // namespace vidmora
