#include <gtest/gtest.h>

#include <thread>

#include "engine_support.h"

using namespace engine;
using namespace enginetest;

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
        MixerRig rig;
        for (size_t i = 0; i < c.channels.size(); ++i)
            rig.Play(int(i), MixerJob(2, 44100, 100, std::vector<float>(200, c.channels[i].first)), c.channels[i].second);
        rig.Render(10);
        EXPECT_NEAR(rig.out[0], c.out, 1e-6);
        EXPECT_NEAR(rig.out[19], c.out, 1e-6);
    }
}

TEST(Mixer, FiveOneIsFoldedDownToStereo) {
    std::vector<float> gains;
    FillChannelGains(gains, 6, 2);
    // gains[input * 2 + output]: left and right stay, the centre goes to both, the LFE is left
    // out, the surrounds go to their side.
    EXPECT_TRUE(gains[0] == 1 && gains[3] == 1) << "left and right";
    EXPECT_TRUE(gains[4] > 0.5f && gains[5] > 0.5f && gains[8] > 0.5f && gains[11] > 0.5f) << "centre and surrounds";
    EXPECT_EQ(gains[6] + gains[7], 0.0f) << "LFE";
}

TEST(Mixer, PositionAndEndFollowWhatTheDevicePlayedNotWhatWasMixed) {
    MixerRig rig;
    ChannelState& ch = rig.Play(0, MixerJob(2, 44100, 1000, std::vector<float>(2000, 0.1f)));
    // Frames mixed and still queued in the device -> the audible position.
    const struct { uint32_t mixed, queued; uint64_t audible; bool paused; } steps[] = {
        {100, 60, 40, false}, {100, 150, 50, false},
        {100, 150, 150, true},  // what was queued before the pause still plays out
        {100, 0, 200, true},
    };
    for (const auto& s : steps) {
        ch.paused = s.paused;
        rig.Render(s.mixed, s.queued);
        EXPECT_EQ(rig.Audible(ch), s.audible);
    }
    SeekChannel(ch, 999999);  // past the end: clamped to the length
    EXPECT_EQ(rig.Audible(ch), 1000u);
    MixerRig end;
    ChannelState& track = end.Play(0, MixerJob(2, 44100, 150, std::vector<float>(300, 0.1f)));
    for (auto [queued, ended] : {std::pair{100u, false}, {120u, false}, {60u, true}}) {  // 20 of the last frames wait
        end.Render(100, queued);
        EXPECT_EQ(ChannelEnded(track, end.mixer.PlayedFrames()), ended) << queued;
    }
    EXPECT_EQ(end.Audible(track), 150u);
}

TEST(Mixer, AnEmptyRingBeforeTheEndIsAnUnderrunNotAnEnd) {
    MixerRig rig;
    ChannelState& ch = rig.Play(0, MixerJob(2, 44100, 1000, std::vector<float>(20, 0.1f), false));
    rig.Render(100);
    EXPECT_EQ(ch.consumedFrame, 10u);
    EXPECT_FALSE(ch.drained);
    EXPECT_FLOAT_EQ(rig.out[2 * 50], 0.0f);  // silence where data was missing
}

TEST(Mixer, WaveHistoryHoldsPlayedSamplesAfterVolume) {
    MixerRig rig;
    std::vector<float> ramp(2000);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = (i % 2 ? -1.0f : 1.0f) * static_cast<float>(i / 2) / 1000.0f;
    ChannelState& ch = rig.Play(0, MixerJob(2, 44100, 1000, ramp), 0.5f);
    float wave[8] = {7, 7, 7, 7, 7, 7, 7, 7};
    EXPECT_FALSE(ReadWaveHistory(ch, AudibleFrame(ch, 0), 0, wave, 8));
    EXPECT_EQ(wave[0], 7.0f);  // untouched on failure
    rig.Render(100, 50);
    const uint64_t end = rig.Audible(ch);
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
    MixerRig rig;
    std::vector<float> ramp(1000);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<float>(i) / 1000.0f;
    ChannelState& ch = rig.Play(0, MixerJob(1, 22050, 1000, ramp));
    rig.Render(1500);
    // Every other output frame lies halfway between two source frames.
    EXPECT_NEAR(rig.out[2 * 601], 300.5f / 1000.0f, 1e-5);
    EXPECT_NEAR(rig.out[2 * 1200], 600.0f / 1000.0f, 1e-5);
    EXPECT_EQ(rig.Audible(ch), 750u);
    // Twice as many frames as the source, then the end.
    rig.Render(1000);
    EXPECT_TRUE(rig.out[2 * 499] != 0.0f && rig.out[2 * 500] == 0.0f);
    EXPECT_TRUE(ChannelEnded(ch, rig.mixer.PlayedFrames()));
    EXPECT_EQ(rig.Audible(ch), 1000u);
}

TEST(Mixer, BusyLockGivesSilenceWithoutAdvancing) {
    MixerRig rig;
    ChannelState& ch = rig.Play(0, MixerJob(2, 44100, 1000, std::vector<float>(2000, 0.1f)));
    {
        std::lock_guard<std::mutex> hold(rig.mixer.AudioLock());
        std::thread([&] { rig.Render(100); }).join();
    }
    EXPECT_EQ(ch.consumedFrame, 0u);
    EXPECT_FLOAT_EQ(rig.out[0], 0.0f);
}
