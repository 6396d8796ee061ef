#include "platform/wininet/handles.h"

#include <mutex>
#include <unordered_map>

namespace vidmora::wininet {

namespace {

// Handles are keys of this table, so a stale or foreign handle is refused instead of being
// followed. The table outlives every caller: it is never destroyed.
struct HandleTable {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, HandleObject> objects;
    std::uintptr_t next = 0x1000;
};

HandleTable& table() {
    static auto* handles = new HandleTable;
    return *handles;
}

}  // namespace

HINTERNET add_handle(HandleObject object) {
    auto& handles = table();
    std::lock_guard lock(handles.mutex);
    std::uintptr_t key = handles.next;
    handles.next += 0x10;
    handles.objects.emplace(key, std::move(object));
    return reinterpret_cast<HINTERNET>(key);
}

template <typename T>
std::shared_ptr<T> find_handle(HINTERNET handle) {
    auto& handles = table();
    std::lock_guard lock(handles.mutex);
    auto found = handles.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == handles.objects.end()) return nullptr;
    if (auto* object = std::get_if<std::shared_ptr<T>>(&found->second)) return *object;
    return nullptr;
}

template std::shared_ptr<Session> find_handle<Session>(HINTERNET);
template std::shared_ptr<Connection> find_handle<Connection>(HINTERNET);
template std::shared_ptr<Request> find_handle<Request>(HINTERNET);

bool remove_handle(HINTERNET handle) {
    auto& handles = table();
    std::lock_guard lock(handles.mutex);
    return handles.objects.erase(reinterpret_cast<std::uintptr_t>(handle)) == 1;
}

}  // namespace vidmora::wininet
