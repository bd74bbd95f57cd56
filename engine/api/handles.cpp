#include "api/handles.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace engine {
namespace {

struct Table {
    std::mutex lock;
    std::unordered_map<uintptr_t, HandleTarget> entries;
    // Never dereferenced. On 64-bit they lie where no user-mode pointer can, so a
    // caller's stray pointer is never mistaken for one of them.
    uintptr_t next = sizeof(uintptr_t) == 8 ? static_cast<uintptr_t>(0xFE00000000010000ull) : 0x51000;
};

Table& Handles() {
    static Table* table = new Table;  // lives to the end of the process, past any static destructor
    return *table;
}

}  // namespace

void* AddHandle(HandleTarget target) {
    Table& t = Handles();
    std::lock_guard<std::mutex> hold(t.lock);
    uintptr_t value = t.next;
    t.next += 0x10;
    t.entries.emplace(value, std::move(target));
    return reinterpret_cast<void*>(value);
}

bool FindHandle(const void* handle, HandleKind kind, HandleTarget* target) {
    if (!handle) return false;
    Table& t = Handles();
    std::lock_guard<std::mutex> hold(t.lock);
    auto it = t.entries.find(reinterpret_cast<uintptr_t>(handle));
    if (it == t.entries.end() || it->second.kind != kind) return false;
    *target = it->second;
    return true;
}

void RemoveHandle(const void* handle) {
    HandleTarget dropped;  // destroyed after unlocking: it may hold the last reference
    Table& t = Handles();
    std::lock_guard<std::mutex> hold(t.lock);
    auto it = t.entries.find(reinterpret_cast<uintptr_t>(handle));
    if (it == t.entries.end()) return;
    dropped = std::move(it->second);
    t.entries.erase(it);
}

void* AddChannelHandle(const std::shared_ptr<System>& system, ChannelId channel) {
    Table& t = Handles();
    {
        std::lock_guard<std::mutex> hold(t.lock);
        for (auto it = t.entries.begin(); it != t.entries.end();) {
            const HandleTarget& e = it->second;
            if (e.kind == HandleKind::Channel && e.system == system && e.channel.slot == channel.slot)
                it = t.entries.erase(it);
            else
                ++it;
        }
    }
    HandleTarget target;
    target.kind = HandleKind::Channel;
    target.system = system;
    target.channel = channel;
    return AddHandle(std::move(target));
}

void RemoveHandlesOf(const System* system) {
    std::vector<HandleTarget> dropped;
    Table& t = Handles();
    std::lock_guard<std::mutex> hold(t.lock);
    for (auto it = t.entries.begin(); it != t.entries.end();) {
        if (it->second.system.get() == system) {
            dropped.push_back(std::move(it->second));
            it = t.entries.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace engine
