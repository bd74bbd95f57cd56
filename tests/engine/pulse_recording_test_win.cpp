// The tone must really leave the library: played through WASAPI into a PulseAudio null
// sink whose monitor is being recorded (run_pulse_recording.sh starts both).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "api_session.h"
#include "audio_builders.h"

using namespace enginetest;

namespace {

bool Loud(float sample) { return std::fabs(sample) > 0.1f; }

// Where the tone sounds (above 0.1): the recording split where it is quiet for 60 samples or
// more, as the path through the sound server may insert short gaps under load.
std::vector<std::vector<float>> Stretches(const std::vector<float>& left) {
    std::vector<std::vector<float>> stretches;
    size_t end = 0;  // one past the last loud sample
    for (size_t i = 0; i < left.size(); ++i) {
        if (!Loud(left[i])) continue;
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
        if (!recording || !restartFile) GTEST_SKIP() << "not started by run_pulse_recording.sh: nothing records the output";
        ApiSession::SetUp();
    }
    // The left channel of a recording so far (32-bit floats; the recorder is still writing it).
    std::vector<float> RecordedLeft(const char* path) {
        const Bytes bytes = ReadFile(path);
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
        EXPECT_TRUE(WaitUntil([&] { return RecordedLeft(recording).size() > sinkRate / 2; })) << "the recorder gives no data";
        Load(file, false);
        EXPECT_TRUE(WaitUntil([&] { return Playing() == 0; }));
        return WholeTone(recording);
    }
    std::vector<float> WholeTone(const char* path) {
        std::vector<float> left;
        EXPECT_TRUE(WaitUntil([&] {
            left = RecordedLeft(path);
            const auto quietAtEnd = std::find_if(left.rbegin(), left.rend(), Loud) - left.rbegin();
            return size_t(quietAtEnd) < left.size() && size_t(quietAtEnd) > sinkRate / 4;
        })) << "no complete tone in " << path;
        return left;
    }
    // Plays a tone, asks the harness for a change (by creating `file`) after a second of it,
    // and returns how much of the tone the second recording holds, without the gaps of the
    // path through the server, and its pitch in the longest stretch without a gap.
    struct Heard {
        size_t frames = 0;
        double pitch = 0;
    };
    Heard ToneAfter(const char* file, const char* secondRecording, unsigned int ms) {
        Load(ToneWav("changed" + std::to_string(ms) + ".wav", ms), false);
        EXPECT_TRUE(WaitUntil([&] { return Position() >= 1000; }));
        if (FILE* marker = std::fopen(file, "wb")) std::fclose(marker);
        const unsigned int atChange = Position();
        EXPECT_TRUE(WaitUntil([&] { return Position() >= atChange + 1000; })) << "the position stopped";
        EXPECT_TRUE(WaitUntil([&] { return Playing() == 0; }));
        EXPECT_EQ(Position(), ms);
        EXPECT_FALSE(Wave(512).empty());
        Heard heard;
        size_t longest = 0;
        for (const std::vector<float>& stretch : Stretches(WholeTone(secondRecording))) {
            heard.frames += stretch.size();
            if (stretch.size() > longest) longest = stretch.size(), heard.pitch = ZeroCrossingFrequency(stretch, sinkRate);
        }
        return heard;
    }

    const char* recording = std::getenv("QUENDRA_PULSE_RECORDING");
    const char* restartFile = std::getenv("QUENDRA_PULSE_RESTART_FILE");  // the server dies, back a second later
    const char* againRecording = std::getenv("QUENDRA_PULSE_AGAIN_RECORDING");  // the first sink after that
    const char* switchFile = std::getenv("QUENDRA_PULSE_SWITCH_FILE");  // the second sink becomes the default
    const char* otherRecording = std::getenv("QUENDRA_PULSE_OTHER_RECORDING");
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

// The sound server dies and comes back a second later: positions and the end go on without
// a device, and the tone is heard again once the server is back.
TEST_F(PulseRecording, ALostDeviceKeepsTimeAndTheToneComesBackWithIt) {
    const Heard heard = ToneAfter(restartFile, againRecording, 5000);
    std::printf("tone after the server came back: %.2f s\n", double(heard.frames) / sinkRate);
    EXPECT_GT(heard.frames, sinkRate);
    EXPECT_NEAR(heard.pitch, 440.0, 1.0);
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

// The default sink changes while a tone plays: the library follows it to the new device,
// whose recording carries on the three seconds of the tone left (following may take one;
// what the old sink still held may come along, when the sound server moves the stream).
TEST_F(PulseRecording, ToneFollowsANewDefaultDevice) {
    const Heard heard = ToneAfter(switchFile, otherRecording, 4000);
    std::printf("tone on the new default sink: %.2f s\n", double(heard.frames) / sinkRate);
    EXPECT_GT(heard.frames, 2 * sinkRate);
    EXPECT_LT(heard.frames, 3.25 * sinkRate);
    EXPECT_NEAR(heard.pitch, 440.0, 1.0);
}
