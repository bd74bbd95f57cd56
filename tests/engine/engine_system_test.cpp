// The engine behind the C API with an output the test drives by hand: every
// rendered sample can be checked against the file.
#include <gtest/gtest.h>

#include <mutex>
#include <new>

#include "api/system.h"
#include "audio_builders.h"
#include "io/file_reader.h"
#include "wait_until.h"

using namespace engine;
using namespace enginetest;

namespace {

// An output without a thread: the test renders. The last mixer made is kept here.
Mixer* g_mixer = nullptr;

class HandDrivenOutput : public Output {
public:
    const char* Name() const override { return "by hand"; }
};

std::unique_ptr<Output> StartHandDriven(Mixer& mixer) {
    mixer.Configure({44100, 2});
    g_mixer = &mixer;
    return std::make_unique<HandDrivenOutput>();
}

const Platform kHandDriven{OpenStdioFile, StartHandDriven};

// Mono 16-bit, sample i = ((i % 2000) - 1000) * 16: every frame is recognisable.
int16_t RampValue(uint64_t frame) { return static_cast<int16_t>((static_cast<int>(frame % 2000) - 1000) * 16); }

std::string RampFile(uint32_t frames) {
    WavLayout s;
    s.channels = 1;
    for (uint32_t i = 0; i < frames; ++i) PutLe16(s.data, static_cast<uint16_t>(RampValue(i)));
    return WriteTempFile("ramp" + std::to_string(frames) + ".wav", MakeWav(s));
}

uint64_t RingFillOf(Sound& sound) {
    std::lock_guard<std::mutex> hold(g_mixer->AudioLock());
    return RingFill(sound.job->ring);
}

// Renders `frames` once the ring holds them; they must be the ramp from `from` on, on both sides.
void ExpectRampRendered(Sound& sound, uint64_t from, uint32_t frames) {
    ASSERT_TRUE(WaitUntil([&] { return RingFillOf(sound) >= frames; }));
    std::vector<float> out(frames * 2);
    g_mixer->Render(out.data(), frames);
    g_mixer->PublishQueued(0);
    for (uint32_t k = 0; k < frames; ++k) {
        ASSERT_EQ(out[2 * k], RampValue(from + k) / 32768.0f) << "frame " << from + k;
        ASSERT_EQ(out[2 * k + 1], out[2 * k]);  // mono on both sides
    }
}

struct EngineSystem : ::testing::Test {
    System system{kHandDriven};
    std::shared_ptr<Sound> sound;
    void SetUp() override { ASSERT_EQ(system.Init(2), FMOD_OK); }
};

}  // namespace

TEST_F(EngineSystem, DecodingRunsAheadOnlyAsFarAsTheStreamBuffer) {
    const std::string path = RampFile(44100 * 5);
    ASSERT_EQ(system.SetStreamBufferSize(500, FMOD_TIMEUNIT_MS), FMOD_OK);
    ASSERT_EQ(system.CreateStream(path.c_str(), 0xC9, &sound), FMOD_OK);
    EXPECT_EQ(sound->job->ring.capacityFrames, 22050u);
    ASSERT_TRUE(WaitUntil([&] { return RingFillOf(*sound) == 22050u; }));
    system.ReleaseSound(*sound);
    // A one-byte buffer (the player's setting while scanning) still gets a workable minimum.
    ASSERT_EQ(system.SetStreamBufferSize(1, FMOD_TIMEUNIT_RAWBYTES), FMOD_OK);
    ASSERT_EQ(system.CreateStream(path.c_str(), 0xC9, &sound), FMOD_OK);
    EXPECT_EQ(sound->job->ring.capacityFrames, 11025u);
}

TEST_F(EngineSystem, RenderedSamplesFollowTheFileExactlyAcrossSeeks) {
    ASSERT_EQ(system.SetStreamBufferSize(2000, FMOD_TIMEUNIT_MS), FMOD_OK);
    ASSERT_EQ(system.CreateStream(RampFile(44100 * 3).c_str(), 0xC9, &sound), FMOD_OK);
    ChannelId channel;
    ASSERT_EQ(system.PlaySound(0, *sound, true, nullptr, &channel), FMOD_OK);
    ASSERT_EQ(system.SetPaused(channel, false), FMOD_OK);
    ExpectRampRendered(*sound, 0, 1000);
    uint64_t position = 0;
    ASSERT_EQ(system.GetPosition(channel, &position, FMOD_TIMEUNIT_PCM), FMOD_OK);
    EXPECT_EQ(position, 1000u);
    ASSERT_EQ(system.SetPosition(channel, 77777, FMOD_TIMEUNIT_PCM), FMOD_OK);
    ExpectRampRendered(*sound, 77777, 3000);
    ASSERT_EQ(system.SetPosition(channel, 2500, FMOD_TIMEUNIT_MS), FMOD_OK);
    ExpectRampRendered(*sound, 110250, 500);
}

TEST_F(EngineSystem, ADecoderThatThrowsEndsItsOwnChannelOnly) {
    // A decoder whose allocations fail after its first chunk.
    struct OutOfMemory : Decoder {
        std::unique_ptr<Decoder> inner;
        int reads = 0;
        explicit OutOfMemory(std::unique_ptr<Decoder> d) : inner(std::move(d)) {}
        const StreamFormat& Format() const override { return inner->Format(); }
        int64_t ReadFrames(float* out, size_t frames) override {
            if (++reads > 1) throw std::bad_alloc();
            return inner->ReadFrames(out, frames);
        }
        bool SeekToFrame(uint64_t frame) override { return inner->SeekToFrame(frame); }
    };
    const std::string path = RampFile(44100 * 3);
    std::shared_ptr<Sound> failing;
    ASSERT_EQ(system.CreateStream(path.c_str(), 0xC9 | FMOD_OPENONLY, &failing), FMOD_OK);
    failing->idleDecoder = std::make_unique<OutOfMemory>(std::move(failing->idleDecoder));
    ASSERT_EQ(system.CreateStream(path.c_str(), 0xC9, &sound), FMOD_OK);
    ChannelId broken, fine;
    ASSERT_EQ(system.PlaySound(0, *failing, false, nullptr, &broken), FMOD_OK);
    ASSERT_EQ(system.PlaySound(1, *sound, false, nullptr, &fine), FMOD_OK);
    std::vector<float> out(2 * 1000);
    auto endsWhilePlaying = [&](ChannelId id) {
        return WaitUntil([&] {
            g_mixer->Render(out.data(), 1000);
            g_mixer->PublishQueued(0);
            bool playing = true;
            return system.IsPlaying(id, &playing) == FMOD_OK && !playing;
        });
    };
    ASSERT_TRUE(endsWhilePlaying(broken));
    bool playing = false;
    ASSERT_EQ(system.IsPlaying(fine, &playing), FMOD_OK);
    EXPECT_TRUE(playing);
    // Played again, it ends again: the failure does not stick to the thread or the lock.
    ASSERT_EQ(system.PlaySound(0, *failing, false, nullptr, &broken), FMOD_OK);
    EXPECT_TRUE(endsWhilePlaying(broken));
    // The healthy stream still follows its file sample by sample after a seek.
    ASSERT_EQ(system.SetPosition(fine, 50000, FMOD_TIMEUNIT_PCM), FMOD_OK);
    ExpectRampRendered(*sound, 50000, 500);
}
