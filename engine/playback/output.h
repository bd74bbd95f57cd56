#pragma once
// Audio outputs. Each runs its own thread that calls Mixer::Render once per
// period. The device output (WASAPI, Windows only) falls back to silent timing
// of its own when the device goes away; the null output is the silent timing
// alone, for machines without a sound device.
#include <functional>
#include <memory>

#include "playback/mixer.h"

namespace engine {

class Output {
public:
    virtual ~Output() = default;  // stops the thread
    virtual const char* Name() const = 0;
};

// Consumes samples in real time without a device, so positions, the end of a
// track and the wave data behave as with one.
std::unique_ptr<Output> StartNullOutput(Mixer& mixer, OutputFormat format);

// Runs the null timing loop on the calling thread while `keepGoing` says so (asked every
// period). Device outputs run it while they have no device.
void RunSilentTiming(Mixer& mixer, std::vector<float>& buffer, const std::function<bool()>& keepGoing);

}  // namespace engine
