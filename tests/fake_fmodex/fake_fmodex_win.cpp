// fmodex.dll for tests: every call is written to a log beside the DLL and answered as the
// script beside it says. Each call first decides its result and writes its line, and only
// then faults or touches the caller's outputs, so the line is on disk whatever follows.
#include <windows.h>

#include <cstdio>
#include <deque>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "fmodex.h"
#include "script.h"

namespace {

HMODULE Self() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&Self), &module);
    return module;
}

std::string DllFolder() {
    char path[MAX_PATH] = {};
    std::string folder(path, GetModuleFileNameA(Self(), path, MAX_PATH));
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// "fmodex_load_delay.txt" beside the DLL holds milliseconds to wait while the DLL is being
// loaded, which holds the loading program early in its start-up; "fmodex_load_started.txt"
// tells the test that the wait has begun.
void WaitOnLoad() {
    std::ifstream delay(DllFolder() + "fmodex_load_delay.txt");
    unsigned ms = 0;
    if (!(delay >> ms)) return;
    std::ofstream(DllFolder() + "fmodex_load_started.txt");
    ::Sleep(ms < 60000 ? ms : 60000);
}

// Only for Fault::Access and Divide: volatile, or the compiler drops the faulting operation.
volatile int* volatile g_nowhere = nullptr;
volatile int g_zero = 0;

void FaultNow(const Rule& rule) {
    if (rule.fault == Fault::Access) *g_nowhere = 1;
    if (rule.fault == Fault::Divide) g_zero = 1000 / g_zero;
    if (rule.fault == Fault::Raise) RaiseException(rule.raiseCode, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

// Records are never freed, so a stale handle is still known and never reused.
struct SoundRecord {
    const SoundScript* script = nullptr;
    bool released = false;
};

// Channels stay valid for good; after their sound is released they no longer play.
struct ChannelRecord {
    SoundRecord* sound = nullptr;
    bool paused = false;
    unsigned positionMs = 0;
};

struct Fake {
    Script script;
    HANDLE log = INVALID_HANDLE_VALUE;
    bool systemCreated = false;
    std::deque<SoundRecord> sounds;
    std::deque<ChannelRecord> channels;
    std::map<std::string, unsigned> callCounts;
};

Fake* g_fake = nullptr;
// Recursive: a fault handler of the caller that calls back in after a scripted crash gets in.
std::recursive_mutex g_lock;

void WriteLine(const std::string& line) {
    DWORD written = 0;
    // WriteFile hands the line to the system at once: it outlives a crash of the process.
    WriteFile(g_fake->log, (line + "\n").data(), static_cast<DWORD>(line.size() + 1), &written, nullptr);
}

// Made at the first call: reads the script, opens the log and writes the script's notes.
Fake& TheFake() {
    if (g_fake) return *g_fake;
    std::string folder = DllFolder();
    std::stringstream text;
    text << std::ifstream(folder + "fmodex_script.txt", std::ios::binary).rdbuf();
    g_fake = new Fake;
    g_fake->script = ParseScript(text.str());
    // Shared, so that a test can read the log and remove it while the player runs.
    g_fake->log = CreateFileA((folder + "fmodex_calls.log").c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    for (const std::string& note : g_fake->script.notes) WriteLine(note);
    for (const Rule& rule : g_fake->script.rules)
        if (!GetProcAddress(Self(), rule.name.c_str())) WriteLine("# unknown entry point: " + rule.name);
    return *g_fake;
}

// snprintf for one value; floats reach it as doubles.
template <typename Value>
std::string Printed(const char* format, Value value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Quoted(const char* text) {
    if (!text) return "null";
    std::string quoted = "\"";
    for (const char* p = text; *p; p++) {
        unsigned char byte = static_cast<unsigned char>(*p);
        if (byte == '\\' || byte == '"') quoted += '\\';
        quoted += Printed(byte >= 0x20 && byte <= 0x7E ? "%c" : "\\x%02x", unsigned(byte));
    }
    return quoted + "\"";
}

// Caller-supplied pointers the log does not look into.
std::string Pointer(const void* pointer) {
    return pointer ? "&" : "null";
}

FMOD_SYSTEM* SystemHandle(Fake& fake) {
    return reinterpret_cast<FMOD_SYSTEM*>(&fake.systemCreated);
}

// The record behind a handle, or null; `text` names it as the log does: `sound3`, `channel1`
// by creation order, `null`, or `bad` for a pointer never handed out.
template <typename Record>
Record* Find(std::deque<Record>& records, const void* handle, const char* kind, std::string& text) {
    text = handle ? "bad" : "null";
    for (size_t i = 0; i < records.size(); i++) {
        if (&records[i] != handle) continue;
        text = kind + std::to_string(i + 1);
        return &records[i];
    }
    return nullptr;
}

// Counts the call, lets the script have its say (per kind, the last line that applies),
// logs it and faults if told to.
FMOD_RESULT Announce(Fake& fake, const std::string& name, const std::vector<std::string>& args, FMOD_RESULT result) {
    const unsigned count = ++fake.callCounts[name];
    const Rule* rules[2] = {}; // result, crash
    for (const Rule& rule : fake.script.rules)
        if (rule.name == name && (rule.callNumber == 0 || rule.callNumber == count)) rules[rule.crash] = &rule;
    if (rules[0]) result = static_cast<FMOD_RESULT>(rules[0]->code);
    std::string line = name + "(";
    for (size_t i = 0; i < args.size(); i++) line += (i > 0 ? ", " : "") + args[i];
    WriteLine(line + ") = " + (rules[1] ? "crash" : std::to_string(result)));
    if (rules[1]) FaultNow(*rules[1]);
    return result;
}

// One call, holding the lock throughout, a scripted fault included.
struct Call {
    std::lock_guard<std::recursive_mutex> hold{g_lock};
    Fake& fake = TheFake();
};

// A call on a handle: `text` names it in the log, `valid` says whether it is a live one.
struct HandleCall : Call {
    // Logs the call with the handle first among its arguments. The answer, also kept in
    // `result`: INVALID_HANDLE for a handle that is not a live one, else INVALID_PARAM for
    // missing outputs, else `otherwise`.
    FMOD_RESULT Say(const char* name, std::vector<std::string> args, bool outputsGiven,
                    FMOD_RESULT otherwise = FMOD_OK) {
        args.insert(args.begin(), text);
        return result = Announce(fake, name, args,
                                 !valid ? FMOD_ERR_INVALID_HANDLE : !outputsGiven ? FMOD_ERR_INVALID_PARAM : otherwise);
    }
    std::string text;
    bool valid = false;
    FMOD_RESULT result = FMOD_OK;
};

struct SystemCall : HandleCall {
    explicit SystemCall(FMOD_SYSTEM* system) {
        valid = fake.systemCreated && system == SystemHandle(fake);
        text = !system ? "null" : system == SystemHandle(fake) ? "system" : "bad";
    }
};

struct SoundCall : HandleCall {
    explicit SoundCall(FMOD_SOUND* sound) : record(Find(fake.sounds, sound, "sound", text)) {
        valid = record && !record->released;
    }
    SoundRecord* record;
};

struct ChannelCall : HandleCall {
    explicit ChannelCall(FMOD_CHANNEL* channel) : record(Find(fake.channels, channel, "channel", text)) {
        valid = record;
    }
    ChannelRecord* record;
};

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) WaitOnLoad();
    return TRUE;
}

extern "C" {

F_EXPORT FMOD_RESULT F_API FMOD_System_Create(FMOD_SYSTEM** system) {
    Call c;
    FMOD_RESULT result = Announce(c.fake, __func__, {Pointer(system)}, system ? FMOD_OK : FMOD_ERR_INVALID_PARAM);
    if (result != FMOD_OK) return result;
    c.fake.systemCreated = true;
    *system = SystemHandle(c.fake);
    return FMOD_OK;
}

F_EXPORT FMOD_RESULT F_API FMOD_System_Init(FMOD_SYSTEM* system, int maxchannels, FMOD_INITFLAGS flags,
                                            void* extradriverdata) {
    return SystemCall(system).Say(__func__, {std::to_string(maxchannels), std::to_string(flags), Pointer(extradriverdata)},
                                  true);
}

F_EXPORT FMOD_RESULT F_API FMOD_System_Release(FMOD_SYSTEM* system) {
    SystemCall c(system);
    if (c.Say(__func__, {}, true) == FMOD_OK) c.fake.systemCreated = false;
    return c.result;
}

// An empty or null path gives FILE_NOTFOUND; a failing call sets the sound to null.
F_EXPORT FMOD_RESULT F_API FMOD_System_CreateStream(FMOD_SYSTEM* system, const char* name_or_data, FMOD_MODE mode,
                                                    FMOD_CREATESOUNDEXINFO* exinfo, FMOD_SOUND** sound) {
    SystemCall c(system);
    FMOD_RESULT result = c.Say(__func__, {Quoted(name_or_data), Printed("0x%x", unsigned(mode)), Pointer(exinfo), Pointer(sound)}, sound,
                               name_or_data && *name_or_data ? FMOD_OK : FMOD_ERR_FILE_NOTFOUND);
    if (sound) *sound = nullptr;
    if (result != FMOD_OK) return result;
    SoundRecord& record = c.fake.sounds.emplace_back();
    record.script = &SoundFor(c.fake.script, name_or_data);
    *sound = reinterpret_cast<FMOD_SOUND*>(&record);
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_System_PlaySound(FMOD_SYSTEM* system, FMOD_CHANNELINDEX channelid, FMOD_SOUND* sound,
                                                 FMOD_BOOL paused, FMOD_CHANNEL** channel) {
    SystemCall c(system);
    std::string soundText;
    SoundRecord* record = Find(c.fake.sounds, sound, "sound", soundText);
    if (c.Say(__func__, {std::to_string(channelid), soundText, std::to_string(paused), Pointer(channel)}, sound && channel,
              record && !record->released ? FMOD_OK : FMOD_ERR_INVALID_HANDLE) != FMOD_OK)
        return c.result;
    ChannelRecord& created = c.fake.channels.emplace_back();
    created.sound = record;
    created.paused = paused != 0;
    created.positionMs = record->script->positionMs;
    *channel = reinterpret_cast<FMOD_CHANNEL*>(&created);
    return FMOD_OK;
}

F_EXPORT FMOD_RESULT F_API FMOD_System_SetStreamBufferSize(FMOD_SYSTEM* system, unsigned int filebuffersize,
                                                           FMOD_TIMEUNIT filebuffersizetype) {
    return SystemCall(system).Say(__func__, {std::to_string(filebuffersize), std::to_string(filebuffersizetype)}, true);
}

F_EXPORT FMOD_RESULT F_API FMOD_Sound_Release(FMOD_SOUND* sound) {
    SoundCall c(sound);
    if (c.Say(__func__, {}, true) == FMOD_OK) c.record->released = true;
    return c.result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetNumTags(FMOD_SOUND* sound, int* numtags, int* numtagsupdated) {
    SoundCall c(sound);
    if (c.Say(__func__, {Pointer(numtags), Pointer(numtagsupdated)}, numtags) != FMOD_OK) return c.result;
    *numtags = static_cast<int>(c.record->script->tags.size());
    if (numtagsupdated) *numtagsupdated = 0;
    return FMOD_OK;
}

// By index only: the player never asks for a tag by name.
F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetTag(FMOD_SOUND* sound, const char* name, int index, FMOD_TAG* tag) {
    SoundCall c(sound);
    const bool found = c.valid && !name && index >= 0 && static_cast<size_t>(index) < c.record->script->tags.size();
    if (c.Say(__func__, {Quoted(name), std::to_string(index), Pointer(tag)}, tag && index >= 0,
              found ? FMOD_OK : FMOD_ERR_TAGNOTFOUND) != FMOD_OK)
        return c.result;
    const ScriptTag& scripted = c.record->script->tags[index];
    *tag = {};
    tag->type = static_cast<FMOD_TAGTYPE>(scripted.type);
    tag->datatype = FMOD_TAGDATATYPE_STRING;
    tag->name = const_cast<char*>(scripted.name.c_str());
    tag->data = const_cast<char*>(scripted.data.data());
    tag->datalen = static_cast<unsigned>(scripted.data.size());
    return FMOD_OK;
}

// Units 1 (milliseconds) and 8 (raw bytes); others give INVALID_PARAM.
F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetLength(FMOD_SOUND* sound, unsigned int* length, FMOD_TIMEUNIT lengthtype) {
    SoundCall c(sound);
    bool knownUnit = lengthtype == FMOD_TIMEUNIT_MS || lengthtype == FMOD_TIMEUNIT_RAWBYTES;
    if (c.Say(__func__, {Pointer(length), std::to_string(lengthtype)}, length && knownUnit) == FMOD_OK)
        *length = lengthtype == FMOD_TIMEUNIT_MS ? c.record->script->lengthMs : c.record->script->lengthRawBytes;
    return c.result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetFormat(FMOD_SOUND* sound, FMOD_SOUND_TYPE* type, FMOD_SOUND_FORMAT* format,
                                                int* channels, int* bits) {
    SoundCall c(sound);
    if (c.Say(__func__, {Pointer(type), Pointer(format), Pointer(channels), Pointer(bits)},
              type && format && channels && bits) != FMOD_OK)
        return c.result;
    const SoundScript& script = *c.record->script;
    *type = static_cast<FMOD_SOUND_TYPE>(script.type);
    *format = static_cast<FMOD_SOUND_FORMAT>(script.format);
    *channels = static_cast<int>(script.channels);
    *bits = static_cast<int>(script.bits);
    return FMOD_OK;
}

// Fills the buffer with the script's `wave` values repeated; silence without them.
F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetWaveData(FMOD_CHANNEL* channel, float* wavearray, int numvalues,
                                                    int channeloffset) {
    ChannelCall c(channel);
    if (c.Say(__func__, {Pointer(wavearray), std::to_string(numvalues), std::to_string(channeloffset)},
              wavearray && numvalues >= 0 && channeloffset >= 0) != FMOD_OK)
        return c.result;
    const std::vector<float>& wave = c.record->sound->script->wave;
    for (int i = 0; i < numvalues; i++) wavearray[i] = wave.empty() ? 0.0f : wave[i % wave.size()];
    return FMOD_OK;
}

// Milliseconds only: where the script's `position` put the channel, or the last SetPosition.
F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetPosition(FMOD_CHANNEL* channel, unsigned int* position,
                                                    FMOD_TIMEUNIT postype) {
    ChannelCall c(channel);
    if (c.Say(__func__, {Pointer(position), std::to_string(postype)}, position && postype == FMOD_TIMEUNIT_MS) == FMOD_OK)
        *position = c.record->positionMs;
    return c.result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetPosition(FMOD_CHANNEL* channel, unsigned int position,
                                                    FMOD_TIMEUNIT postype) {
    ChannelCall c(channel);
    if (c.Say(__func__, {std::to_string(position), std::to_string(postype)}, postype == FMOD_TIMEUNIT_MS) == FMOD_OK)
        c.record->positionMs = position;
    return c.result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetPaused(FMOD_CHANNEL* channel, FMOD_BOOL* paused) {
    ChannelCall c(channel);
    if (c.Say(__func__, {Pointer(paused)}, paused) == FMOD_OK) *paused = c.record->paused;
    return c.result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetPaused(FMOD_CHANNEL* channel, FMOD_BOOL paused) {
    ChannelCall c(channel);
    if (c.Say(__func__, {std::to_string(paused)}, true) == FMOD_OK) c.record->paused = paused != 0;
    return c.result;
}

// The script's `playing` while the channel's sound lives.
F_EXPORT FMOD_RESULT F_API FMOD_Channel_IsPlaying(FMOD_CHANNEL* channel, FMOD_BOOL* isplaying) {
    ChannelCall c(channel);
    if (c.Say(__func__, {Pointer(isplaying)}, isplaying) != FMOD_OK) return c.result;
    const SoundRecord& sound = *c.record->sound;
    *isplaying = !sound.released && sound.script->playing;
    return FMOD_OK;
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetVolume(FMOD_CHANNEL* channel, float volume) {
    return ChannelCall(channel).Say(__func__, {Printed("%g", double(volume))}, true);
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetPriority(FMOD_CHANNEL* channel, int priority) {
    return ChannelCall(channel).Say(__func__, {std::to_string(priority)}, true);
}

// Entry points the player never calls: logged and refused, so that a new caller shows up in
// the log instead of reading outputs the fake never wrote.
F_EXPORT FMOD_RESULT F_API FMOD_System_GetStreamBufferSize(FMOD_SYSTEM* system, unsigned int* filebuffersize,
                                                           FMOD_TIMEUNIT* filebuffersizetype) {
    return SystemCall(system).Say(__func__, {Pointer(filebuffersize), Pointer(filebuffersizetype)}, true,
                                  FMOD_ERR_UNSUPPORTED);
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_Stop(FMOD_CHANNEL* channel) {
    return ChannelCall(channel).Say(__func__, {}, true, FMOD_ERR_UNSUPPORTED);
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetLoopCount(FMOD_CHANNEL* channel, int loopcount) {
    return ChannelCall(channel).Say(__func__, {std::to_string(loopcount)}, true, FMOD_ERR_UNSUPPORTED);
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetVolume(FMOD_CHANNEL* channel, float* volume) {
    return ChannelCall(channel).Say(__func__, {Pointer(volume)}, true, FMOD_ERR_UNSUPPORTED);
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetPriority(FMOD_CHANNEL* channel, int* priority) {
    return ChannelCall(channel).Say(__func__, {Pointer(priority)}, true, FMOD_ERR_UNSUPPORTED);
}

} // extern "C"
