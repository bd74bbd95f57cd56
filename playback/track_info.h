#pragma once
#include <cstdint>
#include <string>

// The single record of the current track. Texts are 8-bit (Latin-1) strings.
struct TrackInfo {
    std::string path; // as passed to LoadTrack; set only when the load succeeds
    std::string artist;
    std::string title;
    int32_t lengthSeconds = 0;
    float replayGainFactor = 1.0f;
    std::string bitrateText;
    std::string streamName;
    int32_t tagType = 0; // 4 or 5 marks an internet stream
    std::string genre;
    std::string date;
    std::string comment;
    int32_t trackNumber = 0;
    std::string album;
    int32_t soundType = 0;
    int32_t soundFormat = 0;
    int32_t channels = 0;
    int32_t bits = 0;
    std::string displayText;
    int32_t scrollOffset = 10; // scrolling-text position in pixels
    int32_t scrollStep = 0;    // -1, 0 or +1
};

extern TrackInfo g_track;

void ResetTrackInfo();

// Seconds as mm:ss, never with a sign; minutes are not limited (5400 gives 90:00).
std::string TimeText(int32_t seconds);
