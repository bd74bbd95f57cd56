#include "script.h"

#include <cctype>
#include <sstream>

namespace {

// True when nothing but blanks is left.
bool AtEnd(std::istringstream& words) {
    std::string more;
    return !(words >> more);
}

// The rest of the line after the one blank that ends the word before it, byte for byte.
std::string Rest(std::istringstream& words) {
    words.get();
    std::string rest;
    std::getline(words, rest);
    return rest;
}

// `result NAME[#N] CODE` or `crash NAME[#N] [access | divide | raise HEX]`.
bool ParseRule(bool crash, std::istringstream& words, std::vector<Rule>& rules) {
    Rule rule;
    rule.crash = crash;
    std::string target, kind;
    words >> target;
    const size_t hash = target.find('#');
    rule.name = target.substr(0, hash);
    if (rule.name.empty()) return false;
    if (hash != std::string::npos) {
        std::istringstream number(target.substr(hash + 1));
        if (!(number >> rule.callNumber) || rule.callNumber == 0 || !AtEnd(number)) return false;
    }
    if (!crash && !(words >> rule.code)) return false;
    if (crash && words >> kind && kind != "access") {
        if (kind == "divide") rule.fault = Fault::Divide;
        else if (kind == "raise" && words >> std::hex >> rule.raiseCode) rule.fault = Fault::Raise;
        else return false;
    }
    if (!AtEnd(words)) return false;
    rules.push_back(rule);
    return true;
}

// Tag data: \\ and \xNN stand for bytes; any other backslash is an error.
bool Unescape(const std::string& text, std::string& bytes) {
    for (size_t i = 0; i < text.size(); i++) {
        const char code = text[i] == '\\' && i + 1 < text.size() ? text[i + 1] : '\0';
        unsigned byte = static_cast<unsigned char>(text[i]);
        if (code == 'x' && i + 3 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            byte = std::stoul(text.substr(i + 2, 2), nullptr, 16);
            i += 3;
        } else if (code == '\\') {
            i++;
        } else if (text[i] == '\\') {
            return false;
        }
        bytes += static_cast<char>(byte);
    }
    return true;
}

// `sound` is what the line's section sets; rules stand only before the first `file`.
bool ParseLine(std::istringstream& words, Script& script, SoundScript*& sound) {
    std::string directive;
    words >> directive;
    if ((directive == "result" || directive == "crash") && sound == &script.sound)
        return ParseRule(directive == "crash", words, script.rules);
    if (directive == "length") return words >> sound->lengthMs >> sound->lengthRawBytes && AtEnd(words);
    if (directive == "format")
        return words >> sound->type >> sound->format >> sound->channels >> sound->bits && AtEnd(words);
    if (directive == "position") return words >> sound->positionMs && AtEnd(words);
    if (directive == "playing") return words >> sound->playing && sound->playing <= 1 && AtEnd(words);
    if (directive == "wave") {
        sound->wave.clear();
        for (float value = 0; words >> value;) sound->wave.push_back(value);
        return words.eof();
    }
    if (directive == "tag") {
        ScriptTag tag;
        if (!(words >> tag.type >> tag.name) || !Unescape(Rest(words), tag.data)) return false;
        sound->tags.push_back(tag);
        return true;
    }
    if (directive == "file") {
        const std::string path = Rest(words);
        if (path.empty()) return false;
        script.files.push_back({path, script.sound});
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
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string first;
        if (!(words >> first) || first[0] == '#') continue;
        words.seekg(0);
        if (!ParseLine(words, script, sound)) script.notes.push_back("# not understood: " + line);
    }
    return script;
}
