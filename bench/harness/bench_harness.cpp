#include "bench_harness.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <thread>

namespace bench {
namespace {

constexpr int kMinRuns = 7;
// Two correct float decoders of the same file agree far closer than this; a missing or
// doubled chunk, a wrong channel or silence does not.
constexpr double kFloatTolerance = 1e-3;

bool Near(double a, double b) { return std::fabs(a - b) <= kFloatTolerance * std::max(std::fabs(a), std::fabs(b)); }

bool SameOutput(const Checksum& a, const Checksum& b) {
    if (a.frames != b.frames || a.floats != b.floats) return false;
    if (a.floats) return Near(a.energy, b.energy) && Near(a.absSum, b.absSum);
    return a.intSum == b.intSum && a.intWeighted == b.intWeighted;
}

std::string Describe(const Checksum& c) {
    char text[96];
    if (c.floats)
        std::snprintf(text, sizeof text, "energy %.6e  |sum| %.6e", c.energy, c.absSum);
    else
        std::snprintf(text, sizeof text, "sums %016llx %016llx", static_cast<unsigned long long>(c.intSum),
                      static_cast<unsigned long long>(c.intWeighted));
    return text;
}

// The processor time of this thread: on a machine shared with other work, wall time would
// also count the time others had the core.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Seconds of one decode; -1 when it failed or gave another length than the checked one.
double TimedRun(const Side& side, uint64_t frames) {
    Checksum count;
    count.countOnly = true;
    const double start = ThreadSeconds();
    const bool ok = side.decode(count);
    const double took = ThreadSeconds() - start;
    return ok && count.frames == frames ? took : -1;
}

struct Times {
    double best = 0;
    double median = 0;
};

Times Summarise(std::vector<double> seconds) {
    std::sort(seconds.begin(), seconds.end());
    const size_t n = seconds.size();
    return {seconds.front(), n % 2 ? seconds[n / 2] : (seconds[n / 2 - 1] + seconds[n / 2]) / 2};
}

void PrintSide(const std::string& name, const Checksum& check, const Times& t, double audioSeconds) {
    std::printf("  %-14s %9llu frames  %-40s best %8.2f ms (%5.0fx real time)  median %8.2f ms\n", name.c_str(),
                static_cast<unsigned long long>(check.frames), Describe(check).c_str(), t.best * 1e3,
                audioSeconds / t.best, t.median * 1e3);
}

}  // namespace

Bytes ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    Bytes bytes(in ? static_cast<size_t>(in.tellg()) : 0);
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) bytes.clear();
    return bytes;
}

void AddOutput(Checksum& check, const int32_t* interleaved, size_t frames, int channels) {
    check.frames += frames;
    if (check.countOnly) return;
    // Unsigned sums wrap alike on both sides; the running sum weighs each sample by its place.
    uint64_t sum = check.intSum, weighted = check.intWeighted;
    for (size_t i = 0; i < frames * static_cast<size_t>(channels); ++i) {
        sum += static_cast<uint64_t>(static_cast<int64_t>(interleaved[i]));
        weighted += sum;
    }
    check.intSum = sum;
    check.intWeighted = weighted;
}

void AddOutput(Checksum& check, const float* interleaved, size_t frames, int channels) {
    check.floats = true;
    check.frames += frames;
    if (check.countOnly) return;
    double energy = 0, absSum = 0;
    for (size_t i = 0; i < frames * static_cast<size_t>(channels); ++i) {
        energy += double(interleaved[i]) * interleaved[i];
        absSum += std::fabs(double(interleaved[i]));
    }
    check.energy += energy;
    check.absSum += absSum;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            options.runs = std::atoi(argv[++i]);
        } else if (arg == "--only" && i + 1 < argc) {
            options.only = argv[++i];
        } else if (arg == "--match" && i + 1 < argc) {
            options.match = argv[++i];
        } else {
            options.runs = 0;
        }
    }
    if (options.runs >= kMinRuns && (options.only.empty() || options.only == "ours" || options.only == "reference"))
        return true;
    std::fprintf(stderr,
                 "usage: %s [--runs N (at least %d)] [--only ours|reference] [--match TEXT]\n"
                 "  --only: one checked decode per file of that side, no timing (for callgrind)\n"
                 "  --match: only the files whose label holds TEXT\n",
                 argv[0], kMinRuns);
    return false;
}

void PrintMachine(const char* libraryOptions) {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line, model = "unknown";
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0) {
            model = line.substr(line.find(':') + 2);
            break;
        }
    }
    std::printf("processor: %s, %u logical cores\n", model.c_str(), std::thread::hardware_concurrency());
    std::printf("our side built with: %s %s\n", BENCH_BUILD_FLAGS, libraryOptions);
}

namespace {

// --only: one checked decode of one side, for instruction counts.
bool DecodeOneSide(const std::string& label, uint64_t minFrames, const Side& side) {
    Checksum check;
    const bool ok = side.decode(check);
    std::printf("%-24s %s: %llu frames, %s%s\n", label.c_str(), side.name.c_str(),
                static_cast<unsigned long long>(check.frames), Describe(check).c_str(), ok ? "" : "  FAILED");
    return ok && check.frames >= minFrames;
}

void PrintCheck(const Side& side, const Checksum& check, bool ok) {
    std::printf("  %-14s %9llu frames  %s%s\n", side.name.c_str(), static_cast<unsigned long long>(check.frames),
                Describe(check).c_str(), ok ? "" : "  (decoding failed)");
}

// Both sides' counts and checksums, which must agree and cover the material.
bool CheckBoth(const Side& ours, const Side& reference, uint64_t minFrames, Checksum& oursCheck,
               Checksum& referenceCheck) {
    const bool oursOk = ours.decode(oursCheck);
    const bool referenceOk = reference.decode(referenceCheck);
    if (oursOk && referenceOk && SameOutput(oursCheck, referenceCheck) && oursCheck.frames >= minFrames)
        return true;
    PrintCheck(ours, oursCheck, oursOk);
    PrintCheck(reference, referenceCheck, referenceOk);
    std::printf("  FAILED: %s\n", !oursOk || !referenceOk ? "a decoder failed"
                                   : !SameOutput(oursCheck, referenceCheck) ? "the outputs differ"
                                                                             : "shorter than the material");
    return false;
}

}  // namespace

bool Compare(const Options& options, const std::string& label, uint32_t sampleRate, uint64_t minFrames,
             const Side& ours, const Side& reference) {
    if (label.find(options.match) == std::string::npos) return true;
    if (!options.only.empty())
        return DecodeOneSide(label, minFrames, options.only == "ours" ? ours : reference);
    std::printf("%s (%.1f s of audio, %d runs each, taking turns; thread CPU time)\n", label.c_str(),
                static_cast<double>(minFrames) / sampleRate, options.runs);
    Checksum oursCheck, referenceCheck;
    if (!CheckBoth(ours, reference, minFrames, oursCheck, referenceCheck)) return false;
    std::vector<double> oursSeconds, referenceSeconds;
    for (int run = 0; run < options.runs; ++run) {
        // Who goes first changes every round, so that neither always finds the caches warm.
        const bool oursFirst = run % 2 == 0;
        const Side& first = oursFirst ? ours : reference;
        const Side& second = oursFirst ? reference : ours;
        const double firstSeconds = TimedRun(first, oursCheck.frames);
        const double secondSeconds = TimedRun(second, oursCheck.frames);
        if (firstSeconds < 0 || secondSeconds < 0) {
            std::printf("  FAILED: a timed run failed or gave another length than the checked one\n");
            return false;
        }
        oursSeconds.push_back(oursFirst ? firstSeconds : secondSeconds);
        referenceSeconds.push_back(oursFirst ? secondSeconds : firstSeconds);
    }
    const double audioSeconds = static_cast<double>(oursCheck.frames) / sampleRate;
    const Times o = Summarise(oursSeconds), r = Summarise(referenceSeconds);
    PrintSide(ours.name, oursCheck, o, audioSeconds);
    PrintSide(reference.name, referenceCheck, r, audioSeconds);
    std::printf("  ratio = reference time / our time: %.2f (best), %.2f (median)\n", r.best / o.best,
                r.median / o.median);
    return true;
}

}  // namespace bench
