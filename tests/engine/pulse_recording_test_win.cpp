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

struct Tone {
    long first = -1, last = -1;
};

Tone FindTone(const std::vector<float>& samples) {
    Tone tone;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (std::fabs(samples[i]) > kToneThreshold) {
            if (tone.first < 0) tone.first = static_cast<long>(i);
            tone.last = static_cast<long>(i);
        }
    }
    return tone;
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

    WavSpec spec;
    spec.data = EncodePcmLe(Sine(440, kRate, 2, 2 * kRate), 2);
    const std::string tone = WriteTempFile("recorded_tone.wav", MakeWav(spec));
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
    Tone found;
    ASSERT_TRUE(WaitUntil([&] {
        left = RecordedLeft(recording);
        found = FindTone(left);
        return found.first >= 0 && static_cast<long>(left.size()) - found.last > static_cast<long>(kRate / 4);
    })) << "no complete tone in the recording";
    EXPECT_EQ(api.FMOD_System_Release(system), FMOD_OK);

    const double seconds = static_cast<double>(found.last - found.first) / kRate;
    EXPECT_NEAR(seconds, 2.0, 0.05);
    // Frequency from the rising zero crossings inside the tone.
    double firstCrossing = -1, lastCrossing = -1;
    int crossings = 0;
    for (long i = found.first + 1; i <= found.last; ++i) {
        if (left[i - 1] < 0 && left[i] >= 0) {
            double at = (i - 1) + left[i - 1] / (left[i - 1] - left[i]);
            if (firstCrossing < 0) firstCrossing = at;
            lastCrossing = at;
            ++crossings;
        }
    }
    ASSERT_GT(crossings, 100);
    EXPECT_NEAR((crossings - 1) * kRate / (lastCrossing - firstCrossing), 440.0, 1.0);
    float peak = 0;
    for (long i = found.first; i <= found.last; ++i) peak = std::max(peak, std::fabs(left[i]));
    EXPECT_NEAR(peak, 0.5f, 0.02f);
}
