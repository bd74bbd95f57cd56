// The tone must really leave the library: played through WASAPI into a PulseAudio null
// sink whose monitor is being recorded (run_pulse_recording.sh starts both).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "api_session.h"
#include "audio_builders.h"

using namespace enginetest;

namespace {

constexpr uint32_t kRate = 44100;

// The left channel of the recording so far (the recorder is still writing it).
std::vector<float> RecordedLeft(const char* path) {
    const Bytes bytes = ReadFile(path);
    size_t data = 12;
    while (data + 8 <= bytes.size() && std::memcmp(&bytes[data], "data", 4) != 0)
        data += 8 + (bytes[data + 4] | bytes[data + 5] << 8 | bytes[data + 6] << 16 | size_t(bytes[data + 7]) << 24);
    std::vector<float> left;
    for (size_t i = data + 8; i + 4 <= bytes.size(); i += 4) left.push_back(int16_t(bytes[i] | bytes[i + 1] << 8) / 32768.0f);
    return left;
}

using PulseRecording = ApiSession;

}  // namespace

TEST_F(PulseRecording, ToneLeavesTheLibraryAtTheRightFrequencyAndLength) {
    if (const char* reason = std::getenv("QUENDRA_PULSE_SKIP")) GTEST_SKIP() << reason;
    const char* recording = std::getenv("QUENDRA_PULSE_RECORDING");
    if (!recording) GTEST_SKIP() << "not started by run_pulse_recording.sh, so nothing records the output";
    ASSERT_TRUE(WaitUntil([&] { return RecordedLeft(recording).size() > kRate / 2; })) << "the recorder gives no data";
    Load(ToneWav("recorded_tone.wav", 2000), false);
    ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }));

    // The recorder lags: wait for the tone and a quarter second of silence after it.
    // Under load the path through the sound server may insert short gaps into the tone;
    // they split it but add nothing to it, so the tone's samples are counted, not its span.
    std::vector<float> left, tone;
    ASSERT_TRUE(WaitUntil([&] {
        left = RecordedLeft(recording);
        size_t last = left.size();
        while (last > 0 && std::fabs(left[last - 1]) <= 0.1f) --last;
        return last > 0 && left.size() - last > kRate / 4;
    })) << "no complete tone in the recording";
    // Stretches where the tone sounds: it is never quiet for 60 samples.
    std::vector<std::vector<float>> stretches;
    long quiet = 1000;
    for (float v : left) {
        if (std::fabs(v) > 0.1f) {
            if (quiet >= 60) stretches.emplace_back();
            quiet = 0;
        } else {
            ++quiet;
        }
        if (quiet < 60) stretches.back().push_back(v);
    }
    double weighted = 0, measured = 0;  // the stretches' frequencies weighted by their lengths
    for (const std::vector<float>& stretch : stretches) {
        const size_t sounding = stretch.size() - std::min<size_t>(stretch.size(), 59);
        tone.insert(tone.end(), stretch.begin(), stretch.begin() + sounding);
        const double frequency = ZeroCrossingFrequency(stretch, kRate);
        if (frequency > 0) weighted += frequency * sounding, measured += sounding;
    }
    std::printf("recorded tone: %zu stretch(es), %.3f s\n", stretches.size(), double(tone.size()) / kRate);
    EXPECT_NEAR(double(tone.size()) / kRate, 2.0, 0.01 + 0.005 * stretches.size());
    ASSERT_GT(measured, kRate);
    EXPECT_NEAR(weighted / measured, 440.0, 1.0);
    EXPECT_NEAR(Peak(tone), 0.5f, 0.02f);
}

TEST_F(PulseRecording, DeviceLossKeepsPositionAndEndOfTrackGoing) {
    if (const char* reason = std::getenv("QUENDRA_PULSE_SKIP")) GTEST_SKIP() << reason;
    const char* killFile = std::getenv("QUENDRA_PULSE_KILL_FILE");
    if (!killFile) GTEST_SKIP() << "not started by run_pulse_recording.sh, so nobody can stop the sound server";
    Load(ToneWav("lost_device.wav", 3000), false);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 500; }));
    FILE* marker = std::fopen(killFile, "wb");  // the harness stops the sound server now
    ASSERT_NE(marker, nullptr);
    std::fclose(marker);
    const unsigned int atLoss = Position();
    ASSERT_TRUE(WaitUntil([&] { return Position() >= atLoss + 1000; })) << "the position stopped with the device";
    ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }));
    EXPECT_EQ(Position(), 3000u);
    EXPECT_FALSE(Wave(512).empty());
}
