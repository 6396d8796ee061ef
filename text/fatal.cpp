#include "text/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vidmora {
namespace {

void report_to_stderr(std::string_view message) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
}

FatalReporter g_reporter = report_to_stderr;

}  // namespace

void set_fatal_reporter(FatalReporter reporter) {
    g_reporter = reporter ? reporter : report_to_stderr;
}

void fatal_error(std::string_view message) {
    g_reporter(message);
    std::fflush(nullptr);
    // At once: no destructors run that could touch the state that has just failed.
    std::_Exit(-1);
}

void fatal_out_of_memory(std::int64_t bytes) {
    fatal_error("分配 " + std::to_string(bytes) + " 字节内存失败!");
}

}  // namespace vidmora
