#pragma once
// What the codec benchmarks share: the file into memory, a checksum of the output, the
// timing loop in which our decoder and the reference take turns, and the report lines.
// A decode that fails, comes out short or disagrees with the other side fails the run.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bench {

using Bytes = std::vector<uint8_t>;

// Empty when the file cannot be read.
Bytes ReadWholeFile(const std::string& path);

// What one whole decode gave. Integer output is compared exactly (a sum and a
// position-weighted sum); float output by frames, energy and absolute sum within a small
// tolerance, since two correct lossy decoders round differently.
struct Checksum {
    bool countOnly = false;  // timed runs count frames and leave the sums
    bool floats = false;
    uint64_t frames = 0;     // per channel
    uint64_t intSum = 0;
    uint64_t intWeighted = 0;
    double energy = 0;
    double absSum = 0;
};

void AddOutput(Checksum& check, const int32_t* interleaved, size_t frames, int channels);
void AddOutput(Checksum& check, const float* interleaved, size_t frames, int channels);

// Decodes the whole file once into the side's reused buffer, adding every chunk to the
// checksum; false when the decoder fails.
using DecodeFn = std::function<bool(Checksum& check)>;

struct Side {
    std::string name;
    DecodeFn decode;
};

struct Options {
    int runs = 9;       // timed runs per side, at least 7
    std::string only;   // "ours" or "reference": one checked decode of that side, no timing
    std::string match;  // only the files whose label holds this
};

// Takes --runs N, --only ours|reference and --match TEXT; false (after a usage line) on
// anything else.
bool ParseOptions(int argc, char** argv, Options& options);

// The processor (from /proc/cpuinfo) and the compiler flags our side was built with:
// the build type's, plus the decoder library's own (`libraryOptions`).
void PrintMachine(const char* libraryOptions = "");

// One checked decode per side, their counts and checksums compared (and printed when they
// disagree), then `options.runs` timed runs of each, alternating, timed in the thread's
// processor time; prints best and median of each and ratio = reference time / our time. `minFrames`: the length of the bench material;
// fewer frames from either side fail. Returns false on any failure.
bool Compare(const Options& options, const std::string& label, uint32_t sampleRate, uint64_t minFrames,
             const Side& ours, const Side& reference);

}  // namespace bench
