#include "display/status_text.h"

std::string ShortenText(const std::string& text, const std::string& separator, size_t maximum, bool fromRight,
                        const std::string& ellipsis) {
    if (text.size() <= maximum) return text;
    if (!fromRight) return text.substr(0, maximum) + ellipsis;
    const std::string tail = text.substr(text.size() - maximum);
    const size_t at = separator.empty() ? std::string::npos : tail.find(separator);
    return ellipsis + (at == std::string::npos ? tail : tail.substr(at));
}

StreamTitleTexts StreamTitleAnnouncement(const std::string& streamName, const std::string& path,
                                         const std::string& bitrate, const std::string& artist,
                                         const std::string& title) {
    const std::string station =
        !streamName.empty() ? ShortenText(streamName, " ", 40, false, "...") : ShortenText(path, "\\", 40, true, "...");
    const std::string rate = " (" + bitrate + " kbps)";
    StreamTitleTexts texts;
    texts.balloonTitle = station + rate;
    texts.balloonText = artist + " - " + title;
    texts.tooltip = station + rate + " - " + artist + " - " + title;
    texts.displayText = station.substr(0, 60) + " - " + artist + " - " + title + rate;
    return texts;
}
