// The external function table: twelve entries bound by name at their first call.
#include "extlib/external_table.h"

#include <array>
#include <string>

#include "extlib/external_table_testing.h"
#include "text/fatal.h"

namespace vidmora {
namespace {

#if defined(_WIN32)
constexpr const char* kWininet = "wininet.dll";
constexpr const char* kGzip = "gzip.dll";
constexpr const char* kSeparator = "\\";
#else
constexpr const char* kWininet = "wininet.so";
constexpr const char* kGzip = "gzip.so";
constexpr const char* kSeparator = "/";
#endif

using Entries = std::array<ExternalFunction, kExternalCount>;

Entries unbound_entries() {
    return Entries{{
        {kWininet, "InternetOpenA"},
        {kWininet, "InternetCloseHandle"},
        {kWininet, "InternetConnectA"},
        {kWininet, "HttpOpenRequestA"},
        {kWininet, "HttpSendRequestA"},
        {kWininet, "HttpSendRequestA"},
        {kWininet, "InternetReadFile"},
        {kWininet, "HttpQueryInfoA"},
        {kGzip, "InitDecompression"},
        {kGzip, "CreateDecompression"},
        {kGzip, "Decompress"},
        {kGzip, "DestroyDecompression"},
    }};
}

void release_entries(Entries& entries) {
    for (ExternalFunction& entry : entries) {
        if (entry.handle != nullptr) release_library(entry.handle);
        entry.handle = nullptr;
        entry.address = nullptr;
    }
}

// The table lives from its first use to the end of the program; its destructor hands every
// library that an entry loaded back to the loader. A fatal error ends the process without it.
class ExternalTable {
  public:
    ExternalTable() : entries_(unbound_entries()) {}
    ~ExternalTable() { release_entries(entries_); }
    ExternalTable(const ExternalTable&) = delete;
    ExternalTable& operator=(const ExternalTable&) = delete;

    Entries& entries() { return entries_; }

  private:
    Entries entries_;
};

ExternalTable& table() {
    static ExternalTable instance;
    return instance;
}

LibraryHandle load_beside_executable_or_by_name(const Text& library) {
    const Text directory = executable_directory();
    if (!directory.empty()) {
        if (LibraryHandle handle = load_library(directory + kSeparator + library)) return handle;
    }
    return load_library(library);
}

// An index outside the table is a fault in the calling code; calling on would jump nowhere.
ExternalFunction& entry_at(std::int32_t index) {
    if (index < 0 || index >= kExternalCount) {
        fatal_error("外部函数序号 " + std::to_string(index) + " 无效");
    }
    return table().entries()[static_cast<std::size_t>(index)];
}

}  // namespace

void* bind_external(std::int32_t index) {
    ExternalFunction& entry = entry_at(index);
    if (entry.address != nullptr) return entry.address;

    // Each entry loads the library for itself, even when another entry already holds it.
    LibraryHandle handle = load_beside_executable_or_by_name(entry.library);
    void* address = handle != nullptr ? find_entry_point(handle, entry.entry_point) : nullptr;
    if (address == nullptr) {
        if (handle != nullptr) {
            release_library(handle);
            fatal_error("库文件 " + entry.library + " 中找不到函数 " + entry.entry_point +
                        "，程序无法继续运行。");
        }
        fatal_error("无法加载库文件 " + entry.library + "，找不到函数 " + entry.entry_point +
                    "，程序无法继续运行。");
    }
    entry.handle = handle;
    entry.address = address;
    return address;
}

const ExternalFunction& external_entry(std::int32_t index) {
    return entry_at(index);
}

void reset_external_table() {
    release_entries(table().entries());
}

}  // namespace vidmora
