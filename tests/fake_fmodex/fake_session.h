#pragma once
// Test doubles shared by the fake library's native tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_library.h"

// Records what the library asks of the DLL glue, in order.
class RecordingAnnouncer : public CallAnnouncer {
public:
    std::vector<std::string> events;
    std::vector<std::string> lines;
    void WriteLine(const std::string& line) override {
        events.push_back(line);
        lines.push_back(line);
    }
    void Sleep(unsigned ms) override {
        events.push_back("sleep " + std::to_string(ms));
    }
    void Crash(CrashKind kind, unsigned raiseCode) override {
        events.push_back("crash " + std::to_string(static_cast<int>(kind)) + " " + std::to_string(raiseCode));
    }
};

// A library with a created system, as the player has it after start-up.
struct Session {
    RecordingAnnouncer log;
    std::unique_ptr<FakeLibrary> library;
    FMOD_SYSTEM* system = nullptr;

    explicit Session(const char* script) {
        library = std::make_unique<FakeLibrary>(ParseScript(script), log);
        EXPECT_EQ(library->SystemCreate(&system), FMOD_OK);
        log.events.clear();
        log.lines.clear();
    }
    FMOD_SOUND* Open(const char* path) {
        FMOD_SOUND* sound = nullptr;
        EXPECT_EQ(library->SystemCreateStream(system, path, 0xC9, nullptr, &sound), FMOD_OK);
        return sound;
    }
    FMOD_CHANNEL* Play(FMOD_SOUND* sound) {
        FMOD_CHANNEL* channel = nullptr;
        EXPECT_EQ(library->SystemPlaySound(system, 0, sound, 1, &channel), FMOD_OK);
        return channel;
    }
    std::string LastLine() const {
        return log.lines.empty() ? "" : log.lines.back();
    }
};

inline FMOD_SOUND* const kGarbageSound = reinterpret_cast<FMOD_SOUND*>(0x1234);
inline FMOD_CHANNEL* const kGarbageChannel = reinterpret_cast<FMOD_CHANNEL*>(0x5678);
