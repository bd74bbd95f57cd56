#include "playlist/open_stream.h"

#include "playlist/open_files.h"
#include "text/path_text.h"

bool StreamAddressNeedsDownload(const std::string& address) {
    return !DialogExtension(address).empty();
}

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::string(prefix).size(), prefix) == 0;
}

bool ContentTypeIsList(const std::string& contentType) {
    const std::string type = LowerLatin1(contentType);
    return type.find("scpls") != std::string::npos || type.find("mpegurl") != std::string::npos ||
           type.find("ms-wax") != std::string::npos || type.find("ms-asf") != std::string::npos;
}

bool BytesAreList(const char* bytes, size_t size) {
    size_t start = 0;
    if (size >= 3 && StartsWith(std::string(bytes, 3), "\xEF\xBB\xBF")) start = 3;
    while (start < size && (bytes[start] == ' ' || bytes[start] == '\t' || bytes[start] == '\r' || bytes[start] == '\n'))
        ++start;
    const std::string head = LowerLatin1(std::string(bytes + start, size - start).substr(0, 16));
    const char* const listStarts[] = {"[playlist]", "[reference]", "#", "<asx", "<?xml", "http://", "https://",
                                      "mms://", "rtsp://", "ftp://"};
    for (const char* prefix : listStarts) {
        if (StartsWith(head, prefix)) return true;
    }
    return false;
}

bool BytesAreAudio(const char* bytes, size_t size) {
    const std::string head(bytes, size < 4 ? size : 4);
    const char* const audioStarts[] = {"ID3", "OggS", "fLaC", "RIFF", "FORM", "ICY "};
    for (const char* prefix : audioStarts) {
        if (StartsWith(head, prefix)) return true;
    }
    // An MPEG audio frame: eleven sync bits.
    return size >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           (static_cast<unsigned char>(bytes[1]) & 0xE0) == 0xE0;
}

} // namespace

bool ContentTypeIsAudio(const std::string& contentType) {
    const std::string type = LowerLatin1(contentType);
    if (ContentTypeIsList(type)) return false; // lists are often served under audio types
    return type.compare(0, 6, "audio/") == 0 || type.compare(0, 15, "application/ogg") == 0;
}

AnswerKind KindOfAnswer(const std::string& contentType, const char* bytes, size_t size) {
    if (ContentTypeIsAudio(contentType)) return AnswerKind::Audio;
    if (BytesAreList(bytes, size)) return AnswerKind::List;
    if (BytesAreAudio(bytes, size)) return AnswerKind::Audio;
    return ContentTypeIsList(contentType) ? AnswerKind::List : AnswerKind::Neither;
}
