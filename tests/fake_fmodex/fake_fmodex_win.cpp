// fmodex.dll for tests: every entry point goes to one FakeLibrary, made at the first call from
// the script beside the DLL, and logs to a file beside it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include <mutex>
#include <string>

#include "fake_library.h"

namespace {

constexpr DWORD kMaxScriptBytes = 1 << 20; // a test script is a few lines; cap what we read

std::string DllFolder() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&DllFolder), &module);
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

// A missing or unreadable script reads as empty: all defaults.
std::string ReadScript(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string text(kMaxScriptBytes, '\0');
    DWORD total = 0;
    DWORD got = 0;
    while (total < kMaxScriptBytes && ReadFile(file, &text[total], kMaxScriptBytes - total, &got, nullptr) && got > 0) {
        total += got;
    }
    CloseHandle(file);
    text.resize(total);
    return text;
}

// Only for CrashKind::Stack; never set, it just keeps the recursion from looking endless.
volatile bool g_stopRecursion = false;

int RecurseWithLargeFrame(int depth) {
    volatile char frame[64 * 1024];
    frame[0] = static_cast<char>(depth);
    if (g_stopRecursion) {
        return 0;
    }
    return RecurseWithLargeFrame(depth + 1) + frame[0];
}

void FaultNow(CrashKind kind, unsigned raiseCode) {
    switch (kind) {
    // Everything volatile, or the compiler drops the dead store and turns the division into
    // arithmetic that cannot fault.
    case CrashKind::Access: {
        volatile int* volatile target = nullptr;
        *target = 1;
        break;
    }
    case CrashKind::Divide: {
        volatile int dividend = 1000;
        volatile int divisor = 0;
        volatile int quotient = dividend / divisor;
        (void)quotient;
        break;
    }
    case CrashKind::Illegal:
        asm volatile("ud2");
        break;
    case CrashKind::Breakpoint:
        asm volatile("int3");
        break;
    case CrashKind::Stack:
        RecurseWithLargeFrame(0);
        break;
    case CrashKind::Raise:
        RaiseException(raiseCode, EXCEPTION_NONCONTINUABLE, 0, nullptr);
        break;
    }
}

class FileAnnouncer : public CallAnnouncer {
public:
    explicit FileAnnouncer(const std::string& path) {
        // Shared for reading, writing and deleting: a test reads the log while the player runs.
        log_ = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~FileAnnouncer() override {
        if (log_ != INVALID_HANDLE_VALUE) {
            CloseHandle(log_);
        }
    }
    FileAnnouncer(const FileAnnouncer&) = delete;
    FileAnnouncer& operator=(const FileAnnouncer&) = delete;

    void WriteLine(const std::string& line) override {
        if (log_ == INVALID_HANDLE_VALUE) {
            return;
        }
        std::string text = line + "\n";
        DWORD written = 0;
        WriteFile(log_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        // WriteFile hands the line to the system at once: it survives a crash of the process.
    }
    void Sleep(unsigned ms) override {
        ::Sleep(ms);
    }
    void Crash(CrashKind kind, unsigned raiseCode) override {
        FaultNow(kind, raiseCode);
    }

private:
    HANDLE log_ = INVALID_HANDLE_VALUE;
};

struct Fake {
    FileAnnouncer announcer;
    FakeLibrary library;
    Fake(const std::string& folder)
        : announcer(folder + "fmodex_calls.log"), library(ParseScript(ReadScript(folder + "fmodex_script.txt")), announcer) {}
};

// Recursive: if a fault handler of the caller calls back in on the same thread after a
// scripted crash, it gets in instead of deadlocking. Held through a scripted sleep.
std::recursive_mutex g_lock;
Fake* g_fake = nullptr;

FakeLibrary& Library() {
    if (!g_fake) {
        g_fake = new Fake(DllFolder());
    }
    return g_fake->library;
}

} // namespace

namespace {

// "fmodex_load_delay.txt" beside the DLL holds milliseconds to wait while the DLL is being
// loaded: a program that loads it early in its start-up is held there (tests of a second
// start that comes while the first is still starting).
void WaitOnLoad() {
    FILE* file = std::fopen((DllFolder() + "fmodex_load_delay.txt").c_str(), "rb");
    if (!file) return;
    char text[16] = {};
    std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    const long ms = std::strtol(text, nullptr, 10);
    // Tells the test that the program is held now, past its earliest start-up steps.
    FILE* started = std::fopen((DllFolder() + "fmodex_load_started.txt").c_str(), "wb");
    if (started) std::fclose(started);
    if (ms > 0) ::Sleep(static_cast<DWORD>(ms < 60000 ? ms : 60000));
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) WaitOnLoad();
    // On FreeLibrary close the log so a test can remove its folder; at process exit leave it.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        delete g_fake;
        g_fake = nullptr;
    }
    return TRUE;
}

#define FAKE_CALL(expression)                                   \
    std::lock_guard<std::recursive_mutex> hold(g_lock);         \
    return Library().expression

extern "C" {

F_EXPORT FMOD_RESULT F_API FMOD_System_Create(FMOD_SYSTEM** system) {
    FAKE_CALL(SystemCreate(system));
}
F_EXPORT FMOD_RESULT F_API FMOD_System_Init(FMOD_SYSTEM* system, int maxchannels, FMOD_INITFLAGS flags,
                                            void* extradriverdata) {
    FAKE_CALL(SystemInit(system, maxchannels, flags, extradriverdata));
}
F_EXPORT FMOD_RESULT F_API FMOD_System_Release(FMOD_SYSTEM* system) {
    FAKE_CALL(SystemRelease(system));
}
F_EXPORT FMOD_RESULT F_API FMOD_System_CreateStream(FMOD_SYSTEM* system, const char* name_or_data, FMOD_MODE mode,
                                                    FMOD_CREATESOUNDEXINFO* exinfo, FMOD_SOUND** sound) {
    FAKE_CALL(SystemCreateStream(system, name_or_data, mode, exinfo, sound));
}
F_EXPORT FMOD_RESULT F_API FMOD_System_PlaySound(FMOD_SYSTEM* system, FMOD_CHANNELINDEX channelid, FMOD_SOUND* sound,
                                                 FMOD_BOOL paused, FMOD_CHANNEL** channel) {
    FAKE_CALL(SystemPlaySound(system, channelid, sound, paused, channel));
}
F_EXPORT FMOD_RESULT F_API FMOD_System_SetStreamBufferSize(FMOD_SYSTEM* system, unsigned int filebuffersize,
                                                           FMOD_TIMEUNIT filebuffersizetype) {
    FAKE_CALL(SystemSetStreamBufferSize(system, filebuffersize, filebuffersizetype));
}
F_EXPORT FMOD_RESULT F_API FMOD_System_GetStreamBufferSize(FMOD_SYSTEM* system, unsigned int* filebuffersize,
                                                           FMOD_TIMEUNIT* filebuffersizetype) {
    FAKE_CALL(SystemGetStreamBufferSize(system, filebuffersize, filebuffersizetype));
}
F_EXPORT FMOD_RESULT F_API FMOD_Sound_Release(FMOD_SOUND* sound) {
    FAKE_CALL(SoundRelease(sound));
}
F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetNumTags(FMOD_SOUND* sound, int* numtags, int* numtagsupdated) {
    FAKE_CALL(SoundGetNumTags(sound, numtags, numtagsupdated));
}
F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetTag(FMOD_SOUND* sound, const char* name, int index, FMOD_TAG* tag) {
    FAKE_CALL(SoundGetTag(sound, name, index, tag));
}
F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetLength(FMOD_SOUND* sound, unsigned int* length, FMOD_TIMEUNIT lengthtype) {
    FAKE_CALL(SoundGetLength(sound, length, lengthtype));
}
F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetFormat(FMOD_SOUND* sound, FMOD_SOUND_TYPE* type, FMOD_SOUND_FORMAT* format,
                                                int* channels, int* bits) {
    FAKE_CALL(SoundGetFormat(sound, type, format, channels, bits));
}
F_EXPORT FMOD_RESULT F_API FMOD_Channel_Stop(FMOD_CHANNEL* channel) {
    FAKE_CALL(ChannelStop(channel));
}
F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetWaveData(FMOD_CHANNEL* channel, float* wavearray, int numvalues,
                                                    int channeloffset) {
    FAKE_CALL(ChannelGetWaveData(channel, wavearray, numvalues, channeloffset));
}
F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetPosition(FMOD_CHANNEL* channel, unsigned int* position,
                                                    FMOD_TIMEUNIT postype) {
    FAKE_CALL(ChannelGetPosition(channel, position, postype));
}
F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetPosition(FMOD_CHANNEL* channel, unsigned int position,
                                                    FMOD_TIMEUNIT postype) {
    FAKE_CALL(ChannelSetPosition(channel, position, postype));
}
F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetPaused(FMOD_CHANNEL* channel, FMOD_BOOL* paused) {
    FAKE_CALL(ChannelGetPaused(channel, paused));
}
F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetPaused(FMOD_CHANNEL* channel, FMOD_BOOL paused) {
    FAKE_CALL(ChannelSetPaused(channel, paused));
}
F_EXPORT FMOD_RESULT F_API FMOD_Channel_IsPlaying(FMOD_CHANNEL* channel, FMOD_BOOL* isplaying) {
    FAKE_CALL(ChannelIsPlaying(channel, isplaying));
}
F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetLoopCount(FMOD_CHANNEL* channel, int loopcount) {
    FAKE_CALL(ChannelSetLoopCount(channel, loopcount));
}
F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetVolume(FMOD_CHANNEL* channel, float volume) {
    FAKE_CALL(ChannelSetVolume(channel, volume));
}
F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetVolume(FMOD_CHANNEL* channel, float* volume) {
    FAKE_CALL(ChannelGetVolume(channel, volume));
}
F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetPriority(FMOD_CHANNEL* channel, int priority) {
    FAKE_CALL(ChannelSetPriority(channel, priority));
}
F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetPriority(FMOD_CHANNEL* channel, int* priority) {
    FAKE_CALL(ChannelGetPriority(channel, priority));
}

} // extern "C"
