// Channel handles. A Channel* the layer hands out is the address of one of a
// fixed, never-freed set of empty objects; a table beside them says which system,
// slot and play it stands for. So a handle stays safe to call after its channel
// ended, was stopped, its slot was reused or its system was released: the lookup
// then fails and the call returns FMOD_ERR_INVALID_HANDLE. Each play gets a new
// serial number; a handle is recognised as stale until 65535 later plays have
// reused its place in the table.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/sound/fmod.h"

namespace FMOD {

struct ChannelHandles {
    // A handle that never refers to a channel.
    static Channel* invalid();
    // Systems register on creation (0 when too many are alive at once) and
    // unregister on release.
    static uint32_t registerSystem(System::Impl* system);
    static void unregisterSystem(uint32_t systemId);
    // A new handle for a play on `slot` of the system; *serial identifies the play.
    static Channel* issue(uint32_t systemId, int slot, uint64_t* serial);

    using Action = std::function<FMOD_RESULT(System::Impl& system, int slot, uint64_t serial)>;
    // Runs action on what the handle stands for, under the table's lock (so the
    // system cannot be released meanwhile), or returns FMOD_ERR_INVALID_HANDLE.
    static FMOD_RESULT with(const Channel* channel, const Action& action);

private:
    static Channel* object(uint32_t index);
};

}  // namespace FMOD
