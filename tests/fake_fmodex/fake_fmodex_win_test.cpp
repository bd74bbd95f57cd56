// Loads the built fake fmodex.dll from a folder of its own, as the player does, and checks
// the log it writes beside itself and the answers its script gives. Crashes run in a child
// copy of this program, since a real fault cannot be stepped over.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fmodex.h"

namespace {

std::string ExeFolder() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// The build puts this program in bin\ and the fake in fake\ beside it.
std::string BuiltFakePath() {
    return ExeFolder() + "..\\fake\\fmodex.dll";
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

// A fresh folder holding a copy of the fake and, if given, a script; removed afterwards.
class TestFolder {
public:
    explicit TestFolder(const char* script) {
        static int counter = 0;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "fake_fmodex_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++counter) + "\\";
        CreateDirectoryA(path_.c_str(), nullptr);
        copied_ = CopyFileA(BuiltFakePath().c_str(), (path_ + "fmodex.dll").c_str(), FALSE) != 0;
        if (script) {
            WriteFile(path_ + "fmodex_script.txt", script);
        }
    }
    ~TestFolder() {
        for (const char* name : {"fmodex.dll", "fmodex_script.txt", "fmodex_calls.log"}) {
            DeleteFileA((path_ + name).c_str());
        }
        RemoveDirectoryA(path_.c_str());
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& Path() const { return path_; }
    bool Copied() const { return copied_; }
    std::vector<std::string> LogLines() const { return ReadLines(path_ + "fmodex_calls.log"); }

private:
    std::string path_;
    bool copied_ = false;
};

const char* const kEntryPoints[] = {
    "FMOD_System_Create", "FMOD_System_Init", "FMOD_System_Release", "FMOD_System_CreateStream",
    "FMOD_System_PlaySound", "FMOD_System_SetStreamBufferSize", "FMOD_System_GetStreamBufferSize",
    "FMOD_Sound_Release", "FMOD_Sound_GetNumTags", "FMOD_Sound_GetTag", "FMOD_Sound_GetLength",
    "FMOD_Sound_GetFormat", "FMOD_Channel_Stop", "FMOD_Channel_GetWaveData", "FMOD_Channel_GetPosition",
    "FMOD_Channel_SetPosition", "FMOD_Channel_GetPaused", "FMOD_Channel_SetPaused", "FMOD_Channel_IsPlaying",
    "FMOD_Channel_SetLoopCount", "FMOD_Channel_SetVolume", "FMOD_Channel_GetVolume",
    "FMOD_Channel_SetPriority", "FMOD_Channel_GetPriority",
};

// One loaded copy with the entry points these tests call; unloaded when it goes.
struct FakeApi {
    HMODULE module = nullptr;
    decltype(&FMOD_System_Create) SystemCreate = nullptr;
    decltype(&FMOD_System_Init) SystemInit = nullptr;
    decltype(&FMOD_System_CreateStream) SystemCreateStream = nullptr;
    decltype(&FMOD_System_PlaySound) SystemPlaySound = nullptr;
    decltype(&FMOD_System_SetStreamBufferSize) SystemSetStreamBufferSize = nullptr;
    decltype(&FMOD_Sound_GetTag) SoundGetTag = nullptr;
    decltype(&FMOD_Sound_GetLength) SoundGetLength = nullptr;
    decltype(&FMOD_Channel_Stop) ChannelStop = nullptr;
    decltype(&FMOD_Channel_IsPlaying) ChannelIsPlaying = nullptr;
    decltype(&FMOD_Channel_SetVolume) ChannelSetVolume = nullptr;
    decltype(&FMOD_Channel_SetPriority) ChannelSetPriority = nullptr;
    bool complete = false;

    explicit FakeApi(const std::string& folder) {
        module = LoadLibraryA((folder + "fmodex.dll").c_str());
        complete = module != nullptr;
        Resolve(SystemCreate, "FMOD_System_Create");
        Resolve(SystemInit, "FMOD_System_Init");
        Resolve(SystemCreateStream, "FMOD_System_CreateStream");
        Resolve(SystemPlaySound, "FMOD_System_PlaySound");
        Resolve(SystemSetStreamBufferSize, "FMOD_System_SetStreamBufferSize");
        Resolve(SoundGetTag, "FMOD_Sound_GetTag");
        Resolve(SoundGetLength, "FMOD_Sound_GetLength");
        Resolve(ChannelStop, "FMOD_Channel_Stop");
        Resolve(ChannelIsPlaying, "FMOD_Channel_IsPlaying");
        Resolve(ChannelSetVolume, "FMOD_Channel_SetVolume");
        Resolve(ChannelSetPriority, "FMOD_Channel_SetPriority");
    }
    ~FakeApi() {
        if (module) {
            FreeLibrary(module);
        }
    }
    FakeApi(const FakeApi&) = delete;
    FakeApi& operator=(const FakeApi&) = delete;

private:
    template <typename Function>
    void Resolve(Function& function, const char* name) {
        FARPROC address = module ? GetProcAddress(module, name) : nullptr;
        function = reinterpret_cast<Function>(reinterpret_cast<void*>(address));
        complete = complete && function;
    }
};

// The child's part of a crash test: the same calls every time, the script decides the fault.
const char kCrashChildFlag[] = "--crash-child ";

LONG CALLBACK EndWithExceptionCode(EXCEPTION_POINTERS* pointers) {
    TerminateProcess(GetCurrentProcess(), pointers->ExceptionRecord->ExceptionCode);
    return EXCEPTION_CONTINUE_SEARCH;
}

void RunCrashChild(const std::string& folder) {
    AddVectoredExceptionHandler(1, EndWithExceptionCode);
    FakeApi api(folder);
    if (!api.complete) {
        ExitProcess(2);
    }
    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND* sound = nullptr;
    FMOD_CHANNEL* channel = nullptr;
    api.SystemCreate(&system);
    api.SystemCreateStream(system, "a.mp3", 0xC9, nullptr, &sound);
    api.SystemPlaySound(system, 0, sound, 1, &channel);
    api.ChannelSetVolume(channel, 0.5f);
    ExitProcess(1); // the fault did not happen
}

// Runs before GoogleTest's main: a child started with the flag never gets to the tests.
const bool g_isCrashChild = [] {
    std::string commandLine = GetCommandLineA();
    size_t flag = commandLine.find(kCrashChildFlag);
    if (flag != std::string::npos) {
        RunCrashChild(commandLine.substr(flag + sizeof kCrashChildFlag - 1));
    }
    return false;
}();

// Starts the child on `folder` and gives its exit code; STILL_ACTIVE if it had to be killed.
DWORD RunChildOn(const std::string& folder) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string commandLine = "\"" + std::string(exe) + "\" " + kCrashChildFlag + folder;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(exe, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return 0xFFFFFFFF;
    }
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        TerminateProcess(process.hProcess, 3);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

} // namespace

TEST(FakeDll, ExportsAllEntryPointsUnderTheirPlainNames) {
    TestFolder folder(nullptr);
    ASSERT_TRUE(folder.Copied()) << BuiltFakePath();
    HMODULE module = LoadLibraryA((folder.Path() + "fmodex.dll").c_str());
    ASSERT_NE(module, nullptr);
    for (const char* name : kEntryPoints) {
        EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
    }
    FreeLibrary(module);
}

TEST(FakeDll, WithoutScriptLogsEveryCallAndAnswersDefaults) {
    TestFolder folder(nullptr);
    FakeApi api(folder.Path());
    ASSERT_TRUE(api.complete);
    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND* sound = nullptr;
    FMOD_SOUND* missing = reinterpret_cast<FMOD_SOUND*>(1);
    FMOD_CHANNEL* channel = nullptr;
    FMOD_BOOL playing = 0;
    EXPECT_EQ(api.SystemCreate(&system), FMOD_OK);
    EXPECT_NE(system, nullptr);
    EXPECT_EQ(api.SystemInit(system, 2, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
    EXPECT_EQ(api.SystemSetStreamBufferSize(system, 2000, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(api.SystemCreateStream(system, "C:\\x\\a.mp3", 0xC9, nullptr, &sound), FMOD_OK);
    EXPECT_NE(sound, nullptr);
    EXPECT_EQ(api.SystemCreateStream(system, "", 0xC9, nullptr, &missing), FMOD_ERR_FILE_NOTFOUND);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(api.SystemPlaySound(system, 0, sound, 1, &channel), FMOD_OK);
    EXPECT_EQ(api.ChannelSetVolume(channel, 0.75f), FMOD_OK);
    EXPECT_EQ(api.ChannelIsPlaying(channel, &playing), FMOD_OK);
    EXPECT_EQ(playing, 1);
    EXPECT_EQ(api.ChannelIsPlaying(channel, nullptr), FMOD_ERR_INVALID_PARAM);
    EXPECT_EQ(api.ChannelStop(reinterpret_cast<FMOD_CHANNEL*>(sound)), FMOD_ERR_INVALID_HANDLE);

    // Read while the library is loaded and holds the log open.
    EXPECT_EQ(folder.LogLines(),
              (std::vector<std::string>{
                  "FMOD_System_Create(&) = 0",
                  "FMOD_System_Init(system, 2, 0, null) = 0",
                  "FMOD_System_SetStreamBufferSize(system, 2000, 1) = 0",
                  "FMOD_System_CreateStream(system, \"C:\\\\x\\\\a.mp3\", 0xc9, null, &) = 0",
                  "FMOD_System_CreateStream(system, \"\", 0xc9, null, &) = 23",
                  "FMOD_System_PlaySound(system, 0, sound1, 1, &) = 0",
                  "FMOD_Channel_SetVolume(channel1, 0.75) = 0",
                  "FMOD_Channel_IsPlaying(channel1, &) = 0",
                  "FMOD_Channel_IsPlaying(channel1, null) = 37",
                  "FMOD_Channel_Stop(bad) = 36",
              }));
}

TEST(FakeDll, ScriptBesideTheDllDrivesTheAnswers) {
    TestFolder folder("# a track with tags\n"
                      "length 312000 5000000\n"
                      "tag 2 ARTIST M\\xf6we\n"
                      "result FMOD_Channel_SetPriority#2 19\n"
                      "file C:\\Radio Stream.pls\n"
                      "playing 0\n");
    FakeApi api(folder.Path());
    ASSERT_TRUE(api.complete);
    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND* track = nullptr;
    FMOD_SOUND* radio = nullptr;
    FMOD_CHANNEL* channel = nullptr;
    FMOD_CHANNEL* radioChannel = nullptr;
    api.SystemCreate(&system);
    ASSERT_EQ(api.SystemCreateStream(system, "C:\\track.mp3", 0xC9, nullptr, &track), FMOD_OK);
    ASSERT_EQ(api.SystemCreateStream(system, "C:\\Radio Stream.pls", 0x2000, nullptr, &radio), FMOD_OK);
    ASSERT_EQ(api.SystemPlaySound(system, 0, track, 1, &channel), FMOD_OK);
    ASSERT_EQ(api.SystemPlaySound(system, 0, radio, 1, &radioChannel), FMOD_OK);

    unsigned ms = 0;
    EXPECT_EQ(api.SoundGetLength(track, &ms, FMOD_TIMEUNIT_MS), FMOD_OK);
    EXPECT_EQ(ms, 312000u);
    FMOD_TAG tag = {};
    ASSERT_EQ(api.SoundGetTag(track, nullptr, 0, &tag), FMOD_OK);
    EXPECT_STREQ(tag.name, "ARTIST");
    EXPECT_EQ(std::string(static_cast<const char*>(tag.data), tag.datalen), "M\xf6we");
    EXPECT_EQ(api.ChannelSetPriority(channel, 256), FMOD_OK);
    EXPECT_EQ(api.ChannelSetPriority(channel, 256), 19);

    FMOD_BOOL playing = -1;
    EXPECT_EQ(api.ChannelIsPlaying(channel, &playing), FMOD_OK);
    EXPECT_EQ(playing, 1);
    EXPECT_EQ(api.ChannelIsPlaying(radioChannel, &playing), FMOD_OK);
    EXPECT_EQ(playing, 0) << "the file section's answer";
    EXPECT_EQ(folder.LogLines().at(2),
              "FMOD_System_CreateStream(system, \"C:\\\\Radio Stream.pls\", 0x2000, null, &) = 0");
}

TEST(FakeDll, ScriptNotesLeadTheLogAndItIsAppendedAcrossLoads) {
    TestFolder folder("louder please\n");
    for (int load = 0; load < 2; load++) {
        FakeApi api(folder.Path());
        ASSERT_TRUE(api.complete);
        FMOD_SYSTEM* system = nullptr;
        api.SystemCreate(&system);
    }
    EXPECT_EQ(folder.LogLines(), (std::vector<std::string>{"# unknown directive: louder please",
                                                           "FMOD_System_Create(&) = 0",
                                                           "# unknown directive: louder please",
                                                           "FMOD_System_Create(&) = 0"}));
}

TEST(FakeDll, ScriptedSleepHoldsTheCall) {
    TestFolder folder("sleep FMOD_System_Init 300\n");
    FakeApi api(folder.Path());
    ASSERT_TRUE(api.complete);
    FMOD_SYSTEM* system = nullptr;
    api.SystemCreate(&system);
    ULONGLONG before = GetTickCount64();
    EXPECT_EQ(api.SystemInit(system, 2, 0, nullptr), FMOD_OK);
    EXPECT_GE(GetTickCount64() - before, 250u);
}

TEST(FakeDllCrash, EachKindFaultsWithItsExceptionCode) {
    struct Case {
        const char* kind;
        DWORD code;
    } cases[] = {
        {"", 0xC0000005},        {"access", 0xC0000005},  {"divide", 0xC0000094},
        {"illegal", 0xC000001D}, {"breakpoint", 0x80000003}, {"stack", 0xC00000FD},
        {"raise E0001234", 0xE0001234},
    };
    for (const Case& c : cases) {
        std::string script = std::string("crash FMOD_Channel_SetVolume ") + c.kind + "\n";
        TestFolder folder(script.c_str());
        DWORD exitCode = RunChildOn(folder.Path());
        EXPECT_EQ(exitCode, c.code) << c.kind;
        std::vector<std::string> lines = folder.LogLines();
        ASSERT_FALSE(lines.empty()) << c.kind;
        EXPECT_EQ(lines.back(), "FMOD_Channel_SetVolume(channel1, 0.5) = crash") << c.kind;
    }
}

TEST(FakeDllCrash, NumberedCrashSparesTheEarlierCalls) {
    TestFolder folder("crash FMOD_System_CreateStream#1 divide\n");
    EXPECT_EQ(RunChildOn(folder.Path()), 0xC0000094u);
    EXPECT_EQ(folder.LogLines(), (std::vector<std::string>{
                                     "FMOD_System_Create(&) = 0",
                                     "FMOD_System_CreateStream(system, \"a.mp3\", 0xc9, null, &) = crash",
                                 }));
}
