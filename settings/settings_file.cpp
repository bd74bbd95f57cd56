#include "settings/settings_file.h"

#include <vector>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string TrimRight(std::string text) {
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    return text;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || bytes[i] == '\r' || bytes[i] == '\n') {
            if (i > start) lines.push_back(bytes.substr(start, i - start));
            start = i + 1;
        }
    }
    return lines;
}

// UTF-8 text to Latin-1; characters beyond Latin-1 become "?".
std::string Utf8ToLatin1(const std::string& text) {
    std::string latin;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 1;
        if (i + length > text.size()) length = 1;
        uint32_t value = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) value = (value << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        latin.push_back(value <= 0xFF ? static_cast<char>(value) : '?');
        i += length;
    }
    return latin;
}

} // namespace

SettingsText ParseSettingsBytes(const std::string& file) {
    if (file.size() > 2 && file.compare(0, 3, "\xEF\xBB\xBF") == 0) return {file.substr(3), true};
    return {file, false};
}

std::optional<std::string> FindSettingValue(const SettingsText& text, const std::string& key) {
    for (const std::string& raw : Lines(text.bytes)) {
        size_t start = 0;
        while (start < raw.size() && IsBlank(raw[start])) ++start;
        const std::string line = raw.substr(start);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') break; // keys below a section header are not ours
        const size_t equals = line.find('=');
        const std::string lineKey = TrimRight(line.substr(0, equals));
        if (!EqualIgnoringCase(lineKey, key)) continue;
        std::string value;
        if (equals != std::string::npos) {
            size_t v = equals + 1;
            while (v < line.size() && IsBlank(line[v])) ++v;
            value = line.substr(v);
        }
        return text.utf8 ? Utf8ToLatin1(value) : value;
    }
    return std::nullopt;
}

int32_t SettingNumber(const std::string& value) {
    size_t i = 0;
    while (i < value.size() && (IsBlank(value[i]) || value[i] == '\v' || value[i] == '\f')) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    int64_t number = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        number = number * 10 + (value[i] - '0');
        if (number > 2147483648LL) number = 2147483648LL; // hand-edited nonsense stays bounded
    }
    if (negative) number = -number;
    if (number > 2147483647) number = 2147483647;
    return static_cast<int32_t>(number);
}

std::string SettingsFileText(const Settings& s, int32_t windowX, int32_t windowY,
                             const std::string& playListMarkieren) {
    auto line = [](const char* key, const std::string& value) { return std::string(key) + " = " + value + "\r\n"; };
    auto number = [&](const char* key, int32_t value) { return line(key, std::to_string(value)); };
    return number("WindowX", windowX) + number("WindowY", windowY) +
           number("WiederholenEnable", s.WiederholenEnable) + number("ReplayGainEnable", s.ReplayGainEnable) +
           number("FensterOnTop", s.FensterOnTop) + number("HauptVolume", s.HauptVolume) +
           number("BalloonTipEnable", s.BalloonTipEnable) + line("PlayListMarkieren", playListMarkieren) +
           number("HohePrioEnable", s.HohePrioEnable) + number("MiniFensterEnable", s.MiniFensterEnable) +
           number("MiniFensterScrollTextEnable", s.MiniFensterScrollTextEnable) +
           number("SongPositonVorweartsEnable", s.SongPositonVorweartsEnable);
}
