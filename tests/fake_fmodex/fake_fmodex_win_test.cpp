// What the end-to-end tests take on trust from the fake: file sections and their answers,
// numbered rules, tag bytes, and notes on script lines it did not take. The faults and the
// plain log lines are shown by the end-to-end tests themselves.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "fmodex.h"

// The build puts this program in bin\ and the fake in fake\ beside it.
TEST(FakeDll, ScriptDrivesAnswersPerFileAndTheLogShowsEveryCall) {
    char exe[MAX_PATH] = {};
    std::string folder(exe, GetModuleFileNameA(nullptr, exe, MAX_PATH));
    folder = folder.substr(0, folder.find_last_of("\\/") + 1);
    std::string fake = folder + "..\\fake\\fmodex.dll";
    folder += "fake_fmodex_test\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA((folder + "fmodex_calls.log").c_str());
    ASSERT_TRUE(CopyFileA(fake.c_str(), (folder + "fmodex.dll").c_str(), FALSE)) << fake;
    std::ofstream(folder + "fmodex_script.txt") << "# comment\n"
                                                   "length 5000 80000\n"
                                                   "result FMOD_Channel_SetVolume#2 19\n"
                                                   "louder please\n"
                                                   "crash FMOD_System_Inti\n"
                                                   "file C:\\m\\b c.mp3\n"
                                                   "position 4000\n"
                                                   "playing 0\n"
                                                   "tag 2 TITLE Zw\\xc3\\xb6lf\\sA \n"
                                                   "result FMOD_Channel_IsPlaying 0\n";
    HMODULE module = LoadLibraryA((folder + "fmodex.dll").c_str());
    ASSERT_NE(module, nullptr);
#define FAKE(name) reinterpret_cast<decltype(&name)>(reinterpret_cast<void*>(GetProcAddress(module, #name)))
    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND *a = nullptr, *b = nullptr;
    FMOD_CHANNEL *first = nullptr, *second = nullptr;
    unsigned positionB = 0, length = 0;
    FMOD_BOOL playingB = 1, playingReleased = 1;
    FMOD_TAG tag = {};
    EXPECT_EQ(FAKE(FMOD_System_Create)(&system), FMOD_OK);
    EXPECT_EQ(FAKE(FMOD_System_CreateStream)(system, "C:\\m\\a.mp3", 0xC9, nullptr, &a), FMOD_OK);
    EXPECT_EQ(FAKE(FMOD_System_CreateStream)(system, "C:\\m\\b c.mp3", 0x2000, nullptr, &b), FMOD_OK);
    EXPECT_EQ(FAKE(FMOD_System_PlaySound)(system, 0, a, 1, &first), FMOD_OK);
    EXPECT_EQ(FAKE(FMOD_System_PlaySound)(system, 0, b, 1, &second), FMOD_OK);
    EXPECT_EQ(FAKE(FMOD_Channel_SetVolume)(first, 0.5f), FMOD_OK);
    EXPECT_EQ(FAKE(FMOD_Channel_SetVolume)(second, 0.75f), 19);
    EXPECT_EQ(FAKE(FMOD_Channel_GetPosition)(second, &positionB, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(FAKE(FMOD_Channel_IsPlaying)(second, &playingB), FMOD_OK);
    EXPECT_EQ(FAKE(FMOD_Sound_GetTag)(b, nullptr, 0, &tag), FMOD_OK);
    EXPECT_EQ(FAKE(FMOD_Sound_GetLength)(b, &length, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(FAKE(FMOD_Sound_Release)(a), FMOD_OK);
    EXPECT_EQ(FAKE(FMOD_Channel_IsPlaying)(first, &playingReleased), FMOD_OK);
    EXPECT_EQ(FAKE(FMOD_Channel_SetPaused)(reinterpret_cast<FMOD_CHANNEL*>(a), 1), FMOD_ERR_INVALID_HANDLE);
#undef FAKE

    EXPECT_EQ(positionB, 4000u);
    EXPECT_EQ(playingB, 0);
    EXPECT_EQ(playingReleased, 0);
    EXPECT_EQ(length, 5000u) << "a file section starts from the lines before it";
    EXPECT_EQ(std::string(tag.name) + "=" + std::string(static_cast<const char*>(tag.data), tag.datalen),
              "TITLE=Zw\xc3\xb6lf A ");
    FreeLibrary(module);
    std::ifstream log(folder + "fmodex_calls.log", std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "# not understood: louder please",
                         "# not understood: result FMOD_Channel_IsPlaying 0",
                         "# unknown entry point: FMOD_System_Inti",
                         "FMOD_System_Create(&) = 0",
                         "FMOD_System_CreateStream(system, \"C:\\\\m\\\\a.mp3\", 0xc9, null, &) = 0",
                         "FMOD_System_CreateStream(system, \"C:\\\\m\\\\b c.mp3\", 0x2000, null, &) = 0",
                         "FMOD_System_PlaySound(system, 0, sound1, 1, &) = 0",
                         "FMOD_System_PlaySound(system, 0, sound2, 1, &) = 0",
                         "FMOD_Channel_SetVolume(channel1, 0.5) = 0",
                         "FMOD_Channel_SetVolume(channel2, 0.75) = 19",
                         "FMOD_Channel_GetPosition(channel2, &, 1) = 0",
                         "FMOD_Channel_IsPlaying(channel2, &) = 0",
                         "FMOD_Sound_GetTag(sound2, null, 0, &) = 0",
                         "FMOD_Sound_GetLength(sound2, &, 1) = 0",
                         "FMOD_Sound_Release(sound1) = 0",
                         "FMOD_Channel_IsPlaying(channel1, &) = 0",
                         "FMOD_Channel_SetPaused(bad, 1) = 36",
                     }));
}
