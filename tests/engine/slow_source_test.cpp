// A source that hangs in a read (a slow network share) must hold up nothing but itself:
// calls on other sounds and on the system return at once, and even releasing the hung
// sound leaves the others free.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "api/system.h"
#include "audio_builders.h"
#include "io/file_reader.h"
#include "wait_until.h"

using namespace engine;
using namespace enginetest;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kHang = std::chrono::seconds(2);
std::atomic<bool> g_hanging{false};

// Reads of files named "slow*" past their first 64 KB hang once for two seconds.
class HangingReader : public Reader {
public:
    explicit HangingReader(std::unique_ptr<Reader> inner) : inner_(std::move(inner)) {}
    int64_t Read(void* buffer, size_t count) override {
        if (!hung_ && inner_->Tell() > 65536) {
            hung_ = true;
            g_hanging = true;
            std::this_thread::sleep_for(kHang);
            g_hanging = false;
        }
        return inner_->Read(buffer, count);
    }
    bool Seek(uint64_t offset) override { return inner_->Seek(offset); }
    uint64_t Tell() const override { return inner_->Tell(); }
    int64_t Size() const override { return inner_->Size(); }
    bool CanSeek() const override { return inner_->CanSeek(); }

private:
    std::unique_ptr<Reader> inner_;
    bool hung_ = false;
};

std::unique_ptr<Reader> OpenMaybeHanging(const char* path, FMOD_RESULT* result) {
    auto reader = OpenStdioFile(path, result);
    if (reader && std::strstr(path, "slow")) return std::make_unique<HangingReader>(std::move(reader));
    return reader;
}

const Platform kPlatform{OpenMaybeHanging, nullptr};

template <typename Call>
std::chrono::milliseconds TimeOf(Call&& call) {
    const auto start = Clock::now();
    call();
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

}  // namespace

TEST(SlowSource, CallsOnOtherSoundsAndTheSystemDoNotWaitForAHungRead) {
    System system(kPlatform);
    ASSERT_EQ(system.Init(4), FMOD_OK);
    ASSERT_EQ(system.SetStreamBufferSize(2000, FMOD_TIMEUNIT_MS), FMOD_OK);
    const std::string slowPath = WriteTempFile("slow.wav", ReadFile(ToneWav("slow_src", 10000)));
    const std::string fine = ToneWav("fine", 10000);
    std::shared_ptr<Sound> slow, other;
    ASSERT_EQ(system.CreateStream(slowPath.c_str(), 0xC9, &slow), FMOD_OK);
    ASSERT_EQ(system.CreateStream(fine.c_str(), 0xC9, &other), FMOD_OK);
    ChannelId slowChannel, otherChannel;
    ASSERT_EQ(system.PlaySound(0, *slow, false, nullptr, &slowChannel), FMOD_OK);
    ASSERT_EQ(system.PlaySound(1, *other, false, nullptr, &otherChannel), FMOD_OK);
    ASSERT_TRUE(WaitUntil([] { return g_hanging.load(); }));

    const auto bound = std::chrono::milliseconds(50);
    uint64_t position = 0;
    bool playing = false;
    std::vector<float> wave(512);
    EXPECT_LT(TimeOf([&] { system.GetPosition(otherChannel, &position, FMOD_TIMEUNIT_MS); }), bound);
    EXPECT_LT(TimeOf([&] { system.IsPlaying(otherChannel, &playing); }), bound);
    EXPECT_LT(TimeOf([&] { system.GetWaveData(otherChannel, wave.data(), 512, 0); }), bound);
    EXPECT_LT(TimeOf([&] { system.SetPaused(otherChannel, true); }), bound);
    EXPECT_LT(TimeOf([&] { system.SetPosition(otherChannel, 5000, FMOD_TIMEUNIT_MS); }), bound);
    std::shared_ptr<Sound> next;
    EXPECT_LT(TimeOf([&] { system.CreateStream(fine.c_str(), 0xC9, &next); }), bound);
    ChannelId nextChannel;
    EXPECT_LT(TimeOf([&] { system.PlaySound(2, *next, false, nullptr, &nextChannel); }), bound);
    EXPECT_LT(TimeOf([&] { system.ReleaseSound(*next); }), bound);

    // Releasing the hung sound waits for its own read, on the caller's thread alone.
    ASSERT_TRUE(g_hanging.load());
    std::thread release([&] { system.ReleaseSound(*slow); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_LT(TimeOf([&] { system.IsPlaying(otherChannel, &playing); }), bound);
    EXPECT_LT(TimeOf([&] { system.SetPaused(otherChannel, false); }), bound);
    release.join();
    EXPECT_TRUE(playing);
    EXPECT_EQ(system.IsPlaying(slowChannel, &playing), FMOD_ERR_INVALID_HANDLE);  // released with its sound
}
