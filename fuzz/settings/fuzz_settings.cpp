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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const SettingsText text = ParseSettingsBytes(std::string(reinterpret_cast<const char*>(data), size));
    Settings read;
    int32_t* fields[] = {&read.WiederholenEnable, &read.ReplayGainEnable, &read.FensterOnTop,
                         &read.HauptVolume, &read.BalloonTipEnable, &read.HohePrioEnable,
                         &read.MiniFensterEnable, &read.MiniFensterScrollTextEnable,
                         &read.SongPositonVorweartsEnable};
    const char* keys[] = {"WiederholenEnable", "ReplayGainEnable", "FensterOnTop",
                          "HauptVolume", "BalloonTipEnable", "HohePrioEnable",
                          "MiniFensterEnable", "MiniFensterScrollTextEnable", "SongPositonVorweartsEnable"};
    for (size_t i = 0; i < sizeof keys / sizeof keys[0]; ++i) *fields[i] = Number(text, keys[i]);
    const int32_t x = Number(text, "WindowX"), y = Number(text, "WindowY");
    FindSettingValue(text, "PlayListMarkieren");

    const SettingsText written = ParseSettingsBytes(SettingsFileText(read, x, y, ""));
    for (size_t i = 0; i < sizeof keys / sizeof keys[0]; ++i)
        if (Number(written, keys[i]) != *fields[i]) __builtin_trap();
    if (Number(written, "WindowX") != x || Number(written, "WindowY") != y) __builtin_trap();
    return 0;
}
