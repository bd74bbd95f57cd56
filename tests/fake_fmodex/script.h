#pragma once
// The fake sound library's script: what its calls answer and where they fail or crash.
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

// Section 0 holds the lines before the first `file`: its rules hit every call and its sound
// is where every file section starts from. Section N > 0 holds the lines after `file PATH`.
struct Section {
    std::string path;
    SoundScript sound;
    std::vector<Rule> rules;
};

struct Script {
    std::vector<Section> sections;
    std::vector<std::string> notes; // log lines about script lines that were not understood
};

Script ParseScript(std::string_view text);

// The file section for exactly this path, or 0.
int FindSection(const Script& script, std::string_view path);
