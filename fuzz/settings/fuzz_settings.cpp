// The settings reader on arbitrary bytes: every key the player reads is looked up, and the
// file written from the numbers read must read back to the same numbers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/settings_file.h"

namespace {

int32_t Number(const SettingsText& text, const char* key) {
    const auto value = FindSettingValue(text, key);
    return value ? SettingNumber(*value) : 0;
}

const struct {
    const char* key;
    int32_t Settings::*field;
} kFields[] = {{"WiederholenEnable", &Settings::WiederholenEnable}, {"ReplayGainEnable", &Settings::ReplayGainEnable},
               {"FensterOnTop", &Settings::FensterOnTop}, {"HauptVolume", &Settings::HauptVolume},
               {"BalloonTipEnable", &Settings::BalloonTipEnable}, {"HohePrioEnable", &Settings::HohePrioEnable},
               {"MiniFensterEnable", &Settings::MiniFensterEnable},
               {"MiniFensterScrollTextEnable", &Settings::MiniFensterScrollTextEnable},
               {"SongPositonVorweartsEnable", &Settings::SongPositonVorweartsEnable}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const SettingsText text = ParseSettingsBytes(std::string(reinterpret_cast<const char*>(data), size));
    Settings read;
    for (const auto& f : kFields) read.*f.field = Number(text, f.key);
    const int32_t x = Number(text, "WindowX"), y = Number(text, "WindowY");
    FindSettingValue(text, "PlayListMarkieren");

    const SettingsText written = ParseSettingsBytes(SettingsFileText(read, x, y, ""));
    for (const auto& f : kFields)
        if (Number(written, f.key) != read.*f.field) __builtin_trap();
    if (Number(written, "WindowX") != x || Number(written, "WindowY") != y) __builtin_trap();
    return 0;
}
