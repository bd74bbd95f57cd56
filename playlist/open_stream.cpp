#include "playlist/open_stream.h"

#include "playlist/open_files.h"
#include "text/path_text.h"

bool StreamAddressNeedsDownload(const std::string& address) {
    return !DialogExtension(address).empty();
}

bool ContentTypeIsAudio(const std::string& contentType) {
    const std::string type = LowerLatin1(contentType);
    // Lists are often served under audio types too.
    if (type.find("scpls") != std::string::npos || type.find("mpegurl") != std::string::npos ||
        type.find("ms-wax") != std::string::npos)
        return false;
    return type.compare(0, 6, "audio/") == 0 || type.compare(0, 15, "application/ogg") == 0;
}

bool AnswerIsStreamList(const std::string& contentType, const char* bytes, size_t size) {
    if (ContentTypeIsAudio(contentType)) return false;
    size_t start = 0;
    if (size >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF && static_cast<unsigned char>(bytes[1]) == 0xBB &&
        static_cast<unsigned char>(bytes[2]) == 0xBF)
        start = 3;
    while (start < size && (bytes[start] == ' ' || bytes[start] == '\t' || bytes[start] == '\r' || bytes[start] == '\n'))
        ++start;
    const std::string head = LowerLatin1(std::string(bytes + start, size - start).substr(0, 16));
    const char* const listStarts[] = {"[playlist]", "[reference]", "#", "<asx", "<?xml", "http://", "https://",
                                      "mms://", "rtsp://", "ftp://"};
    for (const char* prefix : listStarts) {
        if (head.compare(0, std::string(prefix).size(), prefix) == 0) return true;
    }
    return false;
}
