#pragma once
// Playing through whatever the system's default render device is at the moment. A device
// that fails, stalls or stops being the default is dropped and the new default opened;
// while there is none, positions, track ends and wave data go on in silent real time and
// a device is looked for every second. The device itself sits behind a small interface
// (WASAPI on Windows, fakes in the tests).
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>

#include "playback/mixer.h"

namespace engine {

// One opened device in shared mode.
class RenderDevice {
public:
    virtual ~RenderDevice() = default;
    virtual OutputFormat Format() const = 0;
    virtual uint32_t BufferFrames() const = 0;
    // Waits until the device wants more or `timeoutMs` pass.
    virtual void WaitForRoom(uint32_t timeoutMs) = 0;
    // Frames handed over and not yet played; false when the device is gone.
    virtual bool QueuedFrames(uint32_t* frames) = 0;
    // Hands over interleaved frames in the device's format; false when the device is gone.
    virtual bool Write(const float* samples, uint32_t frames) = 0;
    virtual bool Start() = 0;
};

class DeviceProvider {
public:
    virtual ~DeviceProvider() = default;
    // The default render device, opened; null when there is none or it cannot be opened.
    virtual std::unique_ptr<RenderDevice> OpenDefault() = 0;
    // Whether the default device changed since the last call.
    virtual bool DefaultChanged() = 0;
};

// A device that takes nothing for this long while it holds frames counts as gone.
constexpr auto kDeviceStall = std::chrono::milliseconds(500);
// Without a device, how often one is looked for.
constexpr auto kDeviceRetry = std::chrono::milliseconds(1000);

// Runs on the output thread until `stop`, starting with `device` (may be null).
void FollowDefaultDevice(Mixer& mixer, DeviceProvider& devices, std::unique_ptr<RenderDevice> device,
                         const std::atomic<bool>& stop);

}  // namespace engine
