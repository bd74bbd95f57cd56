#include "display/status_update_win.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "display/status_text.h"
#include "playback/audio_engine.h"
#include "playback/load_track_win.h"
#include "playback/tag_text.h"
#include "playback/tag_text_win.h"
#include "playback/track_balloon_win.h"
#include "playback/track_info.h"
#include "playback/track_text.h"
#include "playlist/playlist_transport_win.h"
#include "settings/settings.h"
#include "text/path_text.h"
#include "ui/elements_win.h"
#include "ui/ticks.h"
#include "ui/tray_icon_win.h"

#define LINE_BASE 420000
#include "ui/current_line.h"

namespace {

TickMark g_lastTagCheckTick;

// Artist and title as the stream reports them now.
void ReadStreamTitle(std::string* artist, std::string* title) {
    int count = 0;
    AT_LINE(); g_audio.Sound_GetNumTags(g_audio.sound, &count, nullptr);
    for (int index = 0; index < count; ++index) {
        FMOD_TAG tag = {};
        AT_LINE(); if (g_audio.Sound_GetTag(g_audio.sound, nullptr, index, &tag) != FMOD_OK || !tag.name) continue;
        const std::string name = LowerLatin1(TagText(tag.name, static_cast<unsigned>(std::strlen(tag.name))));
        if (name == "artist") *artist = SystemTagText(tag.data, tag.datalen);
        else if (name == "title") *title = SystemTagText(tag.data, tag.datalen);
    }
}

void FollowStreamTitle() {
    std::string artist, title;
    ReadStreamTitle(&artist, &title);
    if (artist == g_track.artist && title == g_track.title) return;
    g_track.artist = artist;
    g_track.title = title;
    const StreamTitleTexts texts =
        StreamTitleAnnouncement(g_track.streamName, g_track.path, g_track.bitrateText, artist, title);
    ShowTrackBalloon(texts.balloonTitle, texts.balloonText);
    SetTrayTooltip(texts.tooltip.c_str());
    g_track.displayText = texts.displayText;
    g_track.scrollOffset = 10;
}

} // namespace

void UpdateStatus() {
    unsigned int milliseconds = 0;
    AT_LINE(); g_audio.Channel_GetPosition(g_audio.channel, &milliseconds, FMOD_TIMEUNIT_MS);
    const int32_t seconds = static_cast<int32_t>(milliseconds / 1000);
    SetControlText(kTimeLabel, TimeText(g_settings.SongPositonVorweartsEnable == 1 ? seconds
                                                                                   : g_track.lengthSeconds - seconds));
    HWND slider = ControlHandle(kPositionSlider);
    if (slider) SendMessageA(slider, TBM_SETPOS, TRUE, seconds);

    FMOD_BOOL playing = 0;
    AT_LINE(); g_audio.Channel_IsPlaying(g_audio.channel, &playing);
    if (!playing && seconds != 0) {
        AT_LINE(); LoadTrack(NextEntryPath(0));
    }

    if (IsDue(g_lastTagCheckTick, GetTickCount(), 2000) && IsStreamTagType(g_track.tagType)) {
        AT_LINE(); FollowStreamTitle();
        MarkRun(&g_lastTagCheckTick, GetTickCount());
    }
}
