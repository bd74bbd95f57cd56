#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
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

TEST(Resampler, TonesComeOutCleanAndAtFullLevelBothWays) {
    // The rest is THD+N for the low tone, images and aliases (and noise) for the high one.
    const struct { uint32_t from, to; double hz; } cases[] = {
        {44100, 48000, 1000}, {48000, 44100, 1000}, {44100, 48000, 15000}, {48000, 44100, 15000}};
    for (const auto& c : cases) {
        const ToneFit fit = FitMiddle(Convert(Sine(c.hz, c.from, 1, c.from), 1, c.from, c.to, 4096), c.hz, c.to);
        EXPECT_LE(fit.restDb, -100.0) << c.from << " -> " << c.to << ", " << c.hz << " Hz";
        EXPECT_NEAR(fit.amplitude, 0.5, 0.5 * 0.001);
        std::printf("%u -> %u Hz, %5.0f Hz tone: rest %.1f dB\n", c.from, c.to, c.hz, fit.restDb);
    }
}

TEST(Resampler, PassbandIsFlatWithinATenthOfADecibelTo20kHz) {
    for (auto [from, to] : {std::pair{44100u, 48000u}, {48000u, 44100u}}) {
        double lowest = 100, highest = -100;
        for (double hz : {20.0, 1000.0, 6000.0, 12000.0, 17000.0, 19000.0, 20000.0}) {
            const double gainDb = 20 * std::log10(FitMiddle(Convert(Sine(hz, from, 1, from / 2), 1, from, to, 4096),
                                                          hz, to).amplitude / 0.5);
            lowest = std::min(lowest, gainDb), highest = std::max(highest, gainDb);
        }
        EXPECT_LE(highest - lowest, 0.1) << from << " -> " << to;
        EXPECT_LT(std::fabs(highest), 0.1);
        std::printf("%u -> %u Hz: passband gain %.4f .. %.4f dB\n", from, to, lowest, highest);
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
