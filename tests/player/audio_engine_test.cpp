#include "playback/audio_engine.h"

#include <gtest/gtest.h>

// Each name must land in its own slot: a swapped pair would call the wrong function.
TEST(AudioEngine, EachIndexFillsItsOwnEntryPoint) {
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

TEST(AudioEngine, AnyMissingEntryPointMeansNotResolved) {
    static int marker;
    for (int missing = 0; missing < kEntryPointCount; ++missing) {
        AudioEngine engine;
        for (int i = 0; i < kEntryPointCount; ++i) SetEntryPoint(engine, i, i == missing ? nullptr : &marker);
        EXPECT_FALSE(AllEntryPointsResolved(engine)) << kEntryPointNames[missing];
    }
    AudioEngine engine;
    SetEntryPoint(engine, -1, &marker);
    SetEntryPoint(engine, kEntryPointCount, &marker);
    EXPECT_FALSE(HasEntryPoint(engine, -1));
    EXPECT_FALSE(HasEntryPoint(engine, kEntryPointCount));
}
