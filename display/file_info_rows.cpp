#include "display/file_info_rows.h"

#include <cstdio>

namespace {

std::string ReplayGainText(float factor) {
    char text[64];
    std::snprintf(text, sizeof text, "%.10f", static_cast<double>(factor));
    return text;
}

} // namespace

std::vector<FileInfoRow> FileInfoRows(const TrackInfo& track) {
    return {
        {"Datei", track.path},
        {"Artist", track.artist},
        {"Titel", track.title},
        {"Album", track.album},
        {"Kommentar", track.comment},
        {"Datum", track.date},
        {"Genre", track.genre},
        {"Tracknummer", std::to_string(track.trackNumber)},
        {"L\xE4nge", TimeText(track.lengthSeconds)},
        {"Bitrate", track.bitrateText},
        {"Kan\xE4le", std::to_string(track.channels)},
        {"Replaygain", ReplayGainText(track.replayGainFactor)},
        {"Streamname", track.streamName},
    };
}

std::string FileInfoClipText(const FileInfoRow& row) {
    return row.label + ": " + row.value;
}
