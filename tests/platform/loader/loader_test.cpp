// The loader on its own: loading by path, looking up, refusing what is not there.
#include "platform/loader.h"

#include <gtest/gtest.h>

namespace vidmora {
namespace {

TEST(Loader, FindsExportedEntryPointsAndRefusesWhatIsNotThere) {
    const LoaderCalls before = loader_calls();
    EXPECT_EQ(load_library(""), nullptr) << "an empty name must not give the program itself";
    EXPECT_EQ(load_library("no-such-library.so"), nullptr);
    EXPECT_EQ(find_entry_point(nullptr, "Decompress"), nullptr)
        << "a null handle must not search every loaded library";

    LibraryHandle gzip = load_library(GZIP_LIBRARY_PATH);
    ASSERT_NE(gzip, nullptr);
    EXPECT_NE(find_entry_point(gzip, "Decompress"), nullptr);
    EXPECT_EQ(find_entry_point(gzip, "NoSuchEntryPoint"), nullptr);
    EXPECT_EQ(find_entry_point(gzip, ""), nullptr);
    release_library(gzip);
    release_library(nullptr);

    const LoaderCalls after = loader_calls();
    EXPECT_EQ(after.loads - before.loads, 3);
    EXPECT_EQ(after.lookups - before.lookups, 4);
    EXPECT_EQ(after.releases - before.releases, 2);
}

TEST(Loader, ExecutableDirectoryIsTheFolderOfThisProgram) {
    EXPECT_EQ(executable_directory(), TEST_PROGRAM_DIR);
}

}  // namespace
}  // namespace vidmora
