#include <gtest/gtest.h>

#include <thread>

#include "playback/mixer.h"

using namespace engine;

namespace {

// A stream whose frames are filled into its ring directly by the test.
std::shared_ptr<StreamJob> Job(int channels, uint32_t rate, uint64_t length) {
    struct Silent : Decoder {
        StreamFormat f;
        const StreamFormat& Format() const override { return f; }
        int64_t ReadFrames(float*, size_t) override { return 0; }
        bool SeekToFrame(uint64_t) override { return true; }
    };
    auto d = std::make_unique<Silent>();
    d->f.channels = channels;
    d->f.sampleRate = rate;
    d->f.lengthFrames = length;
    return MakeStreamJob(std::move(d), 44100);
}

void Fill(StreamJob& job, const std::vector<float>& samples, bool end) {
    RingWrite(job.ring, samples.data(), samples.size() / job.ring.channels);
    job.ring.endOfStream = end;
}

struct Rig {
    Mixer mixer{4};
    std::vector<float> out;
    Rig() { mixer.Configure({44100, 2}); }
    ChannelState& Play(int slot, std::shared_ptr<StreamJob> job, float volume = 1.0f) {
        auto state = MakeChannelState(std::move(job), 2, 44100);
        state->paused = false;
        state->volume = volume;
        ChannelState& ref = *state;
        mixer.Replace(slot, std::move(state));
        return ref;
    }
    void Render(uint32_t frames, uint64_t queued = 0) {
        out.assign(frames * 2, -9.0f);
        mixer.Render(out.data(), frames);
        mixer.PublishQueued(queued);
    }
};

}  // namespace

TEST(Mixer, VolumesScaleChannelsAddUpAndTheOutputClips) {
    struct Case {
        std::vector<std::pair<float, float>> channels;  // sample value, volume
        float out;
    } const cases[] = {
        {{{0.25f, 2.0f}}, 0.5f},
        {{{0.25f, 8.0f}}, 1.0f},   // clipped at the output
        {{{0.25f, -1.0f}}, 0.0f},  // negative volume is silence
        {{{0.7f, 1.0f}, {-0.2f, 1.0f}}, 0.5f},
        {{{0.7f, 1.0f}, {0.7f, 1.0f}}, 1.0f},
    };
    for (const Case& c : cases) {
        Rig rig;
        for (size_t i = 0; i < c.channels.size(); ++i) {
            auto job = Job(2, 44100, 100);
            Fill(*job, std::vector<float>(200, c.channels[i].first), true);
            rig.Play(static_cast<int>(i), job, c.channels[i].second);
        }
        rig.Render(10);
        EXPECT_NEAR(rig.out[0], c.out, 1e-6);
        EXPECT_NEAR(rig.out[19], c.out, 1e-6);
    }
}

TEST(Mixer, FiveOneIsFoldedDownToStereo) {
    std::vector<float> gains;
    FillChannelGains(gains, 6, 2);
    EXPECT_FLOAT_EQ(gains[0 * 2 + 0], 1.0f);  // left to left
    EXPECT_FLOAT_EQ(gains[1 * 2 + 1], 1.0f);  // right to right
    EXPECT_GT(gains[2 * 2 + 0], 0.5f);        // centre to both
    EXPECT_GT(gains[2 * 2 + 1], 0.5f);
    EXPECT_FLOAT_EQ(gains[3 * 2 + 0] + gains[3 * 2 + 1], 0.0f);  // LFE left out
    EXPECT_GT(gains[4 * 2 + 0], 0.5f);
    EXPECT_GT(gains[5 * 2 + 1], 0.5f);
}

TEST(Mixer, PositionAndEndFollowWhatTheDevicePlayedNotWhatWasMixed) {
    Rig rig;
    auto job = Job(2, 44100, 1000);
    Fill(*job, std::vector<float>(2000, 0.1f), true);
    ChannelState& ch = rig.Play(0, job);
    // Frames mixed and still queued in the device -> the audible position.
    const struct { uint32_t mixed, queued; uint64_t audible; bool paused; } steps[] = {
        {100, 60, 40, false}, {100, 150, 50, false},
        {100, 150, 150, true},  // what was queued before the pause still plays out
        {100, 0, 200, true},
    };
    for (const auto& s : steps) {
        ch.paused = s.paused;
        rig.Render(s.mixed, s.queued);
        EXPECT_EQ(AudibleFrame(ch, rig.mixer.PlayedFrames()), s.audible);
    }
    SeekChannel(ch, 999999);  // past the end: clamped to the length
    EXPECT_EQ(AudibleFrame(ch, rig.mixer.PlayedFrames()), 1000u);
    Rig end;
    auto last = Job(2, 44100, 150);
    Fill(*last, std::vector<float>(300, 0.1f), true);
    ChannelState& track = end.Play(0, last);
    for (auto [queued, ended] : {std::pair{100u, false}, {120u, false}, {60u, true}}) {  // 20 of the last frames wait
        end.Render(100, queued);
        EXPECT_EQ(ChannelEnded(track, end.mixer.PlayedFrames()), ended) << queued;
    }
    EXPECT_EQ(AudibleFrame(track, end.mixer.PlayedFrames()), 150u);
}

TEST(Mixer, AnEmptyRingBeforeTheEndIsAnUnderrunNotAnEnd) {
    Rig rig;
    auto job = Job(2, 44100, 1000);
    Fill(*job, std::vector<float>(20, 0.1f), false);
    ChannelState& ch = rig.Play(0, job);
    rig.Render(100);
    EXPECT_EQ(ch.consumedFrame, 10u);
    EXPECT_FALSE(ch.drained);
    EXPECT_FLOAT_EQ(rig.out[2 * 50], 0.0f);  // silence where data was missing
}

TEST(Mixer, WaveHistoryHoldsPlayedSamplesAfterVolume) {
    Rig rig;
    auto job = Job(2, 44100, 1000);
    std::vector<float> ramp(2000);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = (i % 2 ? -1.0f : 1.0f) * static_cast<float>(i / 2) / 1000.0f;
    Fill(*job, ramp, true);
    ChannelState& ch = rig.Play(0, job, 0.5f);
    float wave[8] = {7, 7, 7, 7, 7, 7, 7, 7};
    EXPECT_FALSE(ReadWaveHistory(ch, AudibleFrame(ch, 0), 0, wave, 8));
    EXPECT_EQ(wave[0], 7.0f);  // untouched on failure
    rig.Render(100, 50);
    const uint64_t end = AudibleFrame(ch, rig.mixer.PlayedFrames());
    ASSERT_EQ(end, 50u);
    ASSERT_TRUE(ReadWaveHistory(ch, end, 1, wave, 8));
    for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(wave[i], -0.5f * (42 + i) / 1000.0f);
    // More values than have played: the missing start reads as silence.
    std::vector<float> many(60, 7.0f);
    ASSERT_TRUE(ReadWaveHistory(ch, end, 0, many.data(), 60));
    EXPECT_EQ(many[0], 0.0f);
    EXPECT_FLOAT_EQ(many[59], 0.5f * 49 / 1000.0f);
}

TEST(Mixer, OtherSampleRatesAreResampledToTheOutput) {
    Rig rig;
    auto job = Job(1, 22050, 1000);
    std::vector<float> ramp(1000);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<float>(i) / 1000.0f;
    Fill(*job, ramp, true);
    ChannelState& ch = rig.Play(0, job);
    rig.Render(1500);
    // Every other output frame lies halfway between two source frames.
    EXPECT_NEAR(rig.out[2 * 601], 300.5f / 1000.0f, 1e-5);
    EXPECT_NEAR(rig.out[2 * 1200], 600.0f / 1000.0f, 1e-5);
    EXPECT_EQ(AudibleFrame(ch, rig.mixer.PlayedFrames()), 750u);
    // Twice as many frames as the source, then the end.
    rig.Render(1000);
    EXPECT_NE(rig.out[2 * 499], 0.0f);
    EXPECT_EQ(rig.out[2 * 500], 0.0f);
    EXPECT_TRUE(ChannelEnded(ch, rig.mixer.PlayedFrames()));
    EXPECT_EQ(AudibleFrame(ch, rig.mixer.PlayedFrames()), 1000u);
}

TEST(Mixer, BusyLockGivesSilenceWithoutAdvancing) {
    Rig rig;
    auto job = Job(2, 44100, 1000);
    Fill(*job, std::vector<float>(2000, 0.1f), true);
    ChannelState& ch = rig.Play(0, job);
    std::unique_lock<std::mutex> hold(rig.mixer.AudioLock());
    std::thread output([&] { rig.Render(100); });
    output.join();
    hold.unlock();
    EXPECT_EQ(ch.consumedFrame, 0u);
    EXPECT_FLOAT_EQ(rig.out[0], 0.0f);
}
