#pragma once
// The fake sound library's script: what its calls answer, where they fail, crash or hang.
#include <string>
#include <string_view>
#include <vector>

enum class RuleKind { Result, Crash, Sleep };
enum class CrashKind { Access, Divide, Illegal, Breakpoint, Stack, Raise };

// One `result`, `crash` or `sleep` line.
struct CallRule {
    RuleKind kind = RuleKind::Result;
    std::string name;       // entry point
    int callNumber = 0;     // 0: every call; N: only the N-th call
    int code = 0;           // RuleKind::Result
    CrashKind crash = CrashKind::Access;
    unsigned raiseCode = 0; // CrashKind::Raise
    unsigned sleepMs = 0;   // RuleKind::Sleep
};

struct ScriptTag {
    int type = 0;
    std::string name;
    std::string data; // raw bytes, may hold zero bytes
};

// What a sound and the channels playing it answer.
struct SoundScript {
    unsigned lengthMs = 0;
    unsigned lengthRawBytes = 0;
    int soundType = 0;
    int soundFormat = 0;
    int channels = 0;
    int bits = 0;
    std::vector<ScriptTag> tags;
    bool playing = true;
    bool paused = false;
    unsigned positionMs = 0;
    std::vector<float> wave; // empty: silence
};

// Lines after `file PATH`: they start from the defaults and apply only to sounds of PATH.
struct FileSection {
    std::string path;
    SoundScript sound;
    std::vector<CallRule> rules;
};

struct Script {
    SoundScript defaults;
    std::vector<CallRule> rules; // lines before the first `file`: every call
    std::vector<FileSection> files;
    std::vector<std::string> notes; // "# ..." lines for the log about lines that were ignored
};

Script ParseScript(std::string_view text);

// Index into script.files of the section for exactly this path, or -1.
int FindFileSection(const Script& script, std::string_view path);

bool IsEntryPointName(std::string_view name);

// Turns the escapes of tag data (\xNN \\ \n \t \s \0) into bytes; false for a broken escape.
bool DecodeTagData(std::string_view escaped, std::string& bytes);
