#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "audio_builders.h"
#include "playback/resampler.h"

using namespace engine;
using enginetest::FitTone;
using enginetest::Sine;
using enginetest::ToneFit;

namespace {

// The whole signal through a resampler, pushed and pulled in blocks of `block` frames.
std::vector<float> Convert(const std::vector<float>& in, int channels, uint32_t from, uint32_t to, size_t block) {
    Resampler r;
    InitResampler(r, MakeResampleFilter(from, to), channels);
    std::vector<float> out, chunk(block * channels);
    const size_t frames = in.size() / channels;
    size_t taken = 0;
    for (;;) {
        const size_t pulled = ResamplerPull(r, chunk.data(), block);
        out.insert(out.end(), chunk.begin(), chunk.begin() + pulled * channels);
        if (pulled > 0) continue;
        if (taken == frames) {
            if (ResamplerDrained(r)) return out;
            FinishResampler(r);
            continue;
        }
        taken += ResamplerPush(r, &in[taken * channels], std::min(block, frames - taken));
    }
}

// The fit over the middle of the signal: the ends, where the input starts and stops, left out.
ToneFit FitMiddle(const std::vector<float>& s, double hz, uint32_t rate) {
    return FitTone(&s[s.size() / 8], s.size() - s.size() / 4, hz, rate);
}

}  // namespace

// Full level within 0.1 % (flat to 20 kHz), and the rest, THD+N for low tones, images and
// aliases (and noise) for high ones, 100 dB down.
TEST(Resampler, TonesComeOutCleanAndAtFullLevelBothWays) {
    for (auto [from, to] : {std::pair{44100u, 48000u}, {48000u, 44100u}})
        for (double hz : {20.0, 1000.0, 6000.0, 12000.0, 15000.0, 17000.0, 19000.0, 20000.0}) {
            const ToneFit fit = FitMiddle(Convert(Sine(hz, from, 1, from), 1, from, to, 4096), hz, to);
            EXPECT_NEAR(fit.amplitude, 0.5, 0.5 * 0.001) << from << " -> " << to << ", " << hz << " Hz";
            EXPECT_LE(fit.restDb, -100.0) << from << " -> " << to << ", " << hz << " Hz";
        }
}

TEST(Resampler, BlockSizesDoNotChangeTheOutput) {
    const int channels = 3;
    std::vector<float> in(20000 * channels);
    uint32_t seed = 1;
    for (float& v : in) v = static_cast<float>((seed = seed * 1664525u + 1013904223u) >> 8) / (1 << 24) - 0.5f;
    for (auto [from, to] : {std::pair{44100u, 48000u}, {48000u, 44100u}}) {
        const std::vector<float> whole = Convert(in, channels, from, to, 4096);
        EXPECT_EQ(Convert(in, channels, from, to, 1), whole);
        EXPECT_EQ(Convert(in, channels, from, to, 7), whole);
    }
}

TEST(Resampler, LongRunGivesTheRateRatiosFrameCount) {
    const struct { uint32_t from, to; } cases[] = {{44100, 48000}, {48000, 44100}, {22050, 48000}, {96000, 44100}};
    const uint64_t frames = 60 * 44100 + 17;
    for (const auto& c : cases) {
        Resampler r;
        InitResampler(r, MakeResampleFilter(c.from, c.to), 1);
        std::vector<float> in(4096, 0.25f), out(8192);
        uint64_t given = 0, taken = 0;
        while (taken < frames) {
            taken += ResamplerPush(r, in.data(), std::min<uint64_t>(in.size(), frames - taken));
            given += ResamplerPull(r, out.data(), out.size());
            EXPECT_NEAR(static_cast<double>(ResamplerInputReached(r)), given * double(c.from) / c.to, 1.0);
        }
        FinishResampler(r);
        while (size_t n = ResamplerPull(r, out.data(), out.size())) given += n;
        EXPECT_EQ(given, (frames * c.to + c.from - 1) / c.from) << c.from << " -> " << c.to;
        EXPECT_EQ(ResamplerInputReached(r), frames);
    }
}
