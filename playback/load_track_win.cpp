#include "playback/load_track_win.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "playback/audio_engine.h"
#include "playback/tag_text.h"
#include "playback/tag_text_win.h"
#include "playback/track_balloon_win.h"
#include "playback/track_info.h"
#include "playback/track_text.h"
#include "playback/transport_win.h"
#include "playback/volume_win.h"
#include "settings/settings.h"
#include "text/path_text.h"
#include "ui/elements_win.h"
#include "ui/tray_icon_win.h"
#include "ui/version.h"

#define LINE_BASE 210000
#include "ui/current_line.h"

namespace {

// Stores one tag by its lower-cased name; names not listed are ignored.
void StoreTag(const std::string& name, const FMOD_TAG& tag) {
    const std::string value = SystemTagText(tag.data, tag.datalen);
    if (name == "artist") g_track.artist = value;
    else if (name == "title") g_track.title = value;
    else if (name == "icy-br") g_track.bitrateText = value;
    else if (name == "icy-name") g_track.streamName = value;
    else if (name == "replaygain_track_gain") {
        // The gain is read as plain 8-bit text, whatever its encoding.
        if (g_settings.ReplayGainEnable != 0) g_track.replayGainFactor = ReplayGainFactor(RawTagBytes(tag.data, tag.datalen));
    }
    else if (name == "genre") g_track.genre = value;
    else if (name == "comment") g_track.comment = value;
    else if (name == "year" || name == "date") g_track.date = value;
    else if (name == "track" || name == "tracknumber") g_track.trackNumber = ParseTrackNumber(value);
    else if (name == "album") g_track.album = value;
}

void ReadTags() {
    int count = 0;
    AT_LINE(); g_audio.Sound_GetNumTags(g_audio.sound, &count, nullptr);
    for (int index = 0; index < count; ++index) {
        FMOD_TAG tag = {};
        AT_LINE(); if (g_audio.Sound_GetTag(g_audio.sound, nullptr, index, &tag) != FMOD_OK) continue;
        const std::string name = tag.name ? LowerLatin1(TagText(tag.name, static_cast<unsigned>(strlen(tag.name)))) : "";
        StoreTag(name, tag);
        g_track.tagType = static_cast<int32_t>(tag.type);
    }
}

void ReadFormatAndLength(uint32_t* rawBytes) {
    FMOD_SOUND_TYPE type = FMOD_SOUND_TYPE_UNKNOWN;
    FMOD_SOUND_FORMAT format = FMOD_SOUND_FORMAT_NONE;
    int channels = 0, bits = 0;
    AT_LINE(); g_audio.Sound_GetFormat(g_audio.sound, &type, &format, &channels, &bits);
    g_track.soundType = type;
    g_track.soundFormat = format;
    g_track.channels = channels;
    g_track.bits = bits;

    unsigned int milliseconds = 0;
    AT_LINE(); g_audio.Sound_GetLength(g_audio.sound, &milliseconds, FMOD_TIMEUNIT_MS);
    g_track.lengthSeconds = static_cast<int32_t>(milliseconds / 1000);
    HWND slider = ControlHandle(kPositionSlider);
    if (slider) SendMessageA(slider, TBM_SETRANGEMAX, TRUE, g_track.lengthSeconds);

    unsigned int raw = 0;
    AT_LINE(); g_audio.Sound_GetLength(g_audio.sound, &raw, FMOD_TIMEUNIT_RAWBYTES);
    *rawBytes = raw;
}

void Announce(uint32_t rawBytes) {
    TrackAnnouncement announcement;
    if (!IsStreamTagType(g_track.tagType)) {
        g_track.bitrateText = FileBitrateText(rawBytes, g_track.lengthSeconds);
        announcement = AnnounceFile(g_track, VersionText());
    } else {
        g_track.artist.clear();
        g_track.title.clear();
        announcement = AnnounceStream(g_track);
    }
    g_track.displayText = announcement.displayText;
    ShowTrackBalloon(announcement.balloonTitle, announcement.balloonText);
}

void NothingLoaded() {
    g_track.displayText = NothingLoadedText(VersionText());
    ShowPlaySymbol();
    SetTrayTooltip(g_track.displayText.c_str());
}

} // namespace

void LoadTrack(const std::string& path) {
    ResetTrackInfo();
    if (g_audio.sound) {
        AT_LINE(); g_audio.Sound_Release(g_audio.sound);
        g_audio.sound = nullptr;
    }
    SetControlText(kTimeLabel, "Laden...");
    AT_LINE(); g_audio.System_SetStreamBufferSize(g_audio.system, 2000, FMOD_TIMEUNIT_MS);
    AT_LINE(); g_audio.System_CreateStream(g_audio.system, path.c_str(), FMOD_LOOP_OFF | FMOD_2D | FMOD_SOFTWARE | FMOD_CREATESTREAM,
                                           nullptr, &g_audio.sound);
    AT_LINE(); const FMOD_RESULT played = g_audio.System_PlaySound(g_audio.system, 0, g_audio.sound, 1, &g_audio.channel);
    if (played != FMOD_OK) {
        NothingLoaded();
        return;
    }
    g_track.path = path;
    AT_LINE(); g_audio.Channel_SetPriority(g_audio.channel, 256);
    ReadTags();
    uint32_t rawBytes = 0;
    ReadFormatAndLength(&rawBytes);
    Announce(rawBytes);
    ChangeVolume(0);
    AT_LINE(); g_audio.Channel_SetPaused(g_audio.channel, 0);
    ShowPauseSymbol();
    SetTrayTooltip(g_track.displayText.c_str());
}
