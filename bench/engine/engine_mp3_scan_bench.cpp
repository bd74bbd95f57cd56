// Open-only scan rate of tagged MP3 files through the engine's format recognition, as
// the player opens files it adds: 2,000 copies of one file, warm cache, best of 5.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "formats/format_open.h"
#include "io/file_reader.h"

int main() {
    constexpr int kFiles = 2000;
    constexpr int kRounds = 5;
    std::ifstream in(std::string(SCAN_BENCH_DIR) + "/tagged.mp3", std::ios::binary);
    const std::vector<char> tagged((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (tagged.empty()) {
        std::printf("tagged.mp3: missing\n");
        return 1;
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quendra_mp3_scan";
    std::filesystem::create_directories(folder);
    std::vector<std::string> paths;
    for (int i = 0; i < kFiles; ++i) {
        paths.push_back((folder / ("track" + std::to_string(i) + ".mp3")).string());
        std::ofstream(paths.back(), std::ios::binary).write(tagged.data(), std::streamsize(tagged.size()));
    }
    int opened = 0;
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        opened = 0;
        const auto start = std::chrono::steady_clock::now();
        for (const std::string& path : paths) {
            FMOD_RESULT result = FMOD_OK;
            engine::TagList tags;
            engine::OpenedSound sound;
            if (engine::OpenByContent(engine::OpenStdioFile(path.c_str(), &result), tags, sound) == FMOD_OK) ++opened;
        }
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::filesystem::remove_all(folder);
    std::printf("open-only scan: %d of %d tagged MP3 files in %.3f s = %.0f files/s (best of %d, warm cache)\n",
                opened, kFiles, best, kFiles / best, kRounds);
    return opened == kFiles ? 0 : 1;
}
