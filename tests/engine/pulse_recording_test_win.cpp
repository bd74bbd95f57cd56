// The tone must really leave the library: played through WASAPI into a
// PulseAudio null sink whose monitor is being recorded (run_pulse_recording.sh).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio_builders.h"
#include "fmodex_api_table.h"
#include "wait_until.h"

using namespace enginetest;

namespace {

constexpr uint32_t kRate = 44100;
constexpr float kToneThreshold = 0.1f;

// The left channel of the recording so far (the recorder is still writing it).
std::vector<float> RecordedLeft(const char* path) {
    std::vector<float> left;
    FILE* f = std::fopen(path, "rb");
    if (!f) return left;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
    size_t data = 12;
    while (data + 8 <= bytes.size() && std::memcmp(&bytes[data], "data", 4) != 0) {
        uint32_t size = bytes[data + 4] | bytes[data + 5] << 8 | bytes[data + 6] << 16 | uint32_t(bytes[data + 7]) << 24;
        data += 8 + size + (size & 1);
    }
    for (size_t i = data + 8; i + 4 <= bytes.size(); i += 4)
        left.push_back(static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8) / 32768.0f);
    return left;
}

// Stretches of the recording where the tone sounds. Under a heavy load the
// path from Wine through the sound server to the recorder may insert short
// silences; they split the tone but add nothing to it.
struct Segment {
    long first, last;
};

std::vector<Segment> FindTone(const std::vector<float>& samples) {
    constexpr long kSilentRun = 60;  // a 440 Hz tone is never quiet for this long
    std::vector<Segment> segments;
    for (long i = 0; i < static_cast<long>(samples.size()); ++i) {
        if (std::fabs(samples[i]) <= kToneThreshold) continue;
        if (segments.empty() || i - segments.back().last > kSilentRun) segments.push_back({i, i});
        segments.back().last = i;
    }
    return segments;
}

}  // namespace

TEST(PulseRecording, ToneLeavesTheLibraryAtTheRightFrequencyAndLength) {
    if (const char* reason = std::getenv("QUENDRA_PULSE_SKIP")) GTEST_SKIP() << reason;
    const char* recording = std::getenv("QUENDRA_PULSE_RECORDING");
    if (!recording) GTEST_SKIP() << "not started by run_pulse_recording.sh, so nothing records the output";
    ASSERT_TRUE(ApiComplete());
    const FmodexApi& api = Api();

    // The recorder must be streaming before the tone starts.
    ASSERT_TRUE(WaitUntil([&] { return RecordedLeft(recording).size() > kRate / 2; }))
        << "the recorder produced no data";

    WavLayout layout;
    layout.data = EncodePcmLe(Sine(440, kRate, 2, 2 * kRate), 2);
    const std::string tone = WriteTempFile("recorded_tone.wav", MakeWav(layout));
    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND* sound = nullptr;
    FMOD_CHANNEL* channel = nullptr;
    ASSERT_EQ(api.FMOD_System_Create(&system), FMOD_OK);
    ASSERT_EQ(api.FMOD_System_Init(system, 2, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
    ASSERT_EQ(api.FMOD_System_SetStreamBufferSize(system, 2000, FMOD_TIMEUNIT_MS), FMOD_OK);
    ASSERT_EQ(api.FMOD_System_CreateStream(system, tone.c_str(), 0xC9, nullptr, &sound), FMOD_OK);
    ASSERT_EQ(api.FMOD_System_PlaySound(system, 0, sound, 1, &channel), FMOD_OK);
    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] {
        FMOD_BOOL playing = 1;
        api.FMOD_Channel_IsPlaying(channel, &playing);
        return playing == 0;
    }));

    // The recorder lags a little: wait for the tone and some silence after it.
    std::vector<float> left;
    std::vector<Segment> segments;
    ASSERT_TRUE(WaitUntil([&] {
        left = RecordedLeft(recording);
        segments = FindTone(left);
        return !segments.empty() && static_cast<long>(left.size()) - segments.back().last > static_cast<long>(kRate / 4);
    })) << "no complete tone in the recording";
    EXPECT_EQ(api.FMOD_System_Release(system), FMOD_OK);

    long toneSamples = 0;
    double crossingSpan = 0;
    int crossingIntervals = 0;
    float peak = 0;
    for (const Segment& s : segments) {
        toneSamples += s.last - s.first + 1;
        double firstCrossing = -1, lastCrossing = -1;
        int crossings = 0;
        for (long i = s.first + 1; i <= s.last; ++i) {
            peak = std::max(peak, std::fabs(left[i]));
            if (left[i - 1] < 0 && left[i] >= 0) {
                double at = (i - 1) + left[i - 1] / (left[i - 1] - left[i]);
                if (firstCrossing < 0) firstCrossing = at;
                lastCrossing = at;
                ++crossings;
            }
        }
        if (crossings >= 2) {
            crossingSpan += lastCrossing - firstCrossing;
            crossingIntervals += crossings - 1;
        }
    }
    std::printf("recorded tone: %zu stretch(es), %.3f s in all\n", segments.size(), double(toneSamples) / kRate);
    EXPECT_NEAR(double(toneSamples) / kRate, 2.0, 0.01 + 0.005 * segments.size());
    ASSERT_GT(crossingIntervals, 800);
    EXPECT_NEAR(crossingIntervals * kRate / crossingSpan, 440.0, 0.5);
    EXPECT_NEAR(peak, 0.5f, 0.02f);
}

TEST(PulseRecording, DeviceLossKeepsPositionAndEndOfTrackGoing) {
    if (const char* reason = std::getenv("QUENDRA_PULSE_SKIP")) GTEST_SKIP() << reason;
    const char* killFile = std::getenv("QUENDRA_PULSE_KILL_FILE");
    if (!killFile) GTEST_SKIP() << "not started by run_pulse_recording.sh, so nobody can stop the sound server";
    ASSERT_TRUE(ApiComplete());
    const FmodexApi& api = Api();

    WavLayout layout;
    layout.data = EncodePcmLe(Sine(440, kRate, 2, 3 * kRate), 2);
    const std::string tone = WriteTempFile("lost_device.wav", MakeWav(layout));
    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND* sound = nullptr;
    FMOD_CHANNEL* channel = nullptr;
    ASSERT_EQ(api.FMOD_System_Create(&system), FMOD_OK);
    ASSERT_EQ(api.FMOD_System_Init(system, 2, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
    ASSERT_EQ(api.FMOD_System_CreateStream(system, tone.c_str(), 0xC9, nullptr, &sound), FMOD_OK);
    ASSERT_EQ(api.FMOD_System_PlaySound(system, 0, sound, 0, &channel), FMOD_OK);
    auto position = [&] {
        unsigned int ms = 0;
        api.FMOD_Channel_GetPosition(channel, &ms, FMOD_TIMEUNIT_MS);
        return ms;
    };
    ASSERT_TRUE(WaitUntil([&] { return position() >= 500; }));

    FILE* marker = std::fopen(killFile, "wb");  // the harness stops the sound server now
    ASSERT_NE(marker, nullptr);
    std::fclose(marker);
    const unsigned int atLoss = position();
    ASSERT_TRUE(WaitUntil([&] { return position() >= atLoss + 1000; })) << "the position stopped with the device";
    ASSERT_TRUE(WaitUntil([&] {
        FMOD_BOOL playing = 1;
        api.FMOD_Channel_IsPlaying(channel, &playing);
        return playing == 0;
    }));
    EXPECT_EQ(position(), 3000u);
    std::vector<float> wave(512);
    EXPECT_EQ(api.FMOD_Channel_GetWaveData(channel, wave.data(), 512, 0), FMOD_OK);
    EXPECT_EQ(api.FMOD_System_Release(system), FMOD_OK);
}
