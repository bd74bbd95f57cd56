#include "script.h"

#include <charconv>
#include <initializer_list>

namespace {

constexpr std::string_view kEntryPoints[] = {
    "FMOD_System_Create",          "FMOD_System_Init",
    "FMOD_System_Release",         "FMOD_System_CreateStream",
    "FMOD_System_PlaySound",       "FMOD_System_SetStreamBufferSize",
    "FMOD_System_GetStreamBufferSize",
    "FMOD_Sound_Release",          "FMOD_Sound_GetNumTags",
    "FMOD_Sound_GetTag",           "FMOD_Sound_GetLength",
    "FMOD_Sound_GetFormat",        "FMOD_Channel_Stop",
    "FMOD_Channel_GetWaveData",    "FMOD_Channel_GetPosition",
    "FMOD_Channel_SetPosition",    "FMOD_Channel_GetPaused",
    "FMOD_Channel_SetPaused",      "FMOD_Channel_IsPlaying",
    "FMOD_Channel_SetLoopCount",   "FMOD_Channel_SetVolume",
    "FMOD_Channel_GetVolume",      "FMOD_Channel_SetPriority",
    "FMOD_Channel_GetPriority",
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Takes the next blank-separated token off the front of `rest`; `rest` then starts right
// after the token, so a caller can still see the blank that follows it.
std::string_view NextToken(std::string_view& rest) {
    size_t start = 0;
    while (start < rest.size() && IsBlank(rest[start])) {
        start++;
    }
    size_t end = start;
    while (end < rest.size() && !IsBlank(rest[end])) {
        end++;
    }
    std::string_view token = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return token;
}

bool OnlyBlanksLeft(std::string_view rest) {
    for (char c : rest) {
        if (!IsBlank(c)) {
            return false;
        }
    }
    return true;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& value, int base = 10) {
    if (text.empty()) {
        return false;
    }
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value, base);
    return error == std::errc() && stop == end;
}

bool ParseFloat(std::string_view text, float& value) {
    if (text.empty()) {
        return false;
    }
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

bool ParseFlag(std::string_view text, bool& value) {
    if (text != "0" && text != "1") {
        return false;
    }
    value = text == "1";
    return true;
}

bool ParseHex(std::string_view text, unsigned& value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    return ParseNumber(text, value, 16);
}

enum class LineVerdict { Understood, Malformed, UnknownDirective, UnknownEntryPoint };

// NAME or NAME#N with N counted from 1.
LineVerdict ParseTarget(std::string_view token, CallRule& rule) {
    size_t hash = token.find('#');
    std::string_view name = token.substr(0, hash);
    if (hash != std::string_view::npos) {
        if (!ParseNumber(token.substr(hash + 1), rule.callNumber) || rule.callNumber < 1) {
            return LineVerdict::Malformed;
        }
    }
    if (!IsEntryPointName(name)) {
        return LineVerdict::UnknownEntryPoint;
    }
    rule.name = std::string(name);
    return LineVerdict::Understood;
}

LineVerdict ParseCrash(std::string_view rest, CallRule& rule) {
    std::string_view kind = NextToken(rest);
    if (kind.empty() || kind == "access") {
        rule.crash = CrashKind::Access;
    } else if (kind == "divide") {
        rule.crash = CrashKind::Divide;
    } else if (kind == "illegal") {
        rule.crash = CrashKind::Illegal;
    } else if (kind == "breakpoint") {
        rule.crash = CrashKind::Breakpoint;
    } else if (kind == "stack") {
        rule.crash = CrashKind::Stack;
    } else if (kind == "raise") {
        rule.crash = CrashKind::Raise;
        if (!ParseHex(NextToken(rest), rule.raiseCode)) {
            return LineVerdict::Malformed;
        }
    } else {
        return LineVerdict::Malformed;
    }
    return OnlyBlanksLeft(rest) ? LineVerdict::Understood : LineVerdict::Malformed;
}

// `result`, `crash` and `sleep` lines; `rest` is what follows the directive.
LineVerdict ParseRule(RuleKind kind, std::string_view rest, std::vector<CallRule>& rules) {
    CallRule rule;
    rule.kind = kind;
    LineVerdict verdict = ParseTarget(NextToken(rest), rule);
    if (verdict != LineVerdict::Understood) {
        return verdict;
    }
    bool fits = true;
    if (kind == RuleKind::Result) {
        fits = ParseNumber(NextToken(rest), rule.code) && OnlyBlanksLeft(rest);
    } else if (kind == RuleKind::Sleep) {
        fits = ParseNumber(NextToken(rest), rule.sleepMs) && OnlyBlanksLeft(rest);
    } else {
        fits = ParseCrash(rest, rule) == LineVerdict::Understood;
    }
    if (!fits) {
        return LineVerdict::Malformed;
    }
    rules.push_back(rule);
    return LineVerdict::Understood;
}

LineVerdict ParseTag(std::string_view rest, SoundScript& sound) {
    ScriptTag tag;
    if (!ParseNumber(NextToken(rest), tag.type)) {
        return LineVerdict::Malformed;
    }
    std::string_view name = NextToken(rest);
    if (name.empty()) {
        return LineVerdict::Malformed;
    }
    tag.name = std::string(name);
    // The data is everything after the one blank that ends the name, blanks included.
    std::string_view data = rest.empty() ? rest : rest.substr(1);
    if (!DecodeTagData(data, tag.data)) {
        return LineVerdict::Malformed;
    }
    sound.tags.push_back(tag);
    return LineVerdict::Understood;
}

LineVerdict ParseWave(std::string_view rest, SoundScript& sound) {
    std::vector<float> wave;
    for (std::string_view token = NextToken(rest); !token.empty(); token = NextToken(rest)) {
        float value = 0;
        if (!ParseFloat(token, value)) {
            return LineVerdict::Malformed;
        }
        wave.push_back(value);
    }
    sound.wave = wave;
    return LineVerdict::Understood;
}

// Reads all the numbers of a line, nothing more or less; the fields change only on success.
template <typename Number>
bool ParseFields(std::string_view rest, std::initializer_list<Number*> fields) {
    std::vector<Number> values;
    for (size_t i = 0; i < fields.size(); i++) {
        Number value{};
        if (!ParseNumber(NextToken(rest), value)) {
            return false;
        }
        values.push_back(value);
    }
    if (!OnlyBlanksLeft(rest)) {
        return false;
    }
    size_t i = 0;
    for (Number* field : fields) {
        *field = values[i++];
    }
    return true;
}

struct Parser {
    Script script;
    SoundScript* sound = &script.defaults;
    std::vector<CallRule>* rules = &script.rules;

    void StartFileSection(std::string_view path) {
        int index = FindFileSection(script, path);
        if (index < 0) {
            script.files.push_back({std::string(path), script.defaults, {}});
            index = static_cast<int>(script.files.size()) - 1;
        }
        sound = &script.files[index].sound;
        rules = &script.files[index].rules;
    }

    LineVerdict ParseLine(std::string_view line) {
        std::string_view rest = line;
        std::string_view directive = NextToken(rest);
        if (directive == "result") {
            return ParseRule(RuleKind::Result, rest, *rules);
        }
        if (directive == "crash") {
            return ParseRule(RuleKind::Crash, rest, *rules);
        }
        if (directive == "sleep") {
            return ParseRule(RuleKind::Sleep, rest, *rules);
        }
        if (directive == "length") {
            return ParseFields(rest, {&sound->lengthMs, &sound->lengthRawBytes})
                       ? LineVerdict::Understood
                       : LineVerdict::Malformed;
        }
        if (directive == "format") {
            return ParseFields(rest, {&sound->soundType, &sound->soundFormat, &sound->channels, &sound->bits})
                       ? LineVerdict::Understood
                       : LineVerdict::Malformed;
        }
        if (directive == "position") {
            return ParseFields(rest, {&sound->positionMs}) ? LineVerdict::Understood : LineVerdict::Malformed;
        }
        if (directive == "playing" || directive == "paused") {
            bool value = false;
            if (!ParseFlag(NextToken(rest), value) || !OnlyBlanksLeft(rest)) {
                return LineVerdict::Malformed;
            }
            (directive == "playing" ? sound->playing : sound->paused) = value;
            return LineVerdict::Understood;
        }
        if (directive == "tag") {
            return ParseTag(rest, *sound);
        }
        if (directive == "wave") {
            return ParseWave(rest, *sound);
        }
        if (directive == "file") {
            // The path is the rest of the line after one blank, taken byte for byte.
            if (rest.size() < 2 || !IsBlank(rest[0])) {
                return LineVerdict::Malformed;
            }
            StartFileSection(rest.substr(1));
            return LineVerdict::Understood;
        }
        return LineVerdict::UnknownDirective;
    }
};

std::string NoteFor(LineVerdict verdict, std::string_view line) {
    switch (verdict) {
    case LineVerdict::UnknownDirective:
        return "# unknown directive: " + std::string(line);
    case LineVerdict::UnknownEntryPoint:
        return "# unknown entry point: " + std::string(line);
    default:
        return "# malformed line: " + std::string(line);
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

bool IsEntryPointName(std::string_view name) {
    for (std::string_view known : kEntryPoints) {
        if (known == name) {
            return true;
        }
    }
    return false;
}

bool DecodeTagData(std::string_view escaped, std::string& bytes) {
    bytes.clear();
    for (size_t i = 0; i < escaped.size(); i++) {
        if (escaped[i] != '\\') {
            bytes += escaped[i];
            continue;
        }
        if (++i == escaped.size()) {
            return false;
        }
        switch (escaped[i]) {
        case '\\': bytes += '\\'; break;
        case 'n': bytes += '\n'; break;
        case 't': bytes += '\t'; break;
        case 's': bytes += ' '; break;
        case '0': bytes += '\0'; break;
        case 'x': {
            int high = i + 1 < escaped.size() ? HexDigit(escaped[i + 1]) : -1;
            int low = i + 2 < escaped.size() ? HexDigit(escaped[i + 2]) : -1;
            if (high < 0 || low < 0) {
                return false;
            }
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

int FindFileSection(const Script& script, std::string_view path) {
    for (size_t i = 0; i < script.files.size(); i++) {
        if (script.files[i].path == path) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

Script ParseScript(std::string_view text) {
    Parser parser;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::string_view probe = line;
        std::string_view first = NextToken(probe);
        if (first.empty() || first[0] == '#') {
            continue;
        }
        LineVerdict verdict = parser.ParseLine(line);
        if (verdict != LineVerdict::Understood) {
            parser.script.notes.push_back(NoteFor(verdict, line));
        }
    }
    return parser.script;
}
