#include "playback/track_info.h"

#include <cstdlib>

TrackInfo g_track;

void ResetTrackInfo() {
    g_track = TrackInfo{};
}

namespace {

std::string TwoDigits(int32_t value) {
    std::string text = std::to_string(value);
    return value < 10 ? "0" + text : text;
}

} // namespace

std::string TimeText(int32_t seconds) {
    // Truncating division first, then the magnitudes: -5 gives 00:05.
    const int32_t minutes = std::abs(seconds / 60);
    const int32_t rest = std::abs(seconds % 60);
    return TwoDigits(minutes) + ":" + TwoDigits(rest);
}
