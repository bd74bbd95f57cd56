#pragma once
// The fake sound library's script: what its calls answer and where they fail or crash.
#include <deque>
#include <string>
#include <string_view>
#include <vector>

enum class Fault { Access, Divide, Raise };

// One `result` or `crash` line.
struct Rule {
    std::string name;         // entry point
    unsigned callNumber = 0;  // 0: every call; N: only the N-th call
    bool crash = false;
    unsigned code = 0;        // `result`
    Fault fault = Fault::Access;
    unsigned raiseCode = 0;   // Fault::Raise
};

struct ScriptTag {
    unsigned type = 0;
    std::string name;
    std::string data; // raw bytes
};

// What a sound and the channels playing it answer.
struct SoundScript {
    unsigned lengthMs = 0;
    unsigned lengthRawBytes = 0;
    unsigned type = 0;
    unsigned format = 0;
    unsigned channels = 0;
    unsigned bits = 0;
    unsigned playing = 1;
    unsigned positionMs = 0;
    std::vector<ScriptTag> tags;
    std::vector<float> wave; // empty: silence
};

// A `file PATH` section: what the sounds made from exactly that path answer.
struct FileScript {
    std::string path;
    SoundScript sound;
};

struct Script {
    std::vector<Rule> rules;
    SoundScript sound;              // the lines before the first `file`
    std::deque<FileScript> files;   // each starts from `sound` as it stood at its `file` line
    std::vector<std::string> notes; // log lines about script lines that were not understood
};

Script ParseScript(std::string_view text);

// What sounds made from this path answer.
const SoundScript& SoundFor(const Script& script, const char* path);
