#pragma once
// Handles given to API callers are numbers from a table, never pointers into
// our objects: a released sound or system, or a channel whose slot was reused,
// is found stale by lookup instead of being dereferenced.
#include <memory>

#include "api/system.h"

namespace engine {

enum class HandleKind { System, Sound, Channel };

struct HandleTarget {
    HandleKind kind = HandleKind::System;
    std::shared_ptr<System> system;
    std::shared_ptr<Sound> sound;  // sounds only
    ChannelId channel;             // channels only
};

void* AddHandle(HandleTarget target);
// Fills target when the handle is live and of that kind.
bool FindHandle(const void* handle, HandleKind kind, HandleTarget* target);
void RemoveHandle(const void* handle);
// Channel handles of the same slot: only the newest one stays.
void* AddChannelHandle(const std::shared_ptr<System>& system, ChannelId channel);
// Removes every handle that belongs to the system (its sounds and channels included).
void RemoveHandlesOf(const System* system);

}  // namespace engine
