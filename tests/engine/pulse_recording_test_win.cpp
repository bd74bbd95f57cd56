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

// Where the tone sounds (above 0.1): the recording split where it is quiet for 60 samples or
// more, as the path through the sound server may insert short gaps under load.
std::vector<std::vector<float>> Stretches(const std::vector<float>& left) {
    std::vector<std::vector<float>> stretches;
    size_t end = 0;  // one past the last loud sample
    for (size_t i = 0; i < left.size(); ++i) {
        if (std::fabs(left[i]) <= 0.1f) continue;
        if (stretches.empty() || i - end >= 60) stretches.emplace_back(), end = i;
        stretches.back().insert(stretches.back().end(), left.begin() + long(end), left.begin() + long(i) + 1);
        end = i + 1;
    }
    return stretches;
}

class PulseRecording : public ApiSession {
protected:
    void SetUp() override {
        if (const char* reason = std::getenv("QUENDRA_PULSE_SKIP")) GTEST_SKIP() << reason;
        if (!recording || !killFile) GTEST_SKIP() << "not started by run_pulse_recording.sh: nothing records the output";
        ApiSession::SetUp();
    }
    // The left channel of the recording so far (32-bit floats; the recorder is still writing it).
    std::vector<float> RecordedLeft() {
        const Bytes bytes = ReadFile(recording);
        size_t data = 12;
        while (data + 8 <= bytes.size() && std::memcmp(&bytes[data], "data", 4) != 0)
            data += 8 + (bytes[data + 4] | bytes[data + 5] << 8 | bytes[data + 6] << 16 | size_t(bytes[data + 7]) << 24);
        std::vector<float> left;
        for (size_t i = data + 8; i + 8 <= bytes.size(); i += 8) std::memcpy(&left.emplace_back(), &bytes[i], 4);
        return left;
    }
    // Plays the file to its end; the recording once it holds the tone and a quarter second
    // of silence after it (the recorder lags).
    std::vector<float> PlayAndRecord(const std::string& file) {
        EXPECT_TRUE(WaitUntil([&] { return RecordedLeft().size() > sinkRate / 2; })) << "the recorder gives no data";
        Load(file, false);
        EXPECT_TRUE(WaitUntil([&] { return Playing() == 0; }));
        std::vector<float> left;
        EXPECT_TRUE(WaitUntil([&] {
            left = RecordedLeft();
            size_t last = left.size();
            while (last > 0 && std::fabs(left[last - 1]) <= 0.1f) --last;
            return last > 0 && left.size() - last > sinkRate / 4;
        })) << "no complete tone in the recording";
        return left;
    }

    const char *recording = std::getenv("QUENDRA_PULSE_RECORDING"), *killFile = std::getenv("QUENDRA_PULSE_KILL_FILE");
    // The sink's rate, which Wine offers as the device's.
    const uint32_t sinkRate = std::getenv("QUENDRA_PULSE_RATE") ? uint32_t(std::atoi(std::getenv("QUENDRA_PULSE_RATE"))) : 44100;
};

}  // namespace

// Gaps split the tone but add nothing to it, so its samples are counted, not its span.
TEST_F(PulseRecording, ToneLeavesTheLibraryAtTheRightFrequencyAndLength) {
    if (sinkRate != 44100) GTEST_SKIP() << "the sink runs at another rate";
    const std::vector<std::vector<float>> stretches = Stretches(PlayAndRecord(ToneWav("recorded_tone.wav", 2000)));
    std::vector<float> tone;
    double weighted = 0, measured = 0;  // the stretches' frequencies weighted by their lengths
    for (const std::vector<float>& stretch : stretches) {
        tone.insert(tone.end(), stretch.begin(), stretch.end());
        if (const double frequency = ZeroCrossingFrequency(stretch, 44100); frequency > 0)
            weighted += frequency * stretch.size(), measured += stretch.size();
    }
    std::printf("recorded tone: %zu stretch(es), %.3f s\n", stretches.size(), double(tone.size()) / 44100);
    EXPECT_NEAR(double(tone.size()) / 44100, 2.0, 0.01 + 0.005 * stretches.size());
    ASSERT_GT(measured, 44100);
    EXPECT_NEAR(weighted / measured, 440.0, 1.0);
    EXPECT_NEAR(Peak(tone), 0.5f, 0.02f);
}

TEST_F(PulseRecording, DeviceLossKeepsPositionAndEndOfTrackGoing) {
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

// A 44.1 kHz track on a 48 kHz device goes through the library's rate converter: the
// recording holds the tone and nothing else within 90 dB of it (no image at 18.9 kHz).
TEST_F(PulseRecording, HighToneConvertedTo48kHzCarriesNoImages) {
    if (sinkRate != 48000) GTEST_SKIP() << "the sink does not run at 48 kHz";
    std::vector<float> longest;  // the longest stretch without a gap
    for (std::vector<float>& s : Stretches(PlayAndRecord(WriteTempFile("high_tone.wav", FloatWav(Sine(15000, 44100, 2, 88200))))))
        if (s.size() > longest.size()) longest = std::move(s);
    constexpr size_t kAnalysed = 32768;
    ASSERT_GT(longest.size(), kAnalysed + 4800) << "the tone came through in pieces";
    // All that is not the tone together: no single component comes closer than this.
    const ToneFit fit = FitTone(&longest[(longest.size() - kAnalysed) / 2], kAnalysed, 15000, 48000);
    std::printf("everything but the tone: %.1f dB below it\n", -fit.restDb);
    EXPECT_LE(fit.restDb, -90.0);
}
