// Loading a shared library and looking up its entry points (dlopen on Linux).
#pragma once

#include "text/text.h"

namespace vidmora {

using LibraryHandle = void*;

// Null when the library cannot be loaded.
LibraryHandle load_library(const Text& path_or_name);
// Null when the library has no such entry point.
void* find_entry_point(LibraryHandle library, const Text& name);
void release_library(LibraryHandle library);
// The directory that holds the running executable, without a trailing separator.
Text executable_directory();

}  // namespace vidmora
