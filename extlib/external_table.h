// The table of functions that live in libraries outside the executable, bound by name at
// their first call, never at start-up.
#pragma once

#include <cstdint>

#include "platform/loader.h"
#include "text/text.h"

// The calling convention of the platform's libraries: the callee pops its arguments on
// 32-bit Windows; elsewhere it is the ordinary C convention.
#if defined(_WIN32) && !defined(_WIN64)
#define VIDMORA_WINAPI __stdcall
#else
#define VIDMORA_WINAPI
#endif

namespace vidmora {

struct ExternalFunction {
    Text library;       // file name, looked up beside the executable first
    Text entry_point;   // exported name
    void* address = nullptr;        // null until the entry's first call
    LibraryHandle handle = nullptr; // the library as loaded for this entry
};

// The entries by index. Entries 4 and 5 name the same entry point and are bound separately.
enum ExternalIndex : std::int32_t {
    kInternetOpenA = 0,
    kInternetCloseHandle = 1,
    kInternetConnectA = 2,
    kHttpOpenRequestA = 3,
    kHttpSendRequestA = 4,      // GET
    kHttpSendRequestABody = 5,  // POST and HEAD
    kInternetReadFile = 6,
    kHttpQueryInfoA = 7,
    kInitDecompression = 8,
    kCreateDecompression = 9,
    kDecompress = 10,
    kDestroyDecompression = 11,
    kExternalCount = 12,
};

// The address of the entry's entry point, binding the entry first if needed. A library that
// cannot be loaded, or lacks the entry point, is fatal here.
void* bind_external(std::int32_t index);

// bind_external, typed: external<decltype(&InternetOpenA)>(kInternetOpenA).
template <typename Function>
Function external(std::int32_t index) {
    return reinterpret_cast<Function>(bind_external(index));
}

}  // namespace vidmora
