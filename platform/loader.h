// Loading a shared library and looking up its entry points (dlopen on Linux).
#pragma once

#include <cstdint>

#include "text/text.h"

namespace vidmora {

using LibraryHandle = void*;

// Null when the library cannot be loaded.
LibraryHandle load_library(const Text& path_or_name);
// Null when the library has no such entry point.
void* find_entry_point(LibraryHandle library, const Text& name);
void release_library(LibraryHandle library);
// The directory that holds the running executable, without a trailing separator; empty when
// it cannot be found.
Text executable_directory();

// How often each loader function has been called since the process started, so that a test can
// tell whether an operation loaded or looked up anything.
struct LoaderCalls {
    std::int64_t loads = 0;
    std::int64_t lookups = 0;
    std::int64_t releases = 0;
};
LoaderCalls loader_calls();

}  // namespace vidmora
