// Render speed of our tracker player next to libopenmpt on the same real modules in
// memory: 44100 Hz, cubic interpolation on both sides, interleaved float stereo into a
// buffer of 4096 frames, the same number of frames from each (the shorter song's length).
// Loading counts in both timings. The outputs are checked before timing: as many frames
// from each, neither silent, and the correlation of their loudness envelopes printed.
// Then the runs take turns, timed in the thread's processor time. Last, a seek into the
// middle of the longest module, ours and libopenmpt's.
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench_harness.h"
#include "tracker/load.h"
#include "tracker/player.h"

namespace {

constexpr int kRate = 44100;
constexpr size_t kChunk = 4096;
constexpr double kMaxSeconds = 180;

const char* const kModules[] = {
    "high-score.mod", "area3-game.mod", "gardien-go.mod", "termigator_reg-zbb.mod",
    "ritam.s3m", "gd-giirm.s3m", "autonom.s3m",
    "dali.xm", "satisfy.xm", "finalman-quickie.xm", "bgm1.xm",
    "gd-matth.it", "the_big_march_in_space.it", "gd-ite.it", "rough_journey.it"};

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// RMS per 20 ms of both channels (not their sum: surround channels cancel in a mono sum),
// kept when `envelope` is given.
void AddEnvelope(std::vector<double>* envelope, const float* stereo, size_t frames, double& sum, size_t& count) {
    if (!envelope) return;
    for (size_t i = 0; i < frames; ++i) {
        sum += double(stereo[2 * i]) * stereo[2 * i] + double(stereo[2 * i + 1]) * stereo[2 * i + 1];
        if (++count == kRate / 50) {
            envelope->push_back(std::sqrt(sum / count));
            sum = 0, count = 0;
        }
    }
}

std::unique_ptr<tracker::Player> OurPlayer(const bench::Bytes& file) {
    auto module = std::make_shared<tracker::Module>();
    if (tracker::LoadModule(file.data(), file.size(), *module) != tracker::LoadResult::Ok) return nullptr;
    tracker::RenderSettings settings;
    settings.sampleRate = kRate;
    settings.interpolation = tracker::Interpolation::Cubic;
    return std::make_unique<tracker::Player>(module, settings);
}

openmpt_module* TheirPlayer(const bench::Bytes& file) {
    openmpt_module* mod = openmpt_module_create_from_memory2(file.data(), file.size(), openmpt_log_func_silent, nullptr,
                                                             openmpt_error_func_ignore, nullptr, nullptr, nullptr, nullptr);
    if (!mod) return nullptr;
    openmpt_module_set_repeat_count(mod, 0);
    openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 4);
    return mod;
}

// Frames rendered (at most `frames`); the envelope when asked for.
size_t RenderOurs(const bench::Bytes& file, size_t frames, std::vector<float>& buffer, std::vector<double>* envelope) {
    std::unique_ptr<tracker::Player> player = OurPlayer(file);
    if (!player) return 0;
    size_t done = 0, count = 0;
    double sum = 0;
    while (done < frames) {
        const size_t got = player->Render(buffer.data(), std::min(kChunk, frames - done));
        if (!got) break;
        AddEnvelope(envelope, buffer.data(), got, sum, count);
        done += got;
    }
    return done;
}

size_t RenderTheirs(const bench::Bytes& file, size_t frames, std::vector<float>& buffer, std::vector<double>* envelope) {
    openmpt_module* mod = TheirPlayer(file);
    if (!mod) return 0;
    size_t done = 0, count = 0;
    double sum = 0;
    while (done < frames) {
        const size_t got = openmpt_module_read_interleaved_float_stereo(mod, kRate, std::min(kChunk, frames - done), buffer.data());
        if (!got) break;
        AddEnvelope(envelope, buffer.data(), got, sum, count);
        done += got;
    }
    openmpt_module_destroy(mod);
    return done;
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const size_t n = std::min(a.size(), b.size());
    double ma = 0, mb = 0, ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) ma += a[i] / n, mb += b[i] / n;
    for (size_t i = 0; i < n; ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

bool Silent(const std::vector<double>& envelope) {
    return std::none_of(envelope.begin(), envelope.end(), [](double v) { return v > 1e-4; });
}

struct Times {
    double best = 1e9, median = 0;
};

Times Summarise(std::vector<double> s) {
    std::sort(s.begin(), s.end());
    return {s.front(), s.size() % 2 ? s[s.size() / 2] : (s[s.size() / 2 - 1] + s[s.size() / 2]) / 2};
}

struct FormatTotals {
    double audio = 0, ours = 0, theirs = 0;
};

double SongSeconds(const bench::Bytes& file, bool ours) {
    if (ours) {
        std::unique_ptr<tracker::Player> player = OurPlayer(file);
        return player ? double(player->LengthFrames()) / kRate : 0;
    }
    openmpt_module* mod = TheirPlayer(file);
    const double seconds = mod ? openmpt_module_get_duration_seconds(mod) : 0;
    if (mod) openmpt_module_destroy(mod);
    return seconds;
}

// Milliseconds (wall clock, best of the runs) from a loaded module to the first chunk after
// a seek to `seconds`.
double SeekMilliseconds(const bench::Bytes& file, double seconds, bool ours, int runs) {
    std::vector<float> buffer(kChunk * 2);
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        std::unique_ptr<tracker::Player> player = ours ? OurPlayer(file) : nullptr;
        openmpt_module* mod = ours ? nullptr : TheirPlayer(file);
        const auto start = std::chrono::steady_clock::now();
        const bool ok = ours ? player && player->SeekToFrame(uint64_t(seconds * kRate)) && player->Render(buffer.data(), kChunk)
                             : mod && openmpt_module_set_position_seconds(mod, seconds) >= 0 &&
                                   openmpt_module_read_interleaved_float_stereo(mod, kRate, kChunk, buffer.data());
        const double took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (mod) openmpt_module_destroy(mod);
        if (!ok) return -1;
        best = std::min(best, took);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    bench::Options options;
    if (!bench::ParseOptions(argc, argv, options)) return 2;
    if (std::system("sh '" TRACKER_MODULES_SCRIPT "' '" TRACKER_MODULES_DIR "'") != 0 ||
        !bench::ReadWholeFile(TRACKER_MODULES_DIR "/skipped").empty()) {
        std::printf("the real modules could not be had (see %s/skipped)\n", TRACKER_MODULES_DIR);
        return 1;
    }
    bench::PrintMachine();
    std::printf("reference: libopenmpt %s, interpolation filter length 4 (cubic); ours: Interpolation::Cubic\n"
                "output: interleaved float stereo at %d Hz in chunks of %zu frames\n\n",
                BENCH_OPENMPT_VERSION, kRate, kChunk);
    bool ok = true;
    std::map<std::string, FormatTotals> totals;
    std::string longest;
    double longestSeconds = 0;
    for (const char* name : kModules) {
        const std::string label = name;
        if (label.find(options.match) == std::string::npos) continue;
        const bench::Bytes file = bench::ReadWholeFile(std::string(TRACKER_MODULES_DIR "/") + name);
        const double ourSeconds = SongSeconds(file, true), theirSeconds = SongSeconds(file, false);
        const size_t frames = size_t(std::min({ourSeconds, theirSeconds, kMaxSeconds}) * kRate);
        if (ourSeconds > longestSeconds) longestSeconds = ourSeconds, longest = label;
        std::vector<float> oursBuffer(kChunk * 2), theirBuffer(kChunk * 2);
        std::vector<double> oursEnvelope, theirEnvelope;
        const size_t oursFrames = RenderOurs(file, frames, oursBuffer, &oursEnvelope);
        const size_t theirFrames = RenderTheirs(file, frames, theirBuffer, &theirEnvelope);
        const double correlation = Correlation(oursEnvelope, theirEnvelope);
        std::printf("%-28s %.1f s of audio (ours %.1f s, libopenmpt %.1f s), envelope correlation %.4f\n", name,
                    double(frames) / kRate, ourSeconds, theirSeconds, correlation);
        // Silence or a short render on either side is a broken run; a weak correlation is
        // the player's fault to find elsewhere (the reference tests), so it only warns.
        if (frames == 0 || oursFrames != frames || theirFrames != frames || Silent(oursEnvelope) || Silent(theirEnvelope)) {
            std::printf("  FAILED: %s\n", oursFrames != theirFrames ? "the frame counts differ" : "a side is silent or short");
            ok = false;
            continue;
        }
        if (correlation < 0.9) std::printf("  (the renderings differ: see the reference tests)\n");
        if (!options.only.empty()) continue;
        std::vector<double> oursTimes, theirTimes;
        for (int run = 0; run < options.runs; ++run) {
            for (int side = 0; side < 2; ++side) {
                const bool oursNow = (run + side) % 2 == 0;  // who goes first changes every round
                const double start = ThreadSeconds();
                const size_t got = oursNow ? RenderOurs(file, frames, oursBuffer, nullptr) : RenderTheirs(file, frames, theirBuffer, nullptr);
                (oursNow ? oursTimes : theirTimes).push_back(ThreadSeconds() - start);
                ok &= got == frames;
            }
        }
        const Times o = Summarise(oursTimes), t = Summarise(theirTimes);
        const double audio = double(frames) / kRate;
        std::printf("  ours        best %8.2f ms (%6.0fx real time)  median %8.2f ms\n", o.best * 1e3, audio / o.best, o.median * 1e3);
        std::printf("  libopenmpt  best %8.2f ms (%6.0fx real time)  median %8.2f ms\n", t.best * 1e3, audio / t.best, t.median * 1e3);
        std::printf("  ratio = libopenmpt time / our time: %.2f (best), %.2f (median)\n", t.best / o.best, t.median / o.median);
        FormatTotals& f = totals[label.substr(label.rfind('.') + 1)];
        f.audio += audio, f.ours += o.median, f.theirs += t.median;
    }
    std::printf("\nper format (medians summed over its modules):\n");
    for (const auto& [format, f] : totals)
        std::printf("  %-4s ours %6.0fx real time, libopenmpt %6.0fx real time, ratio %.2f\n", format.c_str(),
                    f.audio / f.ours, f.audio / f.theirs, f.theirs / f.ours);
    if (!longest.empty() && options.only.empty()) {
        const bench::Bytes file = bench::ReadWholeFile(std::string(TRACKER_MODULES_DIR "/") + longest);
        const double middle = longestSeconds / 2;
        const double ours = SeekMilliseconds(file, middle, true, options.runs);
        const double theirs = SeekMilliseconds(file, middle, false, options.runs);
        std::printf("\nseek to %.1f s of %s (%.1f s long), to the first chunk, best of %d (wall clock): ours %.2f ms, "
                    "libopenmpt %.2f ms (target: under 50 ms)\n", middle, longest.c_str(), longestSeconds, options.runs, ours, theirs);
        ok &= ours >= 0 && theirs >= 0;
    }
    return ok ? 0 : 1;
}
