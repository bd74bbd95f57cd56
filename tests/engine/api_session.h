#pragma once
// One session as the player holds it, through the entry-point table: a system with a
// 2-second stream buffer, the sound it opened and the channel that plays it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "audio_builders.h"
#include "fmodex_api.h"
#include "wait_until.h"

namespace enginetest {

constexpr FMOD_MODE kPlayMode = 0xC9;

// Frequency from the rising zero crossings of a stretch of samples.
inline double ZeroCrossingFrequency(const std::vector<float>& samples, double rate) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            last = (i - 1) + samples[i - 1] / (samples[i - 1] - samples[i]);
            if (first < 0) first = last;
            ++crossings;
        }
    }
    return crossings < 2 ? 0 : (crossings - 1) * rate / (last - first);
}

inline float Peak(const std::vector<float>& samples) {
    float peak = 0;
    for (float v : samples) peak = std::max(peak, std::fabs(v));
    return peak;
}

// A test's name from a file name: dots become underscores.
inline std::string FileCaseName(std::string file) {
    std::replace(file.begin(), file.end(), '.', '_');
    return file;
}

struct TagView {
    FMOD_TAGTYPE type;
    std::string name, value;
};

class ApiSession : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ApiComplete());
        ASSERT_EQ(api.FMOD_System_Create(&system), FMOD_OK);
        ASSERT_EQ(api.FMOD_System_Init(system, 2, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
        ASSERT_EQ(api.FMOD_System_SetStreamBufferSize(system, 2000, FMOD_TIMEUNIT_MS), FMOD_OK);
    }
    void TearDown() override {
        if (sound) api.FMOD_Sound_Release(sound);  // may be stale already
        if (system) {
            EXPECT_EQ(api.FMOD_System_Release(system), FMOD_OK);
        }
    }

    FMOD_RESULT Open(const std::string& path, FMOD_MODE mode = kPlayMode) {
        return api.FMOD_System_CreateStream(system, path.c_str(), mode, nullptr, &sound);
    }
    // Opens and starts paused or playing, as the player's load does.
    void Load(const std::string& path, bool paused = true) {
        ASSERT_EQ(Open(path), FMOD_OK) << path;
        ASSERT_EQ(api.FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, sound, paused, &channel), FMOD_OK);
    }
    void Release() {
        ASSERT_EQ(api.FMOD_Sound_Release(sound), FMOD_OK);
        sound = nullptr;
    }
    unsigned int Position(FMOD_TIMEUNIT unit = FMOD_TIMEUNIT_MS) {
        unsigned int p = 0;
        api.FMOD_Channel_GetPosition(channel, &p, unit);
        return p;
    }
    int Paused() {
        FMOD_BOOL paused = -1;
        api.FMOD_Channel_GetPaused(channel, &paused);
        return paused;
    }
    int Playing() {
        FMOD_BOOL playing = -1;
        api.FMOD_Channel_IsPlaying(channel, &playing);
        return playing;
    }
    unsigned int Length(FMOD_TIMEUNIT unit = FMOD_TIMEUNIT_MS) {
        unsigned int length = 0;
        EXPECT_EQ(api.FMOD_Sound_GetLength(sound, &length, unit), FMOD_OK);
        return length;
    }
    // The sound's type, sample format, channels and bits.
    std::tuple<FMOD_SOUND_TYPE, FMOD_SOUND_FORMAT, int, int> SoundFormat() {
        std::tuple<FMOD_SOUND_TYPE, FMOD_SOUND_FORMAT, int, int> f{};
        auto& [type, format, channels, bits] = f;
        EXPECT_EQ(api.FMOD_Sound_GetFormat(sound, &type, &format, &channels, &bits), FMOD_OK);
        return f;
    }
    // Seeks the channel to `ms`, plays it and waits until it reaches `untilMs`.
    void PlayFrom(unsigned int ms, unsigned int untilMs) {
        ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, ms, FMOD_TIMEUNIT_MS), FMOD_OK);
        ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
        ASSERT_TRUE(WaitUntil([&] { return Position() >= untilMs; }));
    }
    // Seeks the playing channel to `ms`, waits for its end and gives the frame it stopped at.
    unsigned int EndFrom(unsigned int ms) {
        EXPECT_EQ(api.FMOD_Channel_SetPosition(channel, ms, FMOD_TIMEUNIT_MS), FMOD_OK);
        EXPECT_TRUE(WaitUntil([&] { return Playing() == 0; }));
        return Position(FMOD_TIMEUNIT_PCM);
    }
    // What was heard last on the left of the output; empty when there is none.
    std::vector<float> Wave(int count) {
        std::vector<float> wave(count);
        if (api.FMOD_Channel_GetWaveData(channel, wave.data(), count, 0) != FMOD_OK) wave.clear();
        return wave;
    }
    bool HearsTone(float threshold = 0.2f) { return Peak(Wave(1024)) > threshold; }
    std::vector<TagView> Tags() {
        std::vector<TagView> tags;
        int count = 0;
        if (api.FMOD_Sound_GetNumTags(sound, &count, nullptr) != FMOD_OK) return tags;
        for (int i = 0; i < count; ++i) {
            FMOD_TAG tag{};
            if (api.FMOD_Sound_GetTag(sound, nullptr, i, &tag) != FMOD_OK) continue;
            EXPECT_EQ(tag.datatype, FMOD_TAGDATATYPE_STRING_UTF8);
            const std::string value(static_cast<const char*>(tag.data));
            EXPECT_EQ(tag.datalen, value.size() + 1);
            tags.push_back({tag.type, tag.name, value});
        }
        return tags;
    }
    // The last value of that name, as the player keeps it, and its type.
    std::string Tag(const std::string& name, FMOD_TAGTYPE* type = nullptr) {
        std::string value = "<none>";
        for (const TagView& t : Tags()) {
            if (t.name != name) continue;
            value = t.value;
            if (type) *type = t.type;
        }
        return value;
    }

    std::pair<std::string, FMOD_TAGTYPE> TypedTag(const std::string& name) {
        FMOD_TAGTYPE type = FMOD_TAGTYPE_UNKNOWN;
        std::string value = Tag(name, &type);
        return {value, type};
    }

    const FmodexApi& api = Api();
    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND* sound = nullptr;
    FMOD_CHANNEL* channel = nullptr;
};

}  // namespace enginetest
