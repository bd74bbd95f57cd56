#include "playlist/open_files.h"

#include "text/path_text.h"

std::string DialogExtension(const std::string& name) {
    const std::string extension = ExtensionOf(name);
    return extension.substr(0, extension.find('"'));
}

bool IsPlaylistExtension(const std::string& extension) {
    return extension == "pls" || extension == "m3u" || extension == "asx" || extension == "wax" ||
           extension == "tmp";
}

std::vector<std::string> SelectedPaths(const char* buffer, size_t size) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < size && buffer[start] != '\0') {
        size_t end = start;
        while (end < size && buffer[end] != '\0') ++end;
        parts.emplace_back(buffer + start, end - start);
        start = end + 1;
    }
    if (parts.size() <= 1) return parts;
    std::string folder = parts[0];
    // A drive's root already ends with its backslash.
    if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
    std::vector<std::string> paths;
    for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
    return paths;
}

OpenSelection NamesToOpen(const std::vector<std::string>& selected) {
    OpenSelection selection;
    for (const std::string& name : selected) {
        if (name.empty()) break;
        selection.names.push_back(name);
        if (IsPlaylistExtension(LowerLatin1(DialogExtension(name)))) {
            selection.playlist = true;
            break;
        }
    }
    return selection;
}
