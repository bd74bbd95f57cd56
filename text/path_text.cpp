#include "text/path_text.h"

std::string LowerLatin1(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE)) c = static_cast<char>(byte + 0x20);
    }
    return lower;
}

bool PathsEqual(const std::string& a, const std::string& b) {
    return a.size() == b.size() && LowerLatin1(a) == LowerLatin1(b);
}

std::string FileNamePart(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtensionOf(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos) return "";
    if (path.find_first_of("/\\", dot) != std::string::npos) return "";
    return path.substr(dot + 1);
}

std::string ModuleFolder(const char* path, unsigned long length, unsigned long capacity) {
    if (length == 0 || length >= capacity) return "";
    const std::string full(path, length);
    const size_t slash = full.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : full.substr(0, slash + 1);
}
