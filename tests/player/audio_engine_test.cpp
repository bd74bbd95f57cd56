#include "playback/audio_engine.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(AudioEngine, TwentyFourDistinctEntryPointNames) {
    std::set<std::string> names;
    for (const char* name : kEntryPointNames) {
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(std::string(name).rfind("FMOD_", 0), 0u) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 24u);
    EXPECT_STREQ(kEntryPointNames[0], "FMOD_System_Create");
    EXPECT_STREQ(kEntryPointNames[23], "FMOD_Channel_GetPriority");
}

TEST(AudioEngine, EachNameFillsItsOwnEntryPoint) {
    static int marker[kEntryPointCount];
    AudioEngine engine;
    for (int i = 0; i < kEntryPointCount; ++i) SetEntryPoint(engine, i, &marker[i]);
    EXPECT_EQ(reinterpret_cast<void*>(engine.System_Create), &marker[0]);
    EXPECT_EQ(reinterpret_cast<void*>(engine.Channel_GetWaveData), &marker[6]);
    EXPECT_EQ(reinterpret_cast<void*>(engine.Sound_GetTag), &marker[14]);
    EXPECT_EQ(reinterpret_cast<void*>(engine.System_SetStreamBufferSize), &marker[19]);
    EXPECT_EQ(reinterpret_cast<void*>(engine.Channel_GetPriority), &marker[23]);
    EXPECT_TRUE(AllEntryPointsResolved(engine));
}

TEST(AudioEngine, OneMissingEntryPointMeansNotResolved) {
    static int marker;
    for (int missing = 0; missing < kEntryPointCount; ++missing) {
        AudioEngine engine;
        for (int i = 0; i < kEntryPointCount; ++i) SetEntryPoint(engine, i, i == missing ? nullptr : &marker);
        EXPECT_FALSE(AllEntryPointsResolved(engine)) << kEntryPointNames[missing];
        EXPECT_FALSE(HasEntryPoint(engine, missing));
    }
}

TEST(AudioEngine, IndexOutsideTheTableIsIgnored) {
    static int marker;
    AudioEngine engine;
    SetEntryPoint(engine, -1, &marker);
    SetEntryPoint(engine, kEntryPointCount, &marker);
    EXPECT_FALSE(HasEntryPoint(engine, -1));
    EXPECT_FALSE(HasEntryPoint(engine, kEntryPointCount));
    EXPECT_FALSE(AllEntryPointsResolved(engine));
}
