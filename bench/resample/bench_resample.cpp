// Sample-rate conversion speed of the mixer's converter next to libsamplerate's
// medium-quality converter, on the same stereo float material in memory. Both take the
// input in blocks of 4096 frames and give their output into a buffer of 8192 frames;
// both outputs are counted up to the same length (the input's length at the new rate).
#include <samplerate.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_harness.h"
#include "playback/resampler.h"

namespace {

constexpr int kChannels = 2;
constexpr size_t kInBlock = 4096;
constexpr size_t kOutBlock = 8192;

struct Material {
    std::vector<float> samples;  // interleaved stereo
    uint32_t from = 0, to = 0;
    size_t Frames() const { return samples.size() / kChannels; }
    uint64_t OutputFrames() const { return uint64_t(Frames()) * to / from; }
};

// Output beyond the common length is converted but not counted.
void AddUpTo(bench::Checksum& check, const float* frames, size_t count, uint64_t length) {
    if (check.frames < length) bench::AddOutput(check, frames, std::min<uint64_t>(count, length - check.frames), kChannels);
}

bool ConvertOurs(const Material& m, const std::shared_ptr<const engine::ResampleFilter>& filter,
                 std::vector<float>& out, bench::Checksum& check) {
    engine::Resampler r;
    engine::InitResampler(r, filter, kChannels);
    size_t taken = 0;
    for (;;) {
        const size_t got = engine::ResamplerPull(r, out.data(), kOutBlock);
        AddUpTo(check, out.data(), got, m.OutputFrames());
        if (got > 0) continue;
        if (taken == m.Frames()) {
            if (r.finished) return true;
            engine::FinishResampler(r);
            continue;
        }
        taken += engine::ResamplerPush(r, &m.samples[taken * kChannels], std::min(kInBlock, m.Frames() - taken));
    }
}

bool ConvertLibsamplerate(const Material& m, std::vector<float>& out, bench::Checksum& check) {
    int error = 0;
    SRC_STATE* state = src_new(SRC_SINC_MEDIUM_QUALITY, kChannels, &error);
    if (!state) return false;
    SRC_DATA d{};
    d.src_ratio = double(m.to) / m.from;
    size_t taken = 0;
    for (;;) {
        const size_t block = std::min(kInBlock, m.Frames() - taken);
        d.data_in = m.samples.data() + taken * kChannels;
        d.input_frames = long(block);
        d.data_out = out.data();
        d.output_frames = long(kOutBlock);
        d.end_of_input = taken + block == m.Frames();
        if (src_process(state, &d) != 0) break;
        taken += size_t(d.input_frames_used);
        AddUpTo(check, out.data(), size_t(d.output_frames_gen), m.OutputFrames());
        if (d.end_of_input && d.input_frames_used == d.input_frames && d.output_frames_gen == 0) break;
    }
    src_delete(state);
    return taken == m.Frames();
}

}  // namespace

int main(int argc, char** argv) {
    bench::Options options;
    if (!bench::ParseOptions(argc, argv, options)) return 2;
    bench::PrintMachine();
    std::printf("SIMD: no hand-written kernels on our side (the compiler vectorises the filter's sums for the\n"
                "x86-64 baseline); libsamplerate as the distribution builds it\n"
                "output: interleaved stereo floats; libsamplerate: SRC_SINC_MEDIUM_QUALITY, %s\n\n",
                src_get_version());
    bool ok = true;
    for (auto [from, to] : {std::pair{44100u, 48000u}, {48000u, 44100u}}) {
        Material m;
        m.from = from;
        m.to = to;
        const bench::Bytes file =
            bench::ReadWholeFile(std::string(RESAMPLE_BENCH_DIR) + "/stereo_" + std::to_string(from) + ".f32");
        m.samples.resize(file.size() / sizeof(float));
        std::memcpy(m.samples.data(), file.data(), m.samples.size() * sizeof(float));
        if (m.Frames() == 0) {
            std::printf("stereo_%u.f32: missing or unreadable\n", from);
            ok = false;
            continue;
        }
        // The filter is built once, as when a channel is set up, and is not timed.
        const auto filter = engine::MakeResampleFilter(from, to);
        std::vector<float> oursOut(kOutBlock * kChannels), referenceOut(kOutBlock * kChannels);
        const bench::Side ours{"ours", [&](bench::Checksum& c) { return ConvertOurs(m, filter, oursOut, c); }};
        const bench::Side reference{"libsamplerate",
                                    [&](bench::Checksum& c) { return ConvertLibsamplerate(m, referenceOut, c); }};
        const std::string label = "stereo " + std::to_string(from) + " -> " + std::to_string(to) + " Hz";
        ok &= bench::Compare(options, label, to, m.OutputFrames(), ours, reference);
    }
    return ok ? 0 : 1;
}
