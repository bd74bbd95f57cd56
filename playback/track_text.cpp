#include "playback/track_text.h"

#include "text/path_text.h"

std::string FileBitrateText(uint32_t rawBytes, int32_t lengthSeconds) {
    if (lengthSeconds <= 0) return "";
    const uint32_t bytesPerSecond = rawBytes / static_cast<uint32_t>(lengthSeconds);
    return std::to_string(bytesPerSecond / 1000 * 8);
}

TrackAnnouncement AnnounceFile(const TrackInfo& track, const char* version) {
    const std::string time = " (" + TimeText(track.lengthSeconds) + ")";
    if (track.artist.empty() && track.title.empty()) {
        const std::string text = FileNamePart(track.path) + time;
        return {text, std::string("Quendra ") + version, text};
    }
    return {track.artist + " - " + track.title + time, track.artist, track.title + time};
}

TrackAnnouncement AnnounceStream(const TrackInfo& track) {
    const std::string rate = " (" + track.bitrateText + " kbps)";
    if (track.streamName.empty()) return {track.path + rate, track.path + rate, ""};
    return {track.streamName + rate, track.path + rate, track.streamName};
}

std::string NothingLoadedText(const char* version) {
    return std::string("Quendra ") + version + " - keine Datei geladen";
}
