#include "playback/device_follower.h"

#include <algorithm>
#include <vector>

#include "playback/output.h"

namespace engine {
namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t kWaitMs = 100;

enum class DeviceEnd { Stopped, Lost, Stalled, NoLongerDefault };

DeviceEnd PlayUntilGone(Mixer& mixer, RenderDevice& device, DeviceProvider& devices, std::vector<float>& buffer,
                        const std::atomic<bool>& stop) {
    const uint32_t capacity = device.BufferFrames();
    bool started = false;
    uint32_t queuedAfterWrite = 0;
    auto lastProgress = Clock::now();
    while (!stop) {
        if (devices.DefaultChanged()) return DeviceEnd::NoLongerDefault;
        if (started) device.WaitForRoom(kWaitMs);
        uint32_t queued = 0;
        if (!device.QueuedFrames(&queued)) return DeviceEnd::Lost;
        queued = std::min(queued, capacity);
        // Playing shows as fewer frames queued than were after the last write.
        const auto now = Clock::now();
        if (!started || queued < queuedAfterWrite || queuedAfterWrite == 0) lastProgress = now;
        else if (now - lastProgress >= kDeviceStall) return DeviceEnd::Stalled;
        const uint32_t frames = capacity - queued;
        if (frames > 0) {
            mixer.Render(buffer.data(), frames);
            if (!device.Write(buffer.data(), frames)) return DeviceEnd::Lost;
        }
        queuedAfterWrite = queued + frames;
        mixer.PublishQueued(queuedAfterWrite);
        if (!started && !device.Start()) return DeviceEnd::Lost;
        started = true;
    }
    return DeviceEnd::Stopped;
}

}  // namespace

void FollowDefaultDevice(Mixer& mixer, DeviceProvider& devices, std::unique_ptr<RenderDevice> device,
                         const std::atomic<bool>& stop) {
    std::vector<float> buffer;
    while (!stop) {
        if (device) {
            const OutputFormat format = device->Format();
            mixer.Configure(format);
            buffer.assign(static_cast<size_t>(device->BufferFrames()) * format.channels, 0.0f);
            const DeviceEnd end = PlayUntilGone(mixer, *device, devices, buffer, stop);
            device.reset();
            mixer.PublishQueued(0);  // what the device still held is lost with it
            if (end == DeviceEnd::Stopped) return;
            // A lost or replaced device usually has a successor at once (a headset pulled
            // falls back to the speakers); a stalled one gets a second of rest first.
            if (end != DeviceEnd::Stalled) device = devices.OpenDefault();
            if (device) continue;
        }
        const OutputFormat format = mixer.Format();
        buffer.assign(static_cast<size_t>(format.sampleRate / 10) * format.channels, 0.0f);
        const auto retry = Clock::now() + kDeviceRetry;
        RunSilentTiming(mixer, buffer, [&] { return !stop && Clock::now() < retry && !devices.DefaultChanged(); });
        if (!stop) device = devices.OpenDefault();
    }
}

}  // namespace engine
