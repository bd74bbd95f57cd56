#include "playlist/pls_writer.h"

std::string PlsText(const Playlist& playlist) {
    std::string text = "[playlist]\r\n";
    int number = 0;
    for (const PlaylistEntry& entry : playlist) text += "File" + std::to_string(++number) + "=" + entry.path + "\r\n";
    text += "NumberOfEntries=" + std::to_string(number) + "\r\n";
    text += "Version=2\r\n";
    return text;
}

std::string FolderPart(const std::string& name) {
    const size_t slash = name.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}
