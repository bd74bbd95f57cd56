#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "settings/settings.h"

// "Quendra.ini" as read: the whole file, with a UTF-8 byte-order mark noted and dropped.
struct SettingsText {
    std::string bytes;
    bool utf8 = false;
};
SettingsText ParseSettingsBytes(const std::string& file);

// The value of the first line whose key matches (letters in any case), blanks around "="
// removed. Keys below a section header line are never found; comment lines are skipped.
// Text values of a UTF-8 file come back in Latin-1.
std::optional<std::string> FindSettingValue(const SettingsText& text, const std::string& key);

// An integer value as the C library's atoi reads it: optional sign, digits, then anything.
int32_t SettingNumber(const std::string& value);

// The file as written: twelve "Key = value" lines, CR LF each, in the fixed order.
std::string SettingsFileText(const Settings& settings, int32_t windowX, int32_t windowY,
                             const std::string& playListMarkieren);
