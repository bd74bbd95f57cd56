#pragma once
// The modules of a few Debian packages (debian_modules.sh), fetched on the first call;
// both the loader and the rendering comparisons read them.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace trackref {

inline std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Why the modules cannot be had, or "" once they are there.
inline std::string DebianModulesSkipped() {
    static const int made = std::system("sh '" TRACKER_MODULES_SCRIPT "' '" TRACKER_MODULES_DIR "'");
    (void)made;
    std::ifstream in(TRACKER_MODULES_DIR "/skipped");
    std::string reason;
    std::getline(in, reason);
    return reason;
}

// Every module, sorted by name; none when they cannot be had.
inline std::vector<std::filesystem::path> DebianModules() {
    std::vector<std::filesystem::path> files;
    if (!DebianModulesSkipped().empty()) return files;
    for (const auto& entry : std::filesystem::directory_iterator(TRACKER_MODULES_DIR))
        if (entry.path().filename() != "stamp") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// One module by file name; empty when it is not there.
inline std::vector<uint8_t> DebianModule(const std::string& name) {
    DebianModulesSkipped();
    return ReadWholeFile(std::filesystem::path(TRACKER_MODULES_DIR) / name);
}

}  // namespace trackref
