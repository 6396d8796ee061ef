// The library loader over the dynamic linker.
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/loader.h"

namespace vidmora {
namespace {

// Test seam: counted so that a test can see whether an operation reached the loader.
std::atomic<std::int64_t> g_loads{0};
std::atomic<std::int64_t> g_lookups{0};
std::atomic<std::int64_t> g_releases{0};

}  // namespace

LibraryHandle load_library(const Text& path_or_name) {
    ++g_loads;
    // dlopen(nullptr) would hand out the program itself, which is no library of that name.
    if (path_or_name.empty()) return nullptr;
    // RTLD_LOCAL: each library keeps its symbols to itself, as a DLL does.
    return dlopen(path_or_name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* find_entry_point(LibraryHandle library, const Text& name) {
    ++g_lookups;
    // A null handle would mean "search everything" to dlsym.
    if (library == nullptr || name.empty()) return nullptr;
    return dlsym(library, name.c_str());
}

void release_library(LibraryHandle library) {
    ++g_releases;
    if (library != nullptr) dlclose(library);
}

Text executable_directory() {
    std::vector<char> path(256);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < path.size()) {
            path.resize(static_cast<std::size_t>(n));
            break;
        }
        // Possibly cut short: try again with more room.
        path.resize(path.size() * 2);
    }
    const Text full(path.begin(), path.end());
    const std::size_t slash = full.rfind('/');
    if (slash == Text::npos) return {};
    if (slash == 0) return "/";
    return full.substr(0, slash);
}

LoaderCalls loader_calls() {
    return LoaderCalls{g_loads.load(), g_lookups.load(), g_releases.load()};
}

}  // namespace vidmora
