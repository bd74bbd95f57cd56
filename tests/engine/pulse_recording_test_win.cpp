// The tone must really leave the library: played through WASAPI into a PulseAudio null
// sink whose monitor is being recorded (run_pulse_recording.sh starts both).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "api_session.h"
#include "audio_builders.h"

using namespace enginetest;

namespace {

constexpr uint32_t kRate = 44100;

// The sink's rate, which Wine offers as the device's.
uint32_t SinkRate() {
    const char* rate = std::getenv("QUENDRA_PULSE_RATE");
    return rate ? uint32_t(std::atoi(rate)) : kRate;
}

// The left channel of the recording so far (32-bit floats; the recorder is still writing it).
std::vector<float> RecordedLeft(const char* path) {
    const Bytes bytes = ReadFile(path);
    size_t data = 12;
    while (data + 8 <= bytes.size() && std::memcmp(&bytes[data], "data", 4) != 0)
        data += 8 + (bytes[data + 4] | bytes[data + 5] << 8 | bytes[data + 6] << 16 | size_t(bytes[data + 7]) << 24);
    std::vector<float> left;
    for (size_t i = data + 8; i + 8 <= bytes.size(); i += 8) {
        float v;
        std::memcpy(&v, &bytes[i], 4);
        left.push_back(v);
    }
    return left;
}

// Waits for a complete tone in the recording: a quarter second of silence after it.
bool RecordedTone(const char* recording, uint32_t rate, std::vector<float>& left) {
    return WaitUntil([&] {
        left = RecordedLeft(recording);
        size_t last = left.size();
        while (last > 0 && std::fabs(left[last - 1]) <= 0.1f) --last;
        return last > 0 && left.size() - last > rate / 4;
    });
}

using PulseRecording = ApiSession;

}  // namespace

TEST_F(PulseRecording, ToneLeavesTheLibraryAtTheRightFrequencyAndLength) {
    if (const char* reason = std::getenv("QUENDRA_PULSE_SKIP")) GTEST_SKIP() << reason;
    const char* recording = std::getenv("QUENDRA_PULSE_RECORDING");
    if (!recording) GTEST_SKIP() << "not started by run_pulse_recording.sh, so nothing records the output";
    if (SinkRate() != kRate) GTEST_SKIP() << "the sink runs at another rate";
    ASSERT_TRUE(WaitUntil([&] { return RecordedLeft(recording).size() > kRate / 2; })) << "the recorder gives no data";
    Load(ToneWav("recorded_tone.wav", 2000), false);
    ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }));

    // The recorder lags: wait for the tone and a quarter second of silence after it.
    // Under load the path through the sound server may insert short gaps into the tone;
    // they split it but add nothing to it, so the tone's samples are counted, not its span.
    std::vector<float> left, tone;
    ASSERT_TRUE(RecordedTone(recording, kRate, left)) << "no complete tone in the recording";
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

// How long the tone sounds in a recording, from its first to its last loud sample; the
// tone's part is left in `left`.
double ToneSpan(std::vector<float>& left, uint32_t rate) {
    size_t first = left.size(), last = 0;
    for (size_t i = 0; i < left.size(); ++i) {
        if (std::fabs(left[i]) <= 0.1f) continue;
        first = std::min(first, i);
        last = i;
    }
    if (first >= last) return 0;
    left.assign(left.begin() + first, left.begin() + last);
    return double(last - first) / rate;
}

// The sound server dies and comes back a second later: positions and the end go on without
// a device, and the tone is heard again once the server is back.
TEST_F(PulseRecording, ALostDeviceKeepsTimeAndTheToneComesBackWithIt) {
    if (const char* reason = std::getenv("QUENDRA_PULSE_SKIP")) GTEST_SKIP() << reason;
    const char* restartFile = std::getenv("QUENDRA_PULSE_RESTART_FILE");
    const char* again = std::getenv("QUENDRA_PULSE_AGAIN_RECORDING");
    if (!restartFile || !again) GTEST_SKIP() << "not started by run_pulse_recording.sh, so nobody restarts the server";
    Load(ToneWav("lost_device.wav", 5000), false);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 500; }));
    FILE* marker = std::fopen(restartFile, "wb");  // the harness stops the sound server now
    ASSERT_NE(marker, nullptr);
    std::fclose(marker);
    const unsigned int atLoss = Position();
    ASSERT_TRUE(WaitUntil([&] { return Position() >= atLoss + 1000; })) << "the position stopped with the device";
    ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }));
    EXPECT_EQ(Position(), 5000u);
    EXPECT_FALSE(Wave(512).empty());
    std::vector<float> left;
    ASSERT_TRUE(RecordedTone(again, SinkRate(), left)) << "the tone did not come back with the server";
    const double span = ToneSpan(left, SinkRate());
    // The first moments after the server's start may hold gaps: the pitch is taken at the end.
    const std::vector<float> last(left.end() - std::min<size_t>(left.size(), SinkRate() / 2), left.end());
    std::printf("tone after the server came back: %.2f s\n", span);
    EXPECT_GT(span, 1.0);
    EXPECT_NEAR(ZeroCrossingFrequency(last, SinkRate()), 440.0, 2.0);
}

// A 44.1 kHz track on a 48 kHz device goes through the library's rate converter: the
// recording holds the tone and nothing else within 90 dB of it (no image at 18.9 kHz).
TEST_F(PulseRecording, HighToneConvertedTo48kHzCarriesNoImages) {
    if (const char* reason = std::getenv("QUENDRA_PULSE_SKIP")) GTEST_SKIP() << reason;
    const char* recording = std::getenv("QUENDRA_PULSE_RECORDING");
    if (!recording) GTEST_SKIP() << "not started by run_pulse_recording.sh, so nothing records the output";
    if (SinkRate() != 48000) GTEST_SKIP() << "the sink does not run at 48 kHz";
    ASSERT_TRUE(WaitUntil([&] { return RecordedLeft(recording).size() > 48000 / 2; })) << "the recorder gives no data";
    WavLayout wav;
    wav.formatTag = 3;
    wav.bits = 32;
    const std::vector<float> samples = Sine(15000, kRate, 2, kRate * 2);
    wav.data.resize(samples.size() * sizeof(float));
    std::memcpy(wav.data.data(), samples.data(), wav.data.size());
    Load(WriteTempFile("high_tone.wav", MakeWav(wav)), false);
    ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }));
    std::vector<float> left;
    ASSERT_TRUE(RecordedTone(recording, 48000, left)) << "no complete tone in the recording";

    // The longest stretch without a gap (the sound server may insert some under load).
    size_t best = 0, bestLength = 0, start = 0, lastSounding = 0;
    for (size_t i = 0; i < left.size(); ++i) {
        if (std::fabs(left[i]) <= 0.1f) continue;
        if (lastSounding == 0 || i - lastSounding >= 60) start = i;
        lastSounding = i;
        if (i + 1 - start > bestLength) best = start, bestLength = i + 1 - start;
    }
    constexpr size_t kAnalysed = 32768;
    ASSERT_GT(bestLength, kAnalysed + 4800) << "the tone came through in pieces";
    // All that is not the tone together: no single component comes closer than this.
    const ToneFit fit = FitTone(&left[best + (bestLength - kAnalysed) / 2], kAnalysed, 15000, 48000);
    std::printf("everything but the tone: %.1f dB below it\n", -fit.restDb);
    EXPECT_LE(fit.restDb, -90.0);
}

// The default sink changes while a tone plays: the library follows it to the new device,
// whose recording carries on the tone.
TEST_F(PulseRecording, ToneFollowsANewDefaultDevice) {
    if (const char* reason = std::getenv("QUENDRA_PULSE_SKIP")) GTEST_SKIP() << reason;
    const char* other = std::getenv("QUENDRA_PULSE_OTHER_RECORDING");
    const char* switchFile = std::getenv("QUENDRA_PULSE_SWITCH_FILE");
    if (!other || !switchFile) GTEST_SKIP() << "not started by run_pulse_recording.sh, so no second sink exists";
    ASSERT_TRUE(WaitUntil([&] { return RecordedLeft(other).size() > SinkRate() / 2; })) << "the recorder gives no data";
    Load(ToneWav("switched_tone.wav", 4000), false);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 1000; }));
    FILE* marker = std::fopen(switchFile, "wb");  // the harness makes the other sink the default now
    ASSERT_NE(marker, nullptr);
    std::fclose(marker);
    ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }));
    EXPECT_EQ(Position(), 4000u);
    std::vector<float> left;
    ASSERT_TRUE(RecordedTone(other, SinkRate(), left)) << "the tone never reached the new default sink";
    // Three seconds of the tone were left at the switch; following may take up to one.
    const double span = ToneSpan(left, SinkRate());
    std::printf("tone on the new default sink: %.2f s\n", span);
    EXPECT_GT(span, 2.0);
    EXPECT_LT(span, 3.05);
    EXPECT_NEAR(ZeroCrossingFrequency(left, SinkRate()), 440.0, 2.0);
}
