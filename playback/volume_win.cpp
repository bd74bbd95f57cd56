#include "playback/volume_win.h"

#include <string>

#include "playback/audio_engine.h"
#include "playback/track_info.h"
#include "playback/volume.h"
#include "settings/settings.h"
#include "ui/elements_win.h"

#define LINE_BASE 230000
#include "ui/current_line.h"

namespace {
int32_t g_savedVolume = 0; // the volume before the last mute; not kept between runs
}

void ChangeVolume(int32_t step) {
    AT_LINE(); StepVolume(step, g_settings.HauptVolume, g_savedVolume);
    if (g_audio.Channel_SetVolume) {
        AT_LINE(); g_audio.Channel_SetVolume(g_audio.channel, ChannelVolume(g_track.replayGainFactor, g_settings.HauptVolume));
    }
    if (step != 0) SetControlText(kTimeLabel, std::to_string(g_settings.HauptVolume) + "%");
    SetControlTextColor(kTimeLabel, g_settings.HauptVolume == 0 ? RGB(150, 0, 0) : RGB(0, 150, 0));
}

void SeekSeconds(int32_t seconds) {
    if (!g_audio.Channel_SetPosition) return;
    AT_LINE(); g_audio.Channel_SetPosition(g_audio.channel, static_cast<unsigned>(seconds) * 1000u, FMOD_TIMEUNIT_MS);
}
