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

// The whole word as a number.
template <typename Number, typename... Base>
bool Parse(std::string_view word, Number& value, Base... base) {
    const char* end = word.data() + word.size();
    auto [stop, error] = std::from_chars(word.data(), end, value, base...);
    return !word.empty() && error == std::errc() && stop == end;
}

template <typename Number, typename... Base>
bool Read(std::string_view& rest, Number& value, Base... base) {
    return Parse(Word(rest), value, base...);
}

// `result NAME[#N] CODE` or `crash NAME[#N] [access | divide | raise HEX]`.
bool ParseRule(bool crash, std::string_view rest, std::vector<Rule>& rules) {
    Rule rule;
    rule.crash = crash;
    std::string_view target = Word(rest);
    size_t hash = target.find('#');
    rule.name = std::string(target.substr(0, hash));
    if (rule.name.empty()) return false;
    if (hash != std::string_view::npos && (!Parse(target.substr(hash + 1), rule.callNumber) || rule.callNumber == 0))
        return false;
    std::string_view kind = crash ? Word(rest) : "";
    if (!crash && !Read(rest, rule.code)) return false;
    if (kind == "divide") rule.fault = Fault::Divide;
    if (kind == "raise") rule.fault = Fault::Raise;
    if (kind == "raise" && !Read(rest, rule.raiseCode, 16)) return false;
    if ((kind != "" && kind != "access" && kind != "divide" && kind != "raise") || !AtEnd(rest)) return false;
    rules.push_back(rule);
    return true;
}

// Tag data: \\, \s (a blank) and \xNN stand for bytes; any other backslash is an error.
bool Unescape(std::string_view text, std::string& bytes) {
    for (size_t i = 0; i < text.size(); i++) {
        unsigned byte = static_cast<unsigned char>(text[i]);
        const char code = text[i] == '\\' && i + 1 < text.size() ? text[i + 1] : '\0';
        if (code == 'x' && i + 3 < text.size() && Parse(text.substr(i + 2, 2), byte, 16)) {
            i += 3;
        } else if (code == 's' || code == '\\') {
            byte = code == 's' ? ' ' : '\\';
            i++;
        } else if (text[i] == '\\') {
            return false;
        }
        bytes += static_cast<char>(byte);
    }
    return true;
}

// `sound` is what the line's section sets; rules stand only before the first `file`.
bool ParseLine(std::string_view rest, Script& script, SoundScript*& sound) {
    std::string_view directive = Word(rest);
    if ((directive == "result" || directive == "crash") && sound == &script.sound)
        return ParseRule(directive == "crash", rest, script.rules);
    if (directive == "length") return Read(rest, sound->lengthMs) && Read(rest, sound->lengthRawBytes) && AtEnd(rest);
    if (directive == "format") {
        return Read(rest, sound->type) && Read(rest, sound->format) && Read(rest, sound->channels) &&
               Read(rest, sound->bits) && AtEnd(rest);
    }
    if (directive == "position") return Read(rest, sound->positionMs) && AtEnd(rest);
    if (directive == "playing") return Read(rest, sound->playing) && sound->playing <= 1 && AtEnd(rest);
    if (directive == "wave") {
        sound->wave.clear();
        for (float value = 0; !AtEnd(rest); sound->wave.push_back(value))
            if (!Read(rest, value)) return false;
        return true;
    }
    if (directive == "tag") {
        ScriptTag tag;
        bool fits = Read(rest, tag.type);
        tag.name = std::string(Word(rest));
        // The data is everything after the one blank that ends the name.
        if (!fits || tag.name.empty() || !Unescape(rest.substr(rest.empty() ? 0 : 1), tag.data)) return false;
        sound->tags.push_back(tag);
        return true;
    }
    if (directive == "file" && rest.size() >= 2 && IsBlank(rest[0])) {
        // The path is the rest of the line after one blank, byte for byte.
        script.files.push_back({std::string(rest.substr(1)), script.sound});
        sound = &script.files.back().sound;
        return true;
    }
    return false;
}

} // namespace

const SoundScript& SoundFor(const Script& script, const char* path) {
    for (const FileScript& file : script.files)
        if (path && file.path == path) return file.sound;
    return script.sound;
}

Script ParseScript(std::string_view text) {
    Script script;
    SoundScript* sound = &script.sound;  // files is a deque: this stays valid
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        std::string_view probe = line;
        std::string_view first = Word(probe);
        if (!first.empty() && first[0] != '#' && !ParseLine(line, script, sound))
            script.notes.push_back("# not understood: " + std::string(line));
    }
    return script;
}
