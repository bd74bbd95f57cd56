#include "crafted_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "fixtures.h"
#include "reference_decoder.h"

std::vector<int64_t> Signal(size_t n, unsigned bits, unsigned seed, double level) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-0.05, 0.05);
    double peak = std::ldexp(1.0, int(bits) - 1);
    std::vector<int64_t> s(n);
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / 1000.0;
        double v = level * std::sin(t * (3 + 2 * t) + seed) + noise(random);
        s[i] = std::clamp<int64_t>(int64_t(v * peak), int64_t(-peak), int64_t(peak) - 1);
    }
    return s;
}

std::vector<int64_t> Interleave(const std::vector<std::vector<int64_t>>& channels) {
    std::vector<int64_t> out;
    for (size_t i = 0; i < channels[0].size(); ++i)
        for (const auto& c : channels)
            out.push_back(c[i]);
    return out;
}

void ExpectBothDecodeTo(const std::vector<uint8_t>& stream, const std::vector<int64_t>& expected) {
    ReferenceAudio ref = DecodeWithLibFlac(stream);
    EXPECT_TRUE(ref.ok);
    EXPECT_EQ(ref.errors, 0u);
    EXPECT_TRUE(std::equal(ref.samples.begin(), ref.samples.end(), expected.begin(), expected.end()))
        << "libFLAC disagrees with the written signal";
    for (size_t chunk : {stream.size(), size_t(13)}) {
        OurDecode ours = DecodeWithOurs(stream, chunk);
        EXPECT_EQ(ours.result, flac::Result::EndOfStream) << flac::ResultName(ours.result);
        EXPECT_EQ(ours.skippedFrames, 0u);
        ASSERT_EQ(ours.samples.size(), expected.size()) << "chunk " << chunk;
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(ours.samples[i], expected[i]) << "sample " << i << " chunk " << chunk;
    }
}
