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
#include <utility>
#include <vector>

#include "fmodex.h"
#include "script.h"

namespace {

std::string DllFolder() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&DllFolder), &module);
    char path[MAX_PATH] = {};
    std::string folder(path, GetModuleFileNameA(module, path, MAX_PATH));
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

struct SoundRecord {
    int section = 0;
    bool released = false;
    std::vector<ScriptTag> tags; // GetTag hands out pointers into these until Sound_Release
};

// Records are never freed, so a stale handle is still known and never reused. Channels stay
// valid for good; after their sound is released or they are stopped they no longer play.
struct ChannelRecord {
    SoundRecord* sound = nullptr;
    bool paused = false;
    bool stopped = false;
    unsigned positionMs = 0;
    float volume = 1.0f;
    int priority = 128;
};

struct Fake {
    Script script;
    HANDLE log = INVALID_HANDLE_VALUE;
    bool systemCreated = false;
    unsigned bufferSize = 0;
    FMOD_TIMEUNIT bufferUnit = 0;
    std::deque<SoundRecord> sounds;
    std::deque<ChannelRecord> channels;
    std::map<std::pair<int, std::string>, unsigned> callCounts; // by section; section 0 counts every call
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
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&TheFake), &self);
    for (const Section& section : g_fake->script.sections) {
        for (const Rule& rule : section.rules) {
            if (!GetProcAddress(self, rule.name.c_str())) WriteLine("# unknown entry point: " + rule.name);
        }
    }
    return *g_fake;
}

// Holds the lock for one call, a scripted fault included.
struct Entry {
    std::lock_guard<std::recursive_mutex> hold{g_lock};
    Fake& fake = TheFake();
};

std::string Quoted(const char* text) {
    if (!text) return "null";
    std::string quoted = "\"";
    for (const char* p = text; *p; p++) {
        unsigned char byte = static_cast<unsigned char>(*p);
        if (byte == '\\' || byte == '"') quoted += '\\';
        if (byte >= 0x20 && byte <= 0x7E) {
            quoted += *p;
            continue;
        }
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x%02x", byte);
        quoted += escape;
    }
    return quoted + "\"";
}

// Caller-supplied pointers the log does not look into.
std::string Pointer(const void* pointer) {
    return pointer ? "&" : "null";
}

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

std::string Float(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

FMOD_SYSTEM* SystemHandle(Fake& fake) {
    return reinterpret_cast<FMOD_SYSTEM*>(&fake.systemCreated);
}

bool SystemValid(Fake& fake, FMOD_SYSTEM* system) {
    return fake.systemCreated && system == SystemHandle(fake);
}

std::string SystemText(Fake& fake, FMOD_SYSTEM* system) {
    return !system ? "null" : system == SystemHandle(fake) ? "system" : "bad";
}

template <typename Record>
Record* Find(std::deque<Record>& records, const void* handle) {
    for (Record& record : records) {
        if (&record == handle) return &record;
    }
    return nullptr;
}

// `sound3`, `channel1` by creation order; `null`; `bad` for a pointer never handed out.
template <typename Record>
std::string HandleText(std::deque<Record>& records, const void* handle, const char* kind) {
    for (size_t i = 0; i < records.size(); i++) {
        if (&records[i] == handle) return kind + std::to_string(i + 1);
    }
    return handle ? "bad" : "null";
}

int SectionOf(const SoundRecord* sound) {
    return sound ? sound->section : 0;
}

int SectionOf(const ChannelRecord* channel) {
    return channel ? SectionOf(channel->sound) : 0;
}

// Per kind, a rule for exactly this call beats an every-call rule, and a later line an earlier one.
const Rule* Pick(const std::vector<Rule>& rules, bool crash, const std::string& name, unsigned count) {
    const Rule* best = nullptr;
    for (const Rule& rule : rules) {
        if (rule.crash != crash || rule.name != name || (rule.callNumber != 0 && rule.callNumber != count)) continue;
        if (!best || rule.callNumber != 0 || best->callNumber == 0) best = &rule;
    }
    return best;
}

// Counts the call, lets the rules of section 0 and then of the call's file section have
// their say (a scripted 0 never turns a failure into success), logs it and faults if told to.
FMOD_RESULT Announce(Fake& fake, const std::string& name, const std::vector<std::string>& args, int section,
                     FMOD_RESULT result) {
    const Rule* rules[2] = {}; // result, crash
    std::vector<int> scopes = {0};
    if (section > 0) scopes.push_back(section);
    for (int scope : scopes) {
        unsigned count = ++fake.callCounts[{scope, name}];
        for (bool crash : {false, true}) {
            if (const Rule* rule = Pick(fake.script.sections[scope].rules, crash, name, count)) rules[crash] = rule;
        }
    }
    if (rules[0] && (rules[0]->code != FMOD_OK || result == FMOD_OK)) result = static_cast<FMOD_RESULT>(rules[0]->code);
    std::string line = name + "(";
    for (size_t i = 0; i < args.size(); i++) line += (i > 0 ? ", " : "") + args[i];
    WriteLine(line + ") = " + (rules[1] ? "crash" : std::to_string(result)));
    if (rules[1]) FaultNow(*rules[1]);
    return result;
}

const SoundScript& Settings(Fake& fake, int section) {
    return fake.script.sections[section].sound;
}

// The checks every sound or channel call makes first: a known live handle, then its outputs.
FMOD_RESULT Check(bool handleValid, bool outputsGiven) {
    return !handleValid ? FMOD_ERR_INVALID_HANDLE : !outputsGiven ? FMOD_ERR_INVALID_PARAM : FMOD_OK;
}

bool Live(const SoundRecord* sound) {
    return sound && !sound->released;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) WaitOnLoad();
    // On FreeLibrary close the log so a test can remove its folder; at process exit leave it.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr && g_fake) {
        CloseHandle(g_fake->log);
        delete g_fake;
        g_fake = nullptr;
    }
    return TRUE;
}

extern "C" {

F_EXPORT FMOD_RESULT F_API FMOD_System_Create(FMOD_SYSTEM** system) {
    Entry e;
    FMOD_RESULT result = Announce(e.fake, __func__, {Pointer(system)}, 0, Check(true, system));
    if (result == FMOD_OK) {
        e.fake.systemCreated = true;
        *system = SystemHandle(e.fake);
    }
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_System_Init(FMOD_SYSTEM* system, int maxchannels, FMOD_INITFLAGS flags,
                                            void* extradriverdata) {
    Entry e;
    return Announce(e.fake, __func__,
                    {SystemText(e.fake, system), std::to_string(maxchannels), std::to_string(flags),
                     Pointer(extradriverdata)},
                    0, Check(SystemValid(e.fake, system), true));
}

F_EXPORT FMOD_RESULT F_API FMOD_System_Release(FMOD_SYSTEM* system) {
    Entry e;
    FMOD_RESULT result = Announce(e.fake, __func__, {SystemText(e.fake, system)}, 0,
                                  Check(SystemValid(e.fake, system), true));
    if (result == FMOD_OK) e.fake.systemCreated = false;
    return result;
}

// An empty or null path gives FILE_NOTFOUND; a failing call sets the sound to null.
F_EXPORT FMOD_RESULT F_API FMOD_System_CreateStream(FMOD_SYSTEM* system, const char* name_or_data, FMOD_MODE mode,
                                                    FMOD_CREATESOUNDEXINFO* exinfo, FMOD_SOUND** sound) {
    Entry e;
    int section = name_or_data ? FindSection(e.fake.script, name_or_data) : 0;
    FMOD_RESULT result = Check(SystemValid(e.fake, system), sound);
    if (result == FMOD_OK && (!name_or_data || !*name_or_data)) result = FMOD_ERR_FILE_NOTFOUND;
    result = Announce(e.fake, __func__,
                      {SystemText(e.fake, system), Quoted(name_or_data), Hex(mode), Pointer(exinfo), Pointer(sound)},
                      section, result);
    if (sound) *sound = nullptr;
    if (result != FMOD_OK) return result;
    SoundRecord& record = e.fake.sounds.emplace_back();
    record.section = section;
    record.tags = Settings(e.fake, section).tags;
    *sound = reinterpret_cast<FMOD_SOUND*>(&record);
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_System_PlaySound(FMOD_SYSTEM* system, FMOD_CHANNELINDEX channelid, FMOD_SOUND* sound,
                                                 FMOD_BOOL paused, FMOD_CHANNEL** channel) {
    Entry e;
    SoundRecord* record = Find(e.fake.sounds, sound);
    FMOD_RESULT result = Check(SystemValid(e.fake, system), sound && channel);
    if (result == FMOD_OK && !Live(record)) result = FMOD_ERR_INVALID_HANDLE;
    result = Announce(e.fake, __func__,
                      {SystemText(e.fake, system), std::to_string(channelid), HandleText(e.fake.sounds, sound, "sound"),
                       std::to_string(paused), Pointer(channel)},
                      SectionOf(record), result);
    if (result != FMOD_OK) return result;
    ChannelRecord& created = e.fake.channels.emplace_back();
    created.sound = record;
    created.paused = paused != 0;
    created.positionMs = Settings(e.fake, record->section).positionMs;
    *channel = reinterpret_cast<FMOD_CHANNEL*>(&created);
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_System_SetStreamBufferSize(FMOD_SYSTEM* system, unsigned int filebuffersize,
                                                           FMOD_TIMEUNIT filebuffersizetype) {
    Entry e;
    FMOD_RESULT result = Announce(
        e.fake, __func__,
        {SystemText(e.fake, system), std::to_string(filebuffersize), std::to_string(filebuffersizetype)}, 0,
        Check(SystemValid(e.fake, system), true));
    if (result == FMOD_OK) {
        e.fake.bufferSize = filebuffersize;
        e.fake.bufferUnit = filebuffersizetype;
    }
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_System_GetStreamBufferSize(FMOD_SYSTEM* system, unsigned int* filebuffersize,
                                                           FMOD_TIMEUNIT* filebuffersizetype) {
    Entry e;
    FMOD_RESULT result =
        Announce(e.fake, __func__, {SystemText(e.fake, system), Pointer(filebuffersize), Pointer(filebuffersizetype)},
                 0, Check(SystemValid(e.fake, system), filebuffersize && filebuffersizetype));
    if (result == FMOD_OK) {
        *filebuffersize = e.fake.bufferSize;
        *filebuffersizetype = e.fake.bufferUnit;
    }
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Sound_Release(FMOD_SOUND* sound) {
    Entry e;
    SoundRecord* record = Find(e.fake.sounds, sound);
    FMOD_RESULT result = Announce(e.fake, __func__, {HandleText(e.fake.sounds, sound, "sound")}, SectionOf(record),
                                  Check(Live(record), true));
    if (result == FMOD_OK) {
        record->released = true;
        record->tags = {}; // pointers handed out by GetTag end here
    }
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetNumTags(FMOD_SOUND* sound, int* numtags, int* numtagsupdated) {
    Entry e;
    SoundRecord* record = Find(e.fake.sounds, sound);
    FMOD_RESULT result = Announce(e.fake, __func__,
                                  {HandleText(e.fake.sounds, sound, "sound"), Pointer(numtags), Pointer(numtagsupdated)},
                                  SectionOf(record), Check(Live(record), numtags));
    if (result == FMOD_OK) {
        *numtags = static_cast<int>(record->tags.size());
        if (numtagsupdated) *numtagsupdated = 0;
    }
    return result;
}

// With a name, the index counts only the tags of that name.
F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetTag(FMOD_SOUND* sound, const char* name, int index, FMOD_TAG* tag) {
    Entry e;
    SoundRecord* record = Find(e.fake.sounds, sound);
    FMOD_RESULT result = Check(Live(record), tag && index >= 0);
    const ScriptTag* found = nullptr;
    if (result == FMOD_OK) {
        int seen = 0;
        for (const ScriptTag& candidate : record->tags) {
            if ((!name || candidate.name == name) && seen++ == index) {
                found = &candidate;
                break;
            }
        }
        if (!found) result = FMOD_ERR_TAGNOTFOUND;
    }
    result = Announce(e.fake, __func__,
                      {HandleText(e.fake.sounds, sound, "sound"), Quoted(name), std::to_string(index), Pointer(tag)},
                      SectionOf(record), result);
    if (result == FMOD_OK && found) {
        *tag = {};
        tag->type = static_cast<FMOD_TAGTYPE>(found->type);
        tag->datatype = FMOD_TAGDATATYPE_STRING;
        tag->name = const_cast<char*>(found->name.c_str());
        tag->data = const_cast<char*>(found->data.data());
        tag->datalen = static_cast<unsigned>(found->data.size());
    }
    return result;
}

// Units 1 (milliseconds) and 8 (raw bytes); others give INVALID_PARAM.
F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetLength(FMOD_SOUND* sound, unsigned int* length, FMOD_TIMEUNIT lengthtype) {
    Entry e;
    SoundRecord* record = Find(e.fake.sounds, sound);
    bool knownUnit = lengthtype == FMOD_TIMEUNIT_MS || lengthtype == FMOD_TIMEUNIT_RAWBYTES;
    FMOD_RESULT result = Announce(e.fake, __func__,
                                  {HandleText(e.fake.sounds, sound, "sound"), Pointer(length), std::to_string(lengthtype)},
                                  SectionOf(record), Check(Live(record), length && knownUnit));
    if (result == FMOD_OK) {
        const SoundScript& settings = Settings(e.fake, record->section);
        *length = lengthtype == FMOD_TIMEUNIT_MS ? settings.lengthMs : settings.lengthRawBytes;
    }
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Sound_GetFormat(FMOD_SOUND* sound, FMOD_SOUND_TYPE* type, FMOD_SOUND_FORMAT* format,
                                                int* channels, int* bits) {
    Entry e;
    SoundRecord* record = Find(e.fake.sounds, sound);
    FMOD_RESULT result = Announce(e.fake, __func__,
                                  {HandleText(e.fake.sounds, sound, "sound"), Pointer(type), Pointer(format),
                                   Pointer(channels), Pointer(bits)},
                                  SectionOf(record), Check(Live(record), type && format && channels && bits));
    if (result == FMOD_OK) {
        const SoundScript& settings = Settings(e.fake, record->section);
        *type = static_cast<FMOD_SOUND_TYPE>(settings.type);
        *format = static_cast<FMOD_SOUND_FORMAT>(settings.format);
        *channels = static_cast<int>(settings.channels);
        *bits = static_cast<int>(settings.bits);
    }
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_Stop(FMOD_CHANNEL* channel) {
    Entry e;
    ChannelRecord* record = Find(e.fake.channels, channel);
    FMOD_RESULT result = Announce(e.fake, __func__, {HandleText(e.fake.channels, channel, "channel")},
                                  SectionOf(record), Check(record, true));
    if (result == FMOD_OK) record->stopped = true;
    return result;
}

// Fills the buffer with the script's `wave` values repeated; silence without them.
F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetWaveData(FMOD_CHANNEL* channel, float* wavearray, int numvalues,
                                                    int channeloffset) {
    Entry e;
    ChannelRecord* record = Find(e.fake.channels, channel);
    FMOD_RESULT result = Announce(e.fake, __func__,
                                  {HandleText(e.fake.channels, channel, "channel"), Pointer(wavearray),
                                   std::to_string(numvalues), std::to_string(channeloffset)},
                                  SectionOf(record), Check(record, wavearray && numvalues >= 0 && channeloffset >= 0));
    if (result == FMOD_OK) {
        const std::vector<float>& wave = Settings(e.fake, SectionOf(record)).wave;
        for (int i = 0; i < numvalues; i++) wavearray[i] = wave.empty() ? 0.0f : wave[i % wave.size()];
    }
    return result;
}

// Milliseconds only: where the script's `position` put the channel, or the last SetPosition.
F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetPosition(FMOD_CHANNEL* channel, unsigned int* position,
                                                    FMOD_TIMEUNIT postype) {
    Entry e;
    ChannelRecord* record = Find(e.fake.channels, channel);
    FMOD_RESULT result = Announce(e.fake, __func__,
                                  {HandleText(e.fake.channels, channel, "channel"), Pointer(position),
                                   std::to_string(postype)},
                                  SectionOf(record), Check(record, position && postype == FMOD_TIMEUNIT_MS));
    if (result == FMOD_OK) *position = record->positionMs;
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetPosition(FMOD_CHANNEL* channel, unsigned int position,
                                                    FMOD_TIMEUNIT postype) {
    Entry e;
    ChannelRecord* record = Find(e.fake.channels, channel);
    FMOD_RESULT result = Announce(e.fake, __func__,
                                  {HandleText(e.fake.channels, channel, "channel"), std::to_string(position),
                                   std::to_string(postype)},
                                  SectionOf(record), Check(record, postype == FMOD_TIMEUNIT_MS));
    if (result == FMOD_OK) record->positionMs = position;
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetPaused(FMOD_CHANNEL* channel, FMOD_BOOL* paused) {
    Entry e;
    ChannelRecord* record = Find(e.fake.channels, channel);
    FMOD_RESULT result = Announce(e.fake, __func__, {HandleText(e.fake.channels, channel, "channel"), Pointer(paused)},
                                  SectionOf(record), Check(record, paused));
    if (result == FMOD_OK) *paused = record->paused;
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetPaused(FMOD_CHANNEL* channel, FMOD_BOOL paused) {
    Entry e;
    ChannelRecord* record = Find(e.fake.channels, channel);
    FMOD_RESULT result = Announce(e.fake, __func__,
                                  {HandleText(e.fake.channels, channel, "channel"), std::to_string(paused)},
                                  SectionOf(record), Check(record, true));
    if (result == FMOD_OK) record->paused = paused != 0;
    return result;
}

// The script's `playing` while the channel's sound lives and the channel was not stopped.
F_EXPORT FMOD_RESULT F_API FMOD_Channel_IsPlaying(FMOD_CHANNEL* channel, FMOD_BOOL* isplaying) {
    Entry e;
    ChannelRecord* record = Find(e.fake.channels, channel);
    FMOD_RESULT result = Announce(e.fake, __func__,
                                  {HandleText(e.fake.channels, channel, "channel"), Pointer(isplaying)},
                                  SectionOf(record), Check(record, isplaying));
    if (result == FMOD_OK) {
        *isplaying = Live(record->sound) && !record->stopped && Settings(e.fake, SectionOf(record)).playing;
    }
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetLoopCount(FMOD_CHANNEL* channel, int loopcount) {
    Entry e;
    ChannelRecord* record = Find(e.fake.channels, channel);
    return Announce(e.fake, __func__, {HandleText(e.fake.channels, channel, "channel"), std::to_string(loopcount)},
                    SectionOf(record), Check(record, true));
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetVolume(FMOD_CHANNEL* channel, float volume) {
    Entry e;
    ChannelRecord* record = Find(e.fake.channels, channel);
    FMOD_RESULT result = Announce(e.fake, __func__, {HandleText(e.fake.channels, channel, "channel"), Float(volume)},
                                  SectionOf(record), Check(record, true));
    if (result == FMOD_OK) record->volume = volume;
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetVolume(FMOD_CHANNEL* channel, float* volume) {
    Entry e;
    ChannelRecord* record = Find(e.fake.channels, channel);
    FMOD_RESULT result = Announce(e.fake, __func__, {HandleText(e.fake.channels, channel, "channel"), Pointer(volume)},
                                  SectionOf(record), Check(record, volume));
    if (result == FMOD_OK) *volume = record->volume;
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_SetPriority(FMOD_CHANNEL* channel, int priority) {
    Entry e;
    ChannelRecord* record = Find(e.fake.channels, channel);
    FMOD_RESULT result = Announce(e.fake, __func__,
                                  {HandleText(e.fake.channels, channel, "channel"), std::to_string(priority)},
                                  SectionOf(record), Check(record, true));
    if (result == FMOD_OK) record->priority = priority;
    return result;
}

F_EXPORT FMOD_RESULT F_API FMOD_Channel_GetPriority(FMOD_CHANNEL* channel, int* priority) {
    Entry e;
    ChannelRecord* record = Find(e.fake.channels, channel);
    FMOD_RESULT result = Announce(e.fake, __func__,
                                  {HandleText(e.fake.channels, channel, "channel"), Pointer(priority)},
                                  SectionOf(record), Check(record, priority));
    if (result == FMOD_OK) *priority = record->priority;
    return result;
}

} // extern "C"
