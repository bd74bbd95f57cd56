#include <chrono>
#include <condition_variable>
#include <thread>
#include <vector>

#include "playback/output.h"

namespace engine {
namespace {

// Each wake-up costs more than the mixing it does: a coarse period keeps the idle load low.
constexpr auto kPeriod = std::chrono::milliseconds(20);

class NullOutput : public Output {
public:
    NullOutput(Mixer& mixer, OutputFormat format) : mixer_(mixer) {
        mixer_.Configure(format);
        buffer_.assign(static_cast<size_t>(format.sampleRate / 10) * format.channels, 0.0f);
        thread_ = std::thread([this] { RunSilentTiming(mixer_, buffer_, [this] { return !stop_.load(); }); });
    }
    ~NullOutput() override {
        stop_ = true;
        thread_.join();
    }
    const char* Name() const override { return "null"; }

private:
    Mixer& mixer_;
    std::atomic<bool> stop_{false};
    std::vector<float> buffer_;
    std::thread thread_;
};

}  // namespace

void RunSilentTiming(Mixer& mixer, std::vector<float>& buffer, const std::function<bool()>& keepGoing) {
    using Clock = std::chrono::steady_clock;
    const OutputFormat format = mixer.Format();
    const uint64_t chunkFrames = buffer.size() / format.channels;
    const auto start = Clock::now();
    uint64_t done = 0;
    for (auto wake = start + kPeriod; keepGoing(); wake += kPeriod) {
        std::this_thread::sleep_until(wake);
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
        uint64_t due = static_cast<uint64_t>(elapsed.count()) * format.sampleRate / 1000000;
        // After a long stall (a suspended machine) skip ahead rather than race to catch up.
        if (due > done + format.sampleRate) done = due - format.sampleRate;
        while (done < due) {
            uint64_t frames = std::min(due - done, chunkFrames);
            mixer.Render(buffer.data(), static_cast<uint32_t>(frames));
            mixer.PublishQueued(0);
            done += frames;
        }
        if (Clock::now() > wake + 50 * kPeriod) wake = Clock::now();
    }
}

std::unique_ptr<Output> StartNullOutput(Mixer& mixer, OutputFormat format) {
    return std::make_unique<NullOutput>(mixer, format);
}

}  // namespace engine
