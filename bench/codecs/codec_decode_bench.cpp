// Decode speed of our MPEG, FLAC and Vorbis paths (the engine's decoders, from memory)
// next to libmpg123, libFLAC and libvorbisfile on the same files, in one run; and the
// open-only scan rate over 2,000 tagged MP3 files. Wall times drift between runs on
// these machines: compare the ratios printed here, which come from the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "flac/reference_decoder.h"
#include "formats/format_open.h"
#include "io/file_reader.h"
#include "io/memory_reader.h"
#include "mpeg/reference_decoder.h"
#include "vorbis_reference.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;
constexpr double kSeconds = 30.0;  // length of the bench files
constexpr int kRounds = 5;

Bytes ReadFile(const std::string& name) {
    std::ifstream in(std::string(CODEC_BENCH_DIR) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Best of a few rounds, in seconds.
template <typename Work>
double Best(Work&& work) {
    double best = 1e9;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

// Opens and decodes the whole file through the engine, from memory.
void DecodeOurs(const Bytes& file) {
    engine::TagList tags;
    engine::OpenedSound sound;
    if (engine::OpenByContent(std::make_unique<engine::MemoryReader>(file.data(), file.size()), tags, sound) != FMOD_OK) {
        std::printf("open failed\n");
        return;
    }
    std::vector<float> buffer(4096 * sound.format.channels);
    while (sound.decoder->ReadFrames(buffer.data(), 4096) > 0) {}
}

void Compare(const char* label, const char* file, double (*reference)(const Bytes&)) {
    const Bytes bytes = ReadFile(file);
    const double ours = Best([&] { DecodeOurs(bytes); });
    const double theirs = reference(bytes);
    std::printf("%-7s ours %7.0fx real time, reference %7.0fx, ratio %.2f\n", label, kSeconds / ours,
                kSeconds / theirs, theirs / ours);
}

double Mpg123(const Bytes& b) { return Best([&] { DecodeWithReference(b, true); }); }
double LibFlac(const Bytes& b) { return Best([&] { DecodeWithLibFlac(b); }); }
double Vorbisfile(const Bytes& b) { return Best([&] { DecodeWithVorbisfile(b); }); }

void ScanRate() {
    constexpr int kFiles = 2000;
    const Bytes tagged = ReadFile("tagged.mp3");
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quendra_codec_scan";
    std::filesystem::create_directories(folder);
    std::vector<std::string> paths;
    for (int i = 0; i < kFiles; ++i) {
        paths.push_back((folder / ("track" + std::to_string(i) + ".mp3")).string());
        std::ofstream(paths.back(), std::ios::binary).write(reinterpret_cast<const char*>(tagged.data()), tagged.size());
    }
    int opened = 0;
    const double best = Best([&] {
        opened = 0;
        for (const std::string& path : paths) {
            FMOD_RESULT result = FMOD_OK;
            engine::TagList tags;
            engine::OpenedSound sound;
            if (engine::OpenByContent(engine::OpenStdioFile(path.c_str(), &result), tags, sound) == FMOD_OK) ++opened;
        }
    });
    std::filesystem::remove_all(folder);
    std::printf("open-only scan: %d of %d tagged MP3 files in %.3f s = %.0f files/s (best of %d, warm cache)\n",
                opened, kFiles, best, kFiles / best, kRounds);
}

}  // namespace

int main() {
    std::printf("decoding 30 s files from memory, best of %d; ratio = reference time / our time\n", kRounds);
    Compare("MPEG", "music128.mp3", Mpg123);
    Compare("FLAC", "music16.flac", LibFlac);
    Compare("Vorbis", "music.ogg", Vorbisfile);
    ScanRate();
    return 0;
}
