#include "platform/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace vidmora {
namespace {

namespace fs = std::filesystem;

// An opener that waits until the test releases it, then records its arguments NUL-separated.
// Holding it back shows that shell_open returns while the opener is still running.
class ShellOpenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/vidmora-shell-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        opener_ = dir_ / "opener";
        std::ofstream script(opener_);
        script << "#!/bin/sh\n"
               << "while [ ! -e '" << (dir_ / "release").string() << "' ]; do sleep 0.02; done\n"
               << "printf '%s\\0' \"$@\" > '" << (dir_ / "args.tmp").string() << "'\n"
               << "mv '" << (dir_ / "args.tmp").string() << "' '" << (dir_ / "args").string()
               << "'\n";
        script.close();
        fs::permissions(opener_, fs::perms::owner_all);
        set_shell_program(opener_.string());
    }
    void TearDown() override {
        set_shell_program("");
        fs::remove_all(dir_);
    }

    void release() { std::ofstream(dir_ / "release") << "go"; }

    // The arguments the opener received; gives up after a generous wait.
    std::vector<std::string> recorded_arguments() {
        for (int i = 0; i < 1000 && !fs::exists(dir_ / "args"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(dir_ / "args", std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        std::vector<std::string> args;
        std::string item;
        while (std::getline(all, item, '\0')) args.push_back(item);
        return args;
    }

    fs::path dir_;
    fs::path opener_;
};

struct ArgumentCase {
    const char* name;
    std::string target;
    std::string expected;
};

TEST_F(ShellOpenTest, HandsTheTextOverAsOneArgumentWithoutAShell) {
    const ArgumentCase cases[] = {
        {"bare scheme", "http://", "http://"},
        {"address", "http://i0.example.com/cover/a.jpg", "http://i0.example.com/cover/a.jpg"},
        {"shell metacharacters", "a b;echo x|y `z` $(w) 'q\" *", "a b;echo x|y `z` $(w) 'q\" *"},
        {"line break", "http://a/\r\nb", "http://a/\r\nb"},
        {"GBK becomes UTF-8", "\xC4\xE3\xBA\xC3.jpg", "你好.jpg"},
        {"not GBK stays as it is", "x\xFF\x80y", "x\xFF\x80y"},
    };
    release();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(dir_ / "args");
        ASSERT_TRUE(shell_open(nullptr, c.target));
        auto args = recorded_arguments();
        ASSERT_EQ(args.size(), 1u);
        EXPECT_EQ(args[0], c.expected);
    }
}

TEST_F(ShellOpenTest, ReturnsWhileTheOpenerRunsAndLeavesNoChildBehind) {
    ASSERT_TRUE(shell_open(nullptr, "http://held"));
    // The opener is still waiting for the release, yet shell_open has returned, and the
    // opener is not a child of ours to be reaped.
    EXPECT_FALSE(fs::exists(dir_ / "args"));
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    release();
    auto args = recorded_arguments();
    ASSERT_EQ(args.size(), 1u);
    EXPECT_EQ(args[0], "http://held");
}

TEST(ShellOpen, MissingOpenerIsReportedAsNotStarted) {
    set_shell_program("/nonexistent/opener");
    EXPECT_FALSE(shell_open(nullptr, "http://x"));
    set_shell_program("vidmora-no-such-opener-anywhere");
    EXPECT_FALSE(shell_open(nullptr, "http://x"));
    set_shell_program("");
}

}  // namespace
}  // namespace vidmora
