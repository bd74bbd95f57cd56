#include "display/status_update_win.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "app/build_ui_win.h"
#include "app/elements_win.h"
#include "app/loop_state.h"
#include "app/ticks.h"
#include "display/status_text.h"
#include "playback/audio_engine.h"
#include "playback/load_track_win.h"
#include "playback/tag_text.h"
#include "playback/track_info.h"
#include "playback/track_text.h"
#include "playback/transport_win.h"
#include "playlist/path_text.h"
#include "settings/settings.h"

#define LINE_BASE 420000
#include "app/current_line.h"

namespace {

std::string g_lastBalloonTitle;
std::string g_lastBalloonText;
uint32_t g_lastTagCheckTick = 0;

void ShowBalloonNow(const std::string& title, const std::string& text) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = WindowHandle(kMainWindow);
    data.uID = kTrayIcon;
    data.uFlags = NIF_INFO;
    std::strncpy(data.szInfo, text.c_str(), sizeof data.szInfo - 1);
    std::strncpy(data.szInfoTitle, title.c_str(), sizeof data.szInfoTitle - 1);
    data.uTimeout = 10000;
    data.dwInfoFlags = NIIF_USER;
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

// Artist and title as the stream reports them now.
void ReadStreamTitle(std::string* artist, std::string* title) {
    int count = 0;
    AT_LINE(); g_audio.Sound_GetNumTags(g_audio.sound, &count, nullptr);
    for (int index = 0; index < count; ++index) {
        FMOD_TAG tag = {};
        AT_LINE(); if (g_audio.Sound_GetTag(g_audio.sound, nullptr, index, &tag) != FMOD_OK || !tag.name) continue;
        const std::string name = LowerLatin1(TagText(tag.name, static_cast<unsigned>(std::strlen(tag.name))));
        if (name == "artist") *artist = TagText(tag.data, tag.datalen);
        else if (name == "title") *title = TagText(tag.data, tag.datalen);
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

void ShowTrackBalloon(const std::string& title, const std::string& text) {
    const bool last = title == "LAST" && text == "LAST";
    const std::string shownTitle = last ? g_lastBalloonTitle : title;
    const std::string shownText = last ? g_lastBalloonText : text;
    if (!IsWindowNumberVisible(kMainWindow) && g_settings.BalloonTipEnable == 1) {
        AT_LINE(); ShowBalloonNow(shownTitle, shownText);
        g_loop.BalloonShownTick = GetTickCount();
    }
    if (!shownTitle.empty() && !shownText.empty()) {
        g_lastBalloonTitle = shownTitle;
        g_lastBalloonText = shownText;
    }
}

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

    if (MoreThanElapsed(g_lastTagCheckTick, GetTickCount(), 2000) && IsStreamTagType(g_track.tagType)) {
        AT_LINE(); FollowStreamTitle();
        g_lastTagCheckTick = GetTickCount();
    }
}
