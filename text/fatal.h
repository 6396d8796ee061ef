// The one way the program gives up: a message for the user, then exit code -1.
#pragma once

#include <cstdint>
#include <string_view>

namespace vidmora {

// Shows `message` (UTF-8) in the fatal error box and ends the process at once with exit
// code -1. Until a reporter is installed the message goes to standard error.
[[noreturn]] void fatal_error(std::string_view message);

// "分配 %d 字节内存失败!" with the number of bytes that could not be allocated.
[[noreturn]] void fatal_out_of_memory(std::int64_t bytes);

// The window installs the function that shows the box; a test can install one that answers
// it. The reporter only reports: fatal_error ends the process after it returns.
using FatalReporter = void (*)(std::string_view message);
void set_fatal_reporter(FatalReporter reporter);

}  // namespace vidmora
