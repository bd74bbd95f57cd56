#include "reference_compare.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "tracker/load.h"
#include "tracker/player.h"

namespace trackref {

Rendering RenderReference(const std::vector<uint8_t>& file, double maxSeconds) {
    Rendering r;
    int error = 0;
    openmpt_module* mod = openmpt_module_create_from_memory2(file.data(), file.size(), openmpt_log_func_silent, nullptr,
                                                             openmpt_error_func_ignore, nullptr, &error, nullptr, nullptr);
    if (!mod) return r.error = "libopenmpt refused the module (error " + std::to_string(error) + ")", r;
    if (const char* warnings = openmpt_module_get_metadata(mod, "warnings")) {
        r.warnings = warnings;
        openmpt_free_string(warnings);
    }
    openmpt_module_set_repeat_count(mod, 0);
    openmpt_module_set_render_param(mod, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 4);
    r.seconds = openmpt_module_get_duration_seconds(mod);
    const size_t want = size_t(std::min(r.seconds, maxSeconds) * kRate);
    r.stereo.resize(want * 2);
    size_t done = 0;
    for (size_t got = 1; done < want && got; done += got)
        got = openmpt_module_read_interleaved_float_stereo(mod, kRate, std::min<size_t>(4096, want - done), &r.stereo[done * 2]);
    r.stereo.resize(done * 2);
    openmpt_module_destroy(mod);
    r.ok = true;
    return r;
}

namespace {

std::unique_ptr<tracker::Player> OurPlayer(const std::vector<uint8_t>& file, std::string& error) {
    auto module = std::make_shared<tracker::Module>();
    if (tracker::LoadModule(file.data(), file.size(), *module) != tracker::LoadResult::Ok) return error = "our loader refused the module", nullptr;
    tracker::RenderSettings settings;
    settings.sampleRate = kRate;
    settings.interpolation = tracker::Interpolation::Cubic;
    return std::make_unique<tracker::Player>(module, settings);
}

size_t RenderFrames(tracker::Player& player, float* out, size_t frames) {
    size_t done = 0;
    for (size_t got = 1; done < frames && got; done += got) got = player.Render(out + done * 2, std::min<size_t>(4096, frames - done));
    return done;
}

}  // namespace

Rendering RenderOurs(const std::vector<uint8_t>& file, double maxSeconds) {
    Rendering r;
    std::unique_ptr<tracker::Player> player = OurPlayer(file, r.error);
    if (!player) return r;
    r.seconds = double(player->LengthFrames()) / kRate;
    const size_t want = size_t(std::min(r.seconds, maxSeconds) * kRate);
    r.stereo.resize(want * 2);
    r.stereo.resize(RenderFrames(*player, r.stereo.data(), want) * 2);
    r.ok = true;
    return r;
}

namespace {

std::vector<double> LoudnessEnvelope(const std::vector<float>& stereo) {
    const size_t window = kRate / 50, windows = stereo.size() / 2 / window;
    std::vector<double> envelope(3 * windows);
    for (size_t w = 0; w < windows; ++w) {
        double mono = 0, left = 0, right = 0;
        for (size_t i = w * window; i < (w + 1) * window; ++i) {
            const double l = stereo[2 * i], r = stereo[2 * i + 1];
            mono += (l + r) * (l + r) / 4, left += l * l, right += r * r;
        }
        envelope[w] = std::sqrt(mono / window);
        envelope[windows + w] = std::sqrt(left / window);
        envelope[2 * windows + w] = std::sqrt(right / window);
    }
    return envelope;
}

// Pearson correlation over the common length; 1 when both are constant and equal.
double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const size_t n = std::min(a.size(), b.size());
    double ma = 0, mb = 0, ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) ma += a[i] / n, mb += b[i] / n;
    for (size_t i = 0; i < n; ++i) ab += (a[i] - ma) * (b[i] - mb), aa += (a[i] - ma) * (a[i] - ma), bb += (b[i] - mb) * (b[i] - mb);
    if (aa < 1e-12 || bb < 1e-12)
        return n && aa < 1e-12 && bb < 1e-12 && std::fabs(ma - mb) <= 1e-3 * std::max(ma, mb) + 1e-9 ? 1.0 : 0.0;
    return ab / std::sqrt(aa * bb);
}

}  // namespace

std::string Comparison::Describe() const {
    char line[160];
    std::snprintf(line, sizeof line, "length %.2f s / %.2f s (%+.2f %%), correlation %.4f", oursSeconds, theirSeconds,
                  theirSeconds > 0 ? 100 * (oursSeconds / theirSeconds - 1) : 0.0, correlation);
    return line;
}

Comparison Compare(const Rendering& ours, const Rendering& theirs) {
    Comparison c;
    c.oursSeconds = ours.seconds;
    c.theirSeconds = theirs.seconds;
    c.lengthOk = std::fabs(ours.seconds - theirs.seconds) <= 0.01 * theirs.seconds;
    const size_t frames = std::min(ours.stereo.size(), theirs.stereo.size());
    c.correlation = Correlation(LoudnessEnvelope({ours.stereo.begin(), ours.stereo.begin() + frames}),
                                LoudnessEnvelope({theirs.stereo.begin(), theirs.stereo.begin() + frames}));
    c.correlationOk = c.correlation >= 0.98;
    return c;
}

double ZeroCrossingFrequency(const std::vector<float>& stereo, size_t from, size_t to) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = from + 1; i < to && 2 * i < stereo.size(); ++i) {
        const float a = stereo[2 * (i - 1)], b = stereo[2 * i];
        if (a >= 0 || b < 0) continue;
        last = double(i - 1) + a / (a - b);
        if (first < 0) first = last;
        ++crossings;
    }
    return crossings > 1 ? (crossings - 1) * double(kRate) / (last - first) : 0;
}

double SeekMismatch(const std::vector<uint8_t>& file, uint64_t at, size_t frames) {
    std::string error;
    std::unique_ptr<tracker::Player> straight = OurPlayer(file, error), seeked = OurPlayer(file, error);
    if (!straight || !seeked || !seeked->SeekToFrame(at)) return 1;
    std::vector<float> skip(at * 2), a(frames * 2), b(frames * 2);
    if (RenderFrames(*straight, skip.data(), at) != at) return 1;
    const size_t na = RenderFrames(*straight, a.data(), frames), nb = RenderFrames(*seeked, b.data(), frames);
    if (na != nb) return 1;
    double diff = 0, signal = 0;
    for (size_t i = 0; i < 2 * na; ++i) diff += double(a[i] - b[i]) * (a[i] - b[i]), signal += double(a[i]) * a[i];
    return signal > 0 ? std::sqrt(diff / signal) : std::sqrt(diff);
}

bool RefusesSeekPastEnd(const std::vector<uint8_t>& file) {
    std::string error;
    std::unique_ptr<tracker::Player> player = OurPlayer(file, error);
    return player && !player->SeekToFrame(player->LengthFrames() + 1);
}

}  // namespace trackref
