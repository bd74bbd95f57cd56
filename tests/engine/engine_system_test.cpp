// The engine behind the C API with an output the test drives by hand: every
// rendered sample can be checked against the file.
#include <gtest/gtest.h>

#include <mutex>

#include "api/system.h"
#include "audio_builders.h"
#include "formats/time_units.h"
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
const Platform kSilent{OpenStdioFile, nullptr};

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

}  // namespace

TEST(EngineSystem, WithoutADeviceTheNullOutputRunsAndOpenOnlyNeedsNoThreads) {
    System silent(kSilent), device(kHandDriven), none(kSilent), fresh(kSilent);
    EXPECT_EQ(silent.OutputName(), std::string("none"));
    ASSERT_EQ(silent.Init(2), FMOD_OK);
    EXPECT_EQ(silent.OutputName(), std::string("null"));
    ASSERT_EQ(device.Init(2), FMOD_OK);
    EXPECT_EQ(device.OutputName(), std::string("by hand"));
    EXPECT_EQ(none.Init(0), FMOD_ERR_INVALID_PARAM);
    // Open-only neither decodes nor buffers, and works before Init.
    std::shared_ptr<Sound> sound;
    for (System* system : {&silent, &fresh}) {
        ASSERT_EQ(system->CreateStream(RampFile(44100).c_str(), FMOD_OPENONLY, &sound), FMOD_OK);
        EXPECT_EQ(sound->job, nullptr);
        EXPECT_NE(sound->idleDecoder, nullptr);
        EXPECT_EQ(sound->format.lengthFrames, 44100u);
    }
    EXPECT_EQ(fresh.CreateStream(RampFile(44100).c_str(), 0xC9, &sound), FMOD_ERR_UNINITIALIZED);
}

TEST(EngineSystem, DecodingRunsAheadOnlyAsFarAsTheStreamBuffer) {
    System system(kHandDriven);
    ASSERT_EQ(system.Init(2), FMOD_OK);
    const std::string path = RampFile(44100 * 5);
    for (unsigned int ms : {500u, 2000u}) {
        ASSERT_EQ(system.SetStreamBufferSize(ms, FMOD_TIMEUNIT_MS), FMOD_OK);
        std::shared_ptr<Sound> sound;
        ASSERT_EQ(system.CreateStream(path.c_str(), 0xC9, &sound), FMOD_OK);
        const uint64_t expected = MsToFrames(ms, 44100);
        EXPECT_EQ(sound->job->ring.capacityFrames, expected);
        ASSERT_TRUE(WaitUntil([&] { return RingFillOf(*sound) == expected; })) << ms << " ms";
        system.ReleaseSound(*sound);
    }
    // A one-byte buffer (the player's setting while scanning) still gets a workable minimum.
    ASSERT_EQ(system.SetStreamBufferSize(1, FMOD_TIMEUNIT_RAWBYTES), FMOD_OK);
    std::shared_ptr<Sound> sound;
    ASSERT_EQ(system.CreateStream(path.c_str(), 0xC9, &sound), FMOD_OK);
    EXPECT_EQ(sound->job->ring.capacityFrames, MsToFrames(250, 44100));
}

TEST(EngineSystem, RenderedSamplesFollowTheFileExactlyAcrossSeeks) {
    System system(kHandDriven);
    ASSERT_EQ(system.Init(2), FMOD_OK);
    ASSERT_EQ(system.SetStreamBufferSize(2000, FMOD_TIMEUNIT_MS), FMOD_OK);
    std::shared_ptr<Sound> sound;
    ASSERT_EQ(system.CreateStream(RampFile(44100 * 3).c_str(), 0xC9, &sound), FMOD_OK);
    ChannelId channel;
    ASSERT_EQ(system.PlaySound(0, *sound, true, nullptr, &channel), FMOD_OK);
    ASSERT_EQ(system.SetPaused(channel, false), FMOD_OK);

    std::vector<float> out;
    auto renderAndCheck = [&](uint64_t fromFrame, uint32_t frames) {
        ASSERT_TRUE(WaitUntil([&] { return RingFillOf(*sound) >= frames; }));
        out.assign(frames * 2, 0.0f);
        g_mixer->Render(out.data(), frames);
        g_mixer->PublishQueued(0);
        for (uint32_t k = 0; k < frames; ++k) {
            const float want = RampValue(fromFrame + k) / 32768.0f;
            ASSERT_EQ(out[2 * k], want) << "frame " << fromFrame + k;
            ASSERT_EQ(out[2 * k + 1], want);  // mono on both sides
        }
    };
    renderAndCheck(0, 1000);
    uint64_t position = 0;
    ASSERT_EQ(system.GetPosition(channel, &position, FMOD_TIMEUNIT_PCM), FMOD_OK);
    EXPECT_EQ(position, 1000u);
    ASSERT_EQ(system.SetPosition(channel, 77777, FMOD_TIMEUNIT_PCM), FMOD_OK);
    renderAndCheck(77777, 3000);
    ASSERT_EQ(system.SetPosition(channel, 2500, FMOD_TIMEUNIT_MS), FMOD_OK);
    renderAndCheck(110250, 500);
}

TEST(EngineSystem, LoopingSoundsRepeatAsOftenAsTheLoopCountSays) {
    System system(kHandDriven);
    ASSERT_EQ(system.Init(2), FMOD_OK);
    const std::string path = RampFile(3000);
    std::shared_ptr<Sound> sound;
    ASSERT_EQ(system.CreateStream(path.c_str(), FMOD_LOOP_NORMAL | FMOD_2D | FMOD_CREATESTREAM, &sound), FMOD_OK);
    ChannelId channel;
    ASSERT_EQ(system.PlaySound(0, *sound, true, nullptr, &channel), FMOD_OK);
    ASSERT_EQ(system.SetLoopCount(channel, 1), FMOD_OK);  // once more after the first pass
    ASSERT_EQ(system.SetPaused(channel, false), FMOD_OK);

    std::vector<float> out(2 * 500);
    for (uint64_t done = 0; done < 6000; done += 500) {
        ASSERT_TRUE(WaitUntil([&] { return RingFillOf(*sound) >= 500; })) << done;
        g_mixer->Render(out.data(), 500);
        g_mixer->PublishQueued(0);
        for (uint64_t k = 0; k < 500; k += 37) ASSERT_EQ(out[2 * k], RampValue((done + k) % 3000) / 32768.0f);
        if (done == 3500) {
            uint64_t position = 0;
            ASSERT_EQ(system.GetPosition(channel, &position, FMOD_TIMEUNIT_PCM), FMOD_OK);
            EXPECT_EQ(position, 1000u);  // folded back into the track
        }
    }
    ASSERT_TRUE(WaitUntil([&] {
        std::lock_guard<std::mutex> hold(g_mixer->AudioLock());
        return sound->job->ring.endOfStream;
    }));
    g_mixer->Render(out.data(), 10);
    g_mixer->PublishQueued(0);
    bool playing = true;
    ASSERT_EQ(system.IsPlaying(channel, &playing), FMOD_OK);
    EXPECT_FALSE(playing);
    uint64_t position = 0;
    ASSERT_EQ(system.GetPosition(channel, &position, FMOD_TIMEUNIT_PCM), FMOD_OK);
    EXPECT_EQ(position, 3000u);

    // Without FMOD_LOOP_NORMAL the loop count changes nothing.
    std::shared_ptr<Sound> once;
    ASSERT_EQ(system.CreateStream(path.c_str(), 0xC9, &once), FMOD_OK);
    ASSERT_EQ(system.PlaySound(1, *once, false, nullptr, &channel), FMOD_OK);
    ASSERT_EQ(system.SetLoopCount(channel, -1), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] {
        std::lock_guard<std::mutex> hold(g_mixer->AudioLock());
        return once->job->ring.endOfStream;
    }));
    EXPECT_EQ(RingFillOf(*once), 3000u);
}
