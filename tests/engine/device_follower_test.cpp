// Playing through a device that fails, stalls, changes and comes back: a fake device that
// consumes in real time, behind the same interface as WASAPI.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "api/system.h"
#include "api_session.h"
#include "audio_builders.h"
#include "io/file_reader.h"
#include "playback/device_follower.h"
#include "wait_until.h"

using namespace engine;
using namespace enginetest;

namespace {

using Clock = std::chrono::steady_clock;

// What the test controls and sees of "the system's devices"; owned by the running test.
struct DeviceWorld {
    std::atomic<bool> present{true};  // a default device exists
    std::atomic<uint32_t> rate{44100};
    std::atomic<bool> lost{false};     // the opened device fails
    std::atomic<bool> stalled{false};  // the opened device stops taking frames
    std::atomic<bool> defaultChanged{false};
    std::atomic<int> opens{0};
    std::mutex lock;
    std::vector<float> written;  // what the newest device was given, under lock
};
DeviceWorld* g_world = nullptr;

class FakeDevice : public RenderDevice {
public:
    explicit FakeDevice(OutputFormat format) : format_(format) {}
    OutputFormat Format() const override { return format_; }
    uint32_t BufferFrames() const override { return format_.sampleRate / 10; }
    void WaitForRoom(uint32_t timeoutMs) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<uint32_t>(timeoutMs, 10)));
    }
    bool QueuedFrames(uint32_t* frames) override {
        if (g_world->lost) return false;
        const auto now = Clock::now();
        if (started_ && !g_world->stalled)
            played_ += std::chrono::duration<double>(now - lastLook_).count() * format_.sampleRate;
        lastLook_ = now;
        played_ = std::min(played_, static_cast<double>(given_));
        *frames = static_cast<uint32_t>(given_ - static_cast<uint64_t>(played_));
        return true;
    }
    bool Write(const float* samples, uint32_t frames) override {
        std::lock_guard<std::mutex> hold(g_world->lock);
        g_world->written.insert(g_world->written.end(), samples, samples + frames * format_.channels);
        given_ += frames;
        return !g_world->lost;
    }
    bool Start() override {
        started_ = true;
        lastLook_ = Clock::now();
        return true;
    }

private:
    OutputFormat format_;
    bool started_ = false;
    uint64_t given_ = 0;
    double played_ = 0;
    Clock::time_point lastLook_;
};

// The output thread following the fake world's default device.
class FollowingOutput : public Output, public DeviceProvider {
public:
    explicit FollowingOutput(Mixer& mixer) {
        auto first = OpenDefault();
        mixer.Configure(first->Format());
        thread_ = std::thread([this, &mixer, device = std::move(first)]() mutable {
            FollowDefaultDevice(mixer, *this, std::move(device), stop_);
        });
    }
    ~FollowingOutput() override {
        stop_ = true;
        thread_.join();
    }
    const char* Name() const override { return "following"; }
    std::unique_ptr<RenderDevice> OpenDefault() override {
        ++g_world->opens;
        g_world->lost = g_world->stalled = false;
        std::lock_guard<std::mutex> hold(g_world->lock);
        g_world->written.clear();
        return g_world->present ? std::make_unique<FakeDevice>(OutputFormat{g_world->rate, 2}) : nullptr;
    }
    bool DefaultChanged() override { return g_world->defaultChanged.exchange(false); }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::unique_ptr<Output> StartFollowing(Mixer& mixer) { return std::make_unique<FollowingOutput>(mixer); }

// Left channel of what the current device was given.
std::vector<float> WrittenLeft() {
    std::lock_guard<std::mutex> hold(g_world->lock);
    std::vector<float> left;
    for (size_t i = 0; i < g_world->written.size(); i += 2) left.push_back(g_world->written[i]);
    return left;
}

class DeviceFollowing : public ::testing::Test {
protected:
    void SetUp() override {
        g_world = &world;  // before Init starts the output thread
        ASSERT_EQ(system.Init(2), FMOD_OK);
    }
    void Play(uint32_t ms) {
        ASSERT_EQ(system.CreateStream(ToneWav("follow" + std::to_string(ms), ms).c_str(), 0xC9, &sound), FMOD_OK);
        ASSERT_EQ(system.PlaySound(0, *sound, false, nullptr, &channel), FMOD_OK);
        ASSERT_TRUE(WaitUntil([&] { return PositionMs() > 200; }));
    }
    uint64_t PositionMs() {
        uint64_t ms = 0;
        system.GetPosition(channel, &ms, FMOD_TIMEUNIT_MS);
        return ms;
    }
    bool Playing() {
        bool playing = false;
        return system.IsPlaying(channel, &playing) == FMOD_OK && playing;
    }

    DeviceWorld world;  // outlives the system and its output thread
    const Platform platform{OpenStdioFile, StartFollowing};
    System system{platform};
    std::shared_ptr<Sound> sound;
    ChannelId channel;
};

}  // namespace

TEST_F(DeviceFollowing, ALostDeviceIsReplacedAtOnceAndTheToneGoesOnAtTheNewRate) {
    Play(10000);
    const uint64_t before = PositionMs();
    world.rate = 48000;  // the successor runs at another rate: channels are rebuilt for it
    world.lost = true;
    const auto lostAt = Clock::now();
    ASSERT_TRUE(WaitUntil([&] { return world.opens == 2; }));
    EXPECT_LT(Clock::now() - lostAt, std::chrono::seconds(1));
    ASSERT_TRUE(WaitUntil([] { return WrittenLeft().size() >= 48000; }));
    EXPECT_NEAR(ZeroCrossingFrequency(WrittenLeft(), 48000), 440.0, 1.0);
    EXPECT_GT(PositionMs(), before);
    EXPECT_TRUE(Playing());
}

TEST_F(DeviceFollowing, WithoutADeviceTimeGoesOnAndOneIsLookedForEverySecond) {
    Play(10000);
    world.present = false;
    world.lost = true;
    ASSERT_TRUE(WaitUntil([&] { return world.opens == 2; }));
    const uint64_t from = PositionMs();
    const auto start = Clock::now();
    ASSERT_TRUE(WaitUntil([&] { return world.opens == 4; }));  // two more looks, a second apart
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_NEAR(seconds, 2.0, 0.3);
    EXPECT_NEAR(static_cast<double>(PositionMs() - from), seconds * 1000, 150);

    world.present = true;
    ASSERT_TRUE(WaitUntil([] { return WrittenLeft().size() >= 22050; }, std::chrono::milliseconds(1500)));
    EXPECT_NEAR(ZeroCrossingFrequency(WrittenLeft(), 44100), 440.0, 1.0);
}

TEST_F(DeviceFollowing, ANewDefaultDeviceIsTakenWithinASecond) {
    Play(10000);
    world.defaultChanged = true;
    EXPECT_TRUE(WaitUntil([&] { return world.opens == 2; }, std::chrono::seconds(1)));
}

TEST_F(DeviceFollowing, AStalledDeviceIsDroppedSoTheTrackStillEnds) {
    Play(1500);
    world.stalled = true;
    const uint64_t frozen = PositionMs();
    ASSERT_TRUE(WaitUntil([&] { return world.opens == 2; }, std::chrono::seconds(3)));
    world.stalled = true;  // and the next one stalls too
    EXPECT_TRUE(WaitUntil([&] { return !Playing(); }, std::chrono::seconds(6)));
    EXPECT_GT(PositionMs(), frozen);
}
