// An MP3, a FLAC and an Ogg Vorbis file of a 440 Hz tone played through fmodex.dll under
// Wine, reached only through LoadLibraryA and GetProcAddress as the player does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "fmodex_api_table.h"
#include "wait_until.h"

using namespace enginetest;

namespace {

constexpr FMOD_MODE kPlayMode = 0xC9;

// The fixtures lie in the build folder; Wine shows the Unix root as drive Z:.
std::string Fixture(const std::string& name) {
    std::string path = std::string("Z:") + CODEC_FIXTURE_DIR + "/" + name;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

double ZeroCrossingFrequency(const std::vector<float>& samples, double rate) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            const double at = (i - 1) + samples[i - 1] / (samples[i - 1] - samples[i]);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    }
    return crossings < 2 ? 0 : (crossings - 1) * rate / (last - first);
}

struct ToneFile {
    const char* name;
    FMOD_SOUND_TYPE type;
};

class CompressedPlayback : public ::testing::TestWithParam<ToneFile> {
protected:
    void SetUp() override {
        ASSERT_TRUE(ApiComplete());
        ASSERT_EQ(api.FMOD_System_Create(&system), FMOD_OK);
        ASSERT_EQ(api.FMOD_System_Init(system, 2, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
        ASSERT_EQ(api.FMOD_System_SetStreamBufferSize(system, 2000, FMOD_TIMEUNIT_MS), FMOD_OK);
    }
    void TearDown() override {
        if (system) {
            EXPECT_EQ(api.FMOD_System_Release(system), FMOD_OK);
        }
    }
    unsigned int Position() {
        unsigned int p = 0;
        EXPECT_EQ(api.FMOD_Channel_GetPosition(channel, &p, FMOD_TIMEUNIT_MS), FMOD_OK);
        return p;
    }
    int Playing() {
        FMOD_BOOL playing = -1;
        api.FMOD_Channel_IsPlaying(channel, &playing);
        return playing;
    }

    const FmodexApi& api = Api();
    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND* sound = nullptr;
    FMOD_CHANNEL* channel = nullptr;
};

TEST_P(CompressedPlayback, PlaysTheToneSeeksAndEnds) {
    const ToneFile& file = GetParam();
    ASSERT_EQ(api.FMOD_System_CreateStream(system, Fixture(file.name).c_str(), kPlayMode, nullptr, &sound), FMOD_OK);
    ASSERT_EQ(api.FMOD_System_PlaySound(system, 0, sound, 1, &channel), FMOD_OK);
    FMOD_SOUND_TYPE type;
    FMOD_SOUND_FORMAT format;
    int channels = 0, bits = 0;
    ASSERT_EQ(api.FMOD_Sound_GetFormat(sound, &type, &format, &channels, &bits), FMOD_OK);
    EXPECT_EQ(type, file.type);
    EXPECT_EQ(channels, 2);
    unsigned int length = 0;
    ASSERT_EQ(api.FMOD_Sound_GetLength(sound, &length, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(length, 10000u);

    ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
    ASSERT_TRUE(WaitUntil([&] { return Position() >= 400; }));
    std::vector<float> wave(8192);
    ASSERT_EQ(api.FMOD_Channel_GetWaveData(channel, wave.data(), 8192, 0), FMOD_OK);
    float peak = 0;
    for (float v : wave) peak = std::max(peak, std::fabs(v));
    EXPECT_NEAR(peak, 0.5f, 0.03f) << file.name;
    EXPECT_NEAR(ZeroCrossingFrequency(wave, 44100), 440.0, 2.0) << file.name;

    ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 9000, FMOD_TIMEUNIT_MS), FMOD_OK);
    const unsigned int after = Position();
    EXPECT_GE(after, 9000u);
    EXPECT_LT(after, 9300u);
    ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; })) << file.name;
    EXPECT_EQ(Position(), 10000u);
    EXPECT_EQ(api.FMOD_Sound_Release(sound), FMOD_OK);
}

INSTANTIATE_TEST_SUITE_P(Formats, CompressedPlayback,
                         ::testing::Values(ToneFile{"tone440.mp3", FMOD_SOUND_TYPE_MPEG},
                                           ToneFile{"tone440.flac", FMOD_SOUND_TYPE_FLAC},
                                           ToneFile{"tone440.ogg", FMOD_SOUND_TYPE_OGGVORBIS}),
                         [](const auto& info) { return std::string(info.param.name).substr(8); });

}  // namespace
