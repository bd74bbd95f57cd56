#pragma once
#include <string>

// A text cut to `maximum` characters. From the left: its start and the ellipsis. From the
// right: the ellipsis and its tail, taken from the first separator within the last
// `maximum` characters on (so a long path keeps "\folder\file").
std::string ShortenText(const std::string& text, const std::string& separator, size_t maximum, bool fromRight,
                        const std::string& ellipsis);

// What a stream's new artist and title announce.
struct StreamTitleTexts {
    std::string balloonTitle;
    std::string balloonText;
    std::string tooltip;
    std::string displayText;
};

// The station is the stream's name (cut to 40 characters) or, without a name, the tail of
// its path. Parts are joined as they are, also when empty.
StreamTitleTexts StreamTitleAnnouncement(const std::string& streamName, const std::string& path,
                                         const std::string& bitrate, const std::string& artist,
                                         const std::string& title);
