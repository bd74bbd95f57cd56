#include "fake_library.h"

#include "call_text.h"
#include "rules.h"

FakeLibrary::FakeLibrary(Script script, CallAnnouncer& announcer)
    : script_(std::move(script)), announcer_(announcer) {
    for (const std::string& note : script_.notes) {
        announcer_.WriteLine(note);
    }
}

FMOD_RESULT FakeLibrary::Announce(const Call& call, FMOD_RESULT result) {
    RuleOutcome outcome;
    ApplyRules(script_.rules, call.name, ++callCounts_[call.name], outcome);
    if (call.section >= 0) {
        int fileCount = ++fileCallCounts_[{call.section, call.name}];
        ApplyRules(script_.files[call.section].rules, call.name, fileCount, outcome);
    }
    if (outcome.hasResult && (outcome.code != FMOD_OK || result == FMOD_OK)) {
        result = static_cast<FMOD_RESULT>(outcome.code);
    }
    if (outcome.crashes) {
        announcer_.WriteLine(CallLine(call.name, call.args, "crash"));
        announcer_.Crash(outcome.crash, outcome.raiseCode);
        return result; // only reached when the announcer is a test double
    }
    announcer_.WriteLine(CallLine(call.name, call.args, std::to_string(result)));
    if (outcome.sleeps) {
        announcer_.Sleep(outcome.sleepMs);
    }
    return result;
}

const SoundScript& FakeLibrary::SoundSettings(int section) const {
    return section >= 0 ? script_.files[section].sound : script_.defaults;
}

bool FakeLibrary::SystemValid(FMOD_SYSTEM* system) const {
    return systemCreated_ && static_cast<const void*>(system) == &systemObject_;
}

std::string FakeLibrary::SystemText(FMOD_SYSTEM* system) const {
    if (!system) {
        return "null";
    }
    return static_cast<const void*>(system) == &systemObject_ ? "system" : "bad";
}

FakeLibrary::SoundRecord* FakeLibrary::FindSound(FMOD_SOUND* sound) {
    auto found = soundByHandle_.find(sound);
    return found == soundByHandle_.end() ? nullptr : found->second;
}

FakeLibrary::ChannelRecord* FakeLibrary::FindChannel(FMOD_CHANNEL* channel) {
    auto found = channelByHandle_.find(channel);
    return found == channelByHandle_.end() ? nullptr : found->second;
}

std::string FakeLibrary::SoundText(FMOD_SOUND* sound) {
    SoundRecord* record = FindSound(sound);
    return HandleText("sound", !sound ? 0 : record ? record->number : -1);
}

std::string FakeLibrary::ChannelText(FMOD_CHANNEL* channel) {
    ChannelRecord* record = FindChannel(channel);
    return HandleText("channel", !channel ? 0 : record ? record->number : -1);
}

int FakeLibrary::ChannelSection(const ChannelRecord* channel) const {
    return channel && channel->sound ? channel->sound->section : -1;
}

FMOD_RESULT FakeLibrary::SystemCreate(FMOD_SYSTEM** system) {
    Call call{"FMOD_System_Create", {PointerText(system)}, -1};
    FMOD_RESULT result = Announce(call, system ? FMOD_OK : FMOD_ERR_INVALID_PARAM);
    if (result == FMOD_OK) {
        systemCreated_ = true;
        *system = reinterpret_cast<FMOD_SYSTEM*>(&systemObject_);
    }
    return result;
}

FMOD_RESULT FakeLibrary::SystemInit(FMOD_SYSTEM* system, int maxChannels, FMOD_INITFLAGS flags,
                                    void* extraDriverData) {
    Call call{"FMOD_System_Init",
              {SystemText(system), std::to_string(maxChannels), std::to_string(flags), PointerText(extraDriverData)},
              -1};
    return Announce(call, SystemValid(system) ? FMOD_OK : FMOD_ERR_INVALID_HANDLE);
}

FMOD_RESULT FakeLibrary::SystemRelease(FMOD_SYSTEM* system) {
    Call call{"FMOD_System_Release", {SystemText(system)}, -1};
    FMOD_RESULT result = Announce(call, SystemValid(system) ? FMOD_OK : FMOD_ERR_INVALID_HANDLE);
    if (result == FMOD_OK) {
        systemCreated_ = false;
    }
    return result;
}

FMOD_RESULT FakeLibrary::SystemCreateStream(FMOD_SYSTEM* system, const char* path, FMOD_MODE mode,
                                            FMOD_CREATESOUNDEXINFO* exinfo, FMOD_SOUND** sound) {
    int section = path ? FindFileSection(script_, path) : -1;
    Call call{"FMOD_System_CreateStream",
              {SystemText(system), QuotedText(path), HexText(mode), PointerText(exinfo), PointerText(sound)},
              section};
    FMOD_RESULT result = FMOD_OK;
    if (!SystemValid(system)) {
        result = FMOD_ERR_INVALID_HANDLE;
    } else if (!sound) {
        result = FMOD_ERR_INVALID_PARAM;
    } else if (!path || !*path) {
        result = FMOD_ERR_FILE_NOTFOUND;
    }
    result = Announce(call, result);
    if (result != FMOD_OK) {
        if (sound) {
            *sound = nullptr;
        }
        return result;
    }
    SoundRecord& record = sounds_.emplace_back();
    record.number = static_cast<int>(sounds_.size());
    record.section = section;
    record.tags = SoundSettings(section).tags;
    soundByHandle_[&record] = &record;
    *sound = reinterpret_cast<FMOD_SOUND*>(&record);
    return result;
}

FMOD_RESULT FakeLibrary::SystemPlaySound(FMOD_SYSTEM* system, FMOD_CHANNELINDEX index, FMOD_SOUND* sound,
                                         FMOD_BOOL paused, FMOD_CHANNEL** channel) {
    SoundRecord* record = FindSound(sound);
    Call call{"FMOD_System_PlaySound",
              {SystemText(system), std::to_string(index), SoundText(sound), std::to_string(paused),
               PointerText(channel)},
              record ? record->section : -1};
    FMOD_RESULT result = FMOD_OK;
    if (!SystemValid(system)) {
        result = FMOD_ERR_INVALID_HANDLE;
    } else if (!sound || !channel) {
        result = FMOD_ERR_INVALID_PARAM;
    } else if (!record || record->released) {
        result = FMOD_ERR_INVALID_HANDLE;
    }
    result = Announce(call, result);
    if (result != FMOD_OK) {
        return result;
    }
    ChannelRecord& created = channels_.emplace_back();
    created.number = static_cast<int>(channels_.size());
    created.sound = record;
    created.positionMs = SoundSettings(record->section).positionMs;
    // The script's `paused` is the state before this; PlaySound's own argument replaces it.
    created.paused = paused != 0;
    channelByHandle_[&created] = &created;
    *channel = reinterpret_cast<FMOD_CHANNEL*>(&created);
    return result;
}

FMOD_RESULT FakeLibrary::SystemSetStreamBufferSize(FMOD_SYSTEM* system, unsigned size, FMOD_TIMEUNIT unit) {
    Call call{"FMOD_System_SetStreamBufferSize", {SystemText(system), std::to_string(size), std::to_string(unit)}, -1};
    FMOD_RESULT result = Announce(call, SystemValid(system) ? FMOD_OK : FMOD_ERR_INVALID_HANDLE);
    if (result == FMOD_OK) {
        bufferSize_ = size;
        bufferUnit_ = unit;
    }
    return result;
}

FMOD_RESULT FakeLibrary::SystemGetStreamBufferSize(FMOD_SYSTEM* system, unsigned* size, FMOD_TIMEUNIT* unit) {
    Call call{"FMOD_System_GetStreamBufferSize", {SystemText(system), PointerText(size), PointerText(unit)}, -1};
    FMOD_RESULT result = FMOD_OK;
    if (!SystemValid(system)) {
        result = FMOD_ERR_INVALID_HANDLE;
    } else if (!size || !unit) {
        result = FMOD_ERR_INVALID_PARAM;
    }
    unsigned currentSize = bufferSize_;
    FMOD_TIMEUNIT currentUnit = bufferUnit_;
    result = Announce(call, result);
    if (result == FMOD_OK) {
        *size = currentSize;
        *unit = currentUnit;
    }
    return result;
}
