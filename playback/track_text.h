#pragma once
#include <cstdint>
#include <string>

#include "playback/track_info.h"

// Kilobits per second of a file from its encoded size, always a multiple of 8; empty for a
// length below one second, which has no meaningful rate.
std::string FileBitrateText(uint32_t rawBytes, int32_t lengthSeconds);

// What a load announces: the one-line description and the balloon tip.
struct TrackAnnouncement {
    std::string displayText;
    std::string balloonTitle;
    std::string balloonText;
};

// For a file: "artist - title (mm:ss)" or, without both tags, "name (mm:ss)".
TrackAnnouncement AnnounceFile(const TrackInfo& track, const char* version);

// For a stream: "name (128 kbps)", or the URL when the stream has no name.
TrackAnnouncement AnnounceStream(const TrackInfo& track);

// The description after a failed load.
std::string NothingLoadedText(const char* version);

// True for the tag types of internet streams.
inline bool IsStreamTagType(int32_t tagType) {
    return tagType == 4 || tagType == 5;
}
