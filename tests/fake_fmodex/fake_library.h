#pragma once
// The fake sound library's behaviour, free of Win32: handles, scripted answers and the log
// line of every call. The DLL glue forwards each entry point here.
//
// Every call first decides its result and log line, then hands the line to the announcer
// (which writes it to disk and may sleep or crash), and only then writes the caller's outputs
// or changes its own records, so a bad output pointer faults after its line is on disk.
#include <deque>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "fmodex.h"
#include "script.h"

class CallAnnouncer {
public:
    virtual ~CallAnnouncer() = default;
    virtual void WriteLine(const std::string& line) = 0; // on disk when it returns
    virtual void Sleep(unsigned ms) = 0;
    virtual void Crash(CrashKind kind, unsigned raiseCode) = 0; // returns only if a handler resumes
};

class FakeLibrary {
public:
    // Writes the script's notes first.
    FakeLibrary(Script script, CallAnnouncer& announcer);

    FMOD_RESULT SystemCreate(FMOD_SYSTEM** system);
    FMOD_RESULT SystemInit(FMOD_SYSTEM* system, int maxChannels, FMOD_INITFLAGS flags, void* extraDriverData);
    FMOD_RESULT SystemRelease(FMOD_SYSTEM* system);
    FMOD_RESULT SystemCreateStream(FMOD_SYSTEM* system, const char* path, FMOD_MODE mode, FMOD_CREATESOUNDEXINFO* exinfo,
                                   FMOD_SOUND** sound);
    FMOD_RESULT SystemPlaySound(FMOD_SYSTEM* system, FMOD_CHANNELINDEX index, FMOD_SOUND* sound, FMOD_BOOL paused,
                                FMOD_CHANNEL** channel);
    FMOD_RESULT SystemSetStreamBufferSize(FMOD_SYSTEM* system, unsigned size, FMOD_TIMEUNIT unit);
    FMOD_RESULT SystemGetStreamBufferSize(FMOD_SYSTEM* system, unsigned* size, FMOD_TIMEUNIT* unit);

    FMOD_RESULT SoundRelease(FMOD_SOUND* sound);
    FMOD_RESULT SoundGetNumTags(FMOD_SOUND* sound, int* count, int* updatedCount);
    FMOD_RESULT SoundGetTag(FMOD_SOUND* sound, const char* name, int index, FMOD_TAG* tag);
    FMOD_RESULT SoundGetLength(FMOD_SOUND* sound, unsigned* length, FMOD_TIMEUNIT unit);
    FMOD_RESULT SoundGetFormat(FMOD_SOUND* sound, FMOD_SOUND_TYPE* type, FMOD_SOUND_FORMAT* format, int* channels,
                               int* bits);

    FMOD_RESULT ChannelStop(FMOD_CHANNEL* channel);
    FMOD_RESULT ChannelGetWaveData(FMOD_CHANNEL* channel, float* samples, int count, int channelOffset);
    FMOD_RESULT ChannelGetPosition(FMOD_CHANNEL* channel, unsigned* position, FMOD_TIMEUNIT unit);
    FMOD_RESULT ChannelSetPosition(FMOD_CHANNEL* channel, unsigned position, FMOD_TIMEUNIT unit);
    FMOD_RESULT ChannelGetPaused(FMOD_CHANNEL* channel, FMOD_BOOL* paused);
    FMOD_RESULT ChannelSetPaused(FMOD_CHANNEL* channel, FMOD_BOOL paused);
    FMOD_RESULT ChannelIsPlaying(FMOD_CHANNEL* channel, FMOD_BOOL* playing);
    FMOD_RESULT ChannelSetLoopCount(FMOD_CHANNEL* channel, int loopCount);
    FMOD_RESULT ChannelSetVolume(FMOD_CHANNEL* channel, float volume);
    FMOD_RESULT ChannelGetVolume(FMOD_CHANNEL* channel, float* volume);
    FMOD_RESULT ChannelSetPriority(FMOD_CHANNEL* channel, int priority);
    FMOD_RESULT ChannelGetPriority(FMOD_CHANNEL* channel, int* priority);

private:
    struct SoundRecord {
        int number = 0;
        int section = -1; // index into script_.files; -1: defaults
        std::vector<ScriptTag> tags; // owned here: GetTag hands out pointers into it
        bool released = false;
    };
    // Records are never freed, so a stale handle is still recognised and never reused.
    struct ChannelRecord {
        int number = 0;
        SoundRecord* sound = nullptr;
        bool paused = false;
        bool stopped = false;
        unsigned positionMs = 0;
        float volume = 1.0f;
        int priority = 128;
    };

    // The call as it was made, before the script has had its say.
    struct Call {
        const char* name;
        std::vector<std::string> args;
        int section; // file section the call concerns, -1 for none
    };

    // Counts the call, applies the script's rules to `result`, writes the log line and
    // carries out a scripted sleep or crash. A scripted 0 never turns a failure into success.
    FMOD_RESULT Announce(const Call& call, FMOD_RESULT result);

    const SoundScript& SoundSettings(int section) const;
    std::string SystemText(FMOD_SYSTEM* system) const;
    bool SystemValid(FMOD_SYSTEM* system) const;
    SoundRecord* FindSound(FMOD_SOUND* sound);
    ChannelRecord* FindChannel(FMOD_CHANNEL* channel);
    std::string SoundText(FMOD_SOUND* sound);
    std::string ChannelText(FMOD_CHANNEL* channel);
    int ChannelSection(const ChannelRecord* channel) const;

    Script script_;
    CallAnnouncer& announcer_;
    char systemObject_ = 0; // its address is the system handle
    bool systemCreated_ = false;
    unsigned bufferSize_ = 0;
    FMOD_TIMEUNIT bufferUnit_ = 0;
    std::deque<SoundRecord> sounds_;
    std::deque<ChannelRecord> channels_;
    std::unordered_map<const void*, SoundRecord*> soundByHandle_;
    std::unordered_map<const void*, ChannelRecord*> channelByHandle_;
    std::map<std::string, int> callCounts_;
    std::map<std::pair<int, std::string>, int> fileCallCounts_;
};
