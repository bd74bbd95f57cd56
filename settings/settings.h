#pragma once
#include <cstdint>

// The options kept between runs, one program-wide record, each field named by its key in
// "Quendra.ini". Flags hold 0 or 1; the current track's path, saved as PlayListMarkieren,
// lives in TrackInfo.
struct Settings {
    int32_t WiederholenEnable = 0;
    int32_t ReplayGainEnable = 0;
    int32_t FensterOnTop = 0;
    int32_t HauptVolume = 0;
    int32_t BalloonTipEnable = 0;
    int32_t HohePrioEnable = 0;
    int32_t MiniFensterEnable = 0;
    int32_t MiniFensterScrollTextEnable = 0;
    int32_t SongPositonVorweartsEnable = 0;
};

extern Settings g_settings;

// A menu toggle: 0 becomes 1, 1 becomes 0.
inline int32_t ToggledFlag(int32_t flag) {
    return flag ^ 1;
}
