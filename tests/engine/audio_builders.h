#pragma once
// Small generators for test input (WAV files byte by byte, so each test states
// exactly which header fields it bends), files, and sample comparisons.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace enginetest {

using Bytes = std::vector<uint8_t>;

void PutLe16(Bytes& b, uint32_t v);
void PutLe32(Bytes& b, uint32_t v);
void PutBe16(Bytes& b, uint32_t v);
void PutBe32(Bytes& b, uint32_t v);
void PutText(Bytes& b, const std::string& s);
void PutChunk(Bytes& b, const std::string& id, const Bytes& body, bool bigEndianSize = false);

// Interleaved samples of a sine at `hz`, amplitude 0.5, as floats.
std::vector<float> Sine(double hz, uint32_t rate, int channels, uint32_t frames);
// Encodes floats as little-endian integer samples of `bytes` width (8-bit offset binary).
Bytes EncodePcmLe(const std::vector<float>& samples, int bytes);

struct WavLayout {
    uint16_t formatTag = 1;  // 1 PCM, 3 float, 0xFFFE extensible
    uint16_t subFormat = 1;  // for extensible
    int channels = 2;
    uint32_t rate = 44100;
    int bits = 16;
    Bytes data;                                        // the data chunk's body
    uint32_t declaredDataSize = 0xFFFFFFFFu;          // 0xFFFFFFFF: the real size
    std::vector<std::pair<std::string, std::string>> info;  // LIST/INFO fields
    bool infoAfterData = false;
};
Bytes MakeWav(const WavLayout& layout);
// A 32-bit float WAV holding `samples` as they are: format tag 3, or extensible with float samples.
Bytes FloatWav(const std::vector<float>& samples, int channels = 2, bool extensible = false);
// A stereo 16-bit 44.1 kHz WAV of a 440 Hz tone, written to a temporary file; returns the path.
std::string ToneWav(const std::string& name, uint32_t ms);

// Writes bytes to a file in a fresh temporary folder; returns the path.
std::string WriteTempFile(const std::string& name, const Bytes& bytes);
std::string TempFolder();
// A whole file; empty when it cannot be read.
Bytes ReadFile(const std::string& path);
#ifdef QUENDRA_FIXTURES
// Fixtures lie in the build tree; under Wine the Unix root is drive Z:.
inline std::string FixturePath(const std::string& name) {
    std::string path = std::string(QUENDRA_FIXTURES) + "/" + name;
#ifdef _WIN32
    path = "Z:" + path;
    for (char& c : path) c = c == '/' ? '\\' : c;
#endif
    return path;
}
inline Bytes ReadFixture(const std::string& name) { return ReadFile(FixturePath(name)); }
#endif

// Signal-to-noise ratio of `test` against `reference` over their common length, in dB.
double SnrDb(const std::vector<float>& reference, const std::vector<float>& test);
// Largest absolute difference of `b` against `a` from `offset` on.
double MaxDifference(const std::vector<float>& a, const std::vector<float>& b, size_t offset = 0);

// A sine at `hz` fitted to `count` samples (least squares): its amplitude, and all the
// rest (distortion, images, aliases, noise) in dB against it.
struct ToneFit {
    double amplitude = 0;
    double restDb = 0;
};
ToneFit FitTone(const float* samples, size_t count, double hz, uint32_t rate);

}  // namespace enginetest
