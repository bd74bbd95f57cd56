#pragma once
#include "playback/output.h"

namespace engine {

// Opens the default render device in shared, event-driven mode and starts its
// thread; null when no device can be opened. If the device goes away later
// the thread carries on with silent timing.
std::unique_ptr<Output> StartWasapiOutput(Mixer& mixer);

}  // namespace engine
