#include "script.h"

#include <charconv>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Takes the next blank-separated word off the front of `rest`; `rest` then starts right
// after it, blank included.
std::string_view Word(std::string_view& rest) {
    size_t start = 0;
    while (start < rest.size() && IsBlank(rest[start])) start++;
    size_t end = start;
    while (end < rest.size() && !IsBlank(rest[end])) end++;
    std::string_view word = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return word;
}

bool AtEnd(std::string_view rest) {
    return Word(rest).empty();
}

bool ToUnsigned(std::string_view word, unsigned& value, int base = 10) {
    const char* end = word.data() + word.size();
    auto [stop, error] = std::from_chars(word.data(), end, value, base);
    return !word.empty() && error == std::errc() && stop == end;
}

bool ReadUnsigned(std::string_view& rest, unsigned& value, int base = 10) {
    return ToUnsigned(Word(rest), value, base);
}

bool ReadFloat(std::string_view& rest, float& value) {
    std::string_view word = Word(rest);
    const char* end = word.data() + word.size();
    auto [stop, error] = std::from_chars(word.data(), end, value);
    return !word.empty() && error == std::errc() && stop == end;
}

// `result NAME[#N] CODE` or `crash NAME[#N] [access | divide | raise HEX]`.
bool ParseRule(bool crash, std::string_view rest, std::vector<Rule>& rules) {
    Rule rule;
    rule.crash = crash;
    std::string_view target = Word(rest);
    size_t hash = target.find('#');
    rule.name = std::string(target.substr(0, hash));
    if (rule.name.empty()) return false;
    if (hash != std::string_view::npos && (!ToUnsigned(target.substr(hash + 1), rule.callNumber) || rule.callNumber == 0)) {
        return false;
    }
    if (!crash) {
        if (!ReadUnsigned(rest, rule.code)) return false;
    } else {
        std::string_view kind = Word(rest);
        if (kind == "divide") {
            rule.fault = Fault::Divide;
        } else if (kind == "raise") {
            rule.fault = Fault::Raise;
            if (!ReadUnsigned(rest, rule.raiseCode, 16)) return false;
        } else if (!kind.empty() && kind != "access") {
            return false;
        }
    }
    if (!AtEnd(rest)) return false;
    rules.push_back(rule);
    return true;
}

// Tag data: \\, \s (a blank) and \xNN stand for bytes; any other backslash is an error.
bool Unescape(std::string_view text, std::string& bytes) {
    for (size_t i = 0; i < text.size(); i++) {
        char next = i + 1 < text.size() ? text[i + 1] : '\0';
        unsigned byte = 0;
        if (text[i] != '\\') {
            bytes += text[i];
        } else if (next == '\\' || next == 's') {
            bytes += next == 's' ? ' ' : '\\';
            i++;
        } else if (next == 'x' && i + 3 < text.size() && ToUnsigned(text.substr(i + 2, 2), byte, 16)) {
            bytes += static_cast<char>(byte);
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

bool ParseLine(std::string_view line, Script& script, int& section) {
    std::string_view rest = line;
    std::string_view directive = Word(rest);
    SoundScript& sound = script.sections[section].sound;
    if (directive == "result" || directive == "crash") {
        return ParseRule(directive == "crash", rest, script.sections[section].rules);
    }
    if (directive == "length") {
        return ReadUnsigned(rest, sound.lengthMs) && ReadUnsigned(rest, sound.lengthRawBytes) && AtEnd(rest);
    }
    if (directive == "format") {
        return ReadUnsigned(rest, sound.type) && ReadUnsigned(rest, sound.format) &&
               ReadUnsigned(rest, sound.channels) && ReadUnsigned(rest, sound.bits) && AtEnd(rest);
    }
    if (directive == "position") {
        return ReadUnsigned(rest, sound.positionMs) && AtEnd(rest);
    }
    if (directive == "playing") {
        return ReadUnsigned(rest, sound.playing) && sound.playing <= 1 && AtEnd(rest);
    }
    if (directive == "wave") {
        sound.wave.clear();
        for (float value = 0; !AtEnd(rest); sound.wave.push_back(value)) {
            if (!ReadFloat(rest, value)) return false;
        }
        return true;
    }
    if (directive == "tag") {
        ScriptTag tag;
        bool fits = ReadUnsigned(rest, tag.type);
        tag.name = std::string(Word(rest));
        // The data is everything after the one blank that ends the name.
        if (!fits || tag.name.empty() || !Unescape(rest.substr(rest.empty() ? 0 : 1), tag.data)) return false;
        sound.tags.push_back(tag);
        return true;
    }
    if (directive == "file" && rest.size() >= 2 && IsBlank(rest[0])) {
        // The path is the rest of the line after one blank, byte for byte.
        std::string_view path = rest.substr(1);
        section = FindSection(script, path);
        if (section == 0) {
            script.sections.push_back({std::string(path), script.sections[0].sound, {}});
            section = static_cast<int>(script.sections.size()) - 1;
        }
        return true;
    }
    return false;
}

} // namespace

int FindSection(const Script& script, std::string_view path) {
    for (size_t i = 1; i < script.sections.size(); i++) {
        if (script.sections[i].path == path) return static_cast<int>(i);
    }
    return 0;
}

Script ParseScript(std::string_view text) {
    Script script;
    script.sections.resize(1);
    int section = 0;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string_view probe = line;
        std::string_view first = Word(probe);
        if (!first.empty() && first[0] != '#' && !ParseLine(line, script, section)) {
            script.notes.push_back("# not understood: " + std::string(line));
        }
    }
    return script;
}
