#include "platform/sound/fmod_sdl_channel_handles.h"

#include <mutex>

namespace FMOD {
namespace {

constexpr uint32_t kHandleCount = 1u << 16;  // index 0 is the never-valid handle
constexpr int kMaxLiveSystems = 64;

// Zero means unused throughout: system ids and serials start at 1.
struct Entry {
    uint32_t systemId;
    int slot;
    uint64_t serial;
};

struct LiveSystem {
    uint32_t id;
    System::Impl* system;
};

// Static and zero-initialised, so the table costs no memory until it is used and
// is there for every call, also during process exit.
struct Table {
    std::mutex lock;
    Entry entries[kHandleCount];
    LiveSystem systems[kMaxLiveSystems];
    uint32_t nextSystemId;
    uint64_t lastSerial;
};
Table table;

System::Impl* liveSystem(uint32_t id) {
    if (id == 0) return nullptr;
    for (const LiveSystem& live : table.systems)
        if (live.id == id) return live.system;
    return nullptr;
}

}  // namespace

Channel* ChannelHandles::object(uint32_t index) {
    static Channel objects[kHandleCount];  // never written: only their addresses matter
    return &objects[index];
}

Channel* ChannelHandles::invalid() { return object(0); }

uint32_t ChannelHandles::registerSystem(System::Impl* system) {
    std::lock_guard<std::mutex> guard(table.lock);
    for (LiveSystem& live : table.systems) {
        if (live.id == 0) {
            live.id = ++table.nextSystemId;
            live.system = system;
            return live.id;
        }
    }
    return 0;
}

void ChannelHandles::unregisterSystem(uint32_t systemId) {
    std::lock_guard<std::mutex> guard(table.lock);
    for (LiveSystem& live : table.systems)
        if (live.id == systemId && systemId != 0) live = LiveSystem{};
}

Channel* ChannelHandles::issue(uint32_t systemId, int slot, uint64_t* serial) {
    std::lock_guard<std::mutex> guard(table.lock);
    uint64_t number = ++table.lastSerial;
    uint32_t index = 1 + static_cast<uint32_t>((number - 1) % (kHandleCount - 1));
    table.entries[index] = Entry{systemId, slot, number};
    *serial = number;
    return object(index);
}

FMOD_RESULT ChannelHandles::with(const Channel* channel, const Action& action) {
    // Compare addresses as integers: a pointer from elsewhere is simply not ours.
    auto first = reinterpret_cast<uintptr_t>(object(0));
    auto address = reinterpret_cast<uintptr_t>(channel);
    if (address <= first || address >= first + kHandleCount * sizeof(Channel)) return FMOD_ERR_INVALID_HANDLE;
    uint32_t index = static_cast<uint32_t>((address - first) / sizeof(Channel));
    std::lock_guard<std::mutex> guard(table.lock);
    const Entry entry = table.entries[index];
    System::Impl* system = liveSystem(entry.systemId);
    if (!system) return FMOD_ERR_INVALID_HANDLE;
    return action(*system, entry.slot, entry.serial);
}

}  // namespace FMOD
