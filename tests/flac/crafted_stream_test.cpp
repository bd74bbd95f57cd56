// Streams written by the test's own writer, for codings the flac tool never picks: variable
// block sizes, frame-header rate codes, escaped partitions, the most negative LPC weight,
// wasted bits on every subframe kind, 33-bit side channels, long frame numbers, reserved
// codes. The signal the writer encoded is the expected output; libFLAC must agree.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "stream_writer.h"
#include "support.h"

namespace {

// A sweep plus noise, full scale for `bits` times `level`, clamped to the signed range.
std::vector<int64_t> Signal(size_t n, unsigned bits, unsigned seed, double level = 0.7) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-0.05, 0.05);
    const double peak = std::ldexp(1.0, int(bits) - 1);
    std::vector<int64_t> s(n);
    for (size_t i = 0; i < n; ++i) {
        const double t = double(i) / 1000.0, v = level * std::sin(t * (3 + 2 * t) + seed) + noise(random);
        s[i] = std::clamp<int64_t>(int64_t(v * peak), int64_t(-peak), int64_t(peak) - 1);
    }
    return s;
}

void AppendInterleaved(std::vector<int64_t>& out, const std::vector<std::vector<int64_t>>& channels) {
    for (size_t i = 0; i < channels[0].size(); ++i)
        for (const auto& c : channels) out.push_back(c[i]);
}

// libFLAC and our decoder (whole and in small pieces) both give exactly `expected`.
void ExpectBothDecodeTo(const std::vector<uint8_t>& stream, const std::vector<int64_t>& expected) {
    const Pcm ref = DecodeWithLibFlac(stream);
    EXPECT_TRUE(ref.ok && ref.errors == 0);
    EXPECT_TRUE(std::equal(ref.samples.begin(), ref.samples.end(), expected.begin(), expected.end()))
        << "libFLAC disagrees with the written signal";
    // The decoder first tries a frame with what one piece brought; pieces of every size up
    // to 64 bytes end that first try inside each field of the frame's first subframe.
    for (size_t chunk = 1; chunk <= 65; ++chunk) {
        const Pcm ours = DecodeWithOurs(stream, chunk == 65 ? stream.size() : chunk);
        EXPECT_TRUE(ours.result == flac::Result::EndOfStream && ours.errors == 0) << flac::ResultName(ours.result);
        EXPECT_TRUE(std::equal(ours.samples.begin(), ours.samples.end(), expected.begin(), expected.end()))
            << "chunk " << chunk;
    }
}

TEST(CraftedStream, VariableBlockSizesDecodeAndSeekToTheFrameOfTheSample) {
    const uint32_t sizes[] = {17, 4096, 100, 256, 257, 65535, 192, 1152, 32};
    std::vector<std::vector<uint8_t>> frames;
    std::vector<int64_t> expected;
    std::vector<uint64_t> starts = {0};
    for (size_t f = 0; f < std::size(sizes); ++f) {
        const std::vector<std::vector<int64_t>> ch = {Signal(sizes[f], 16, unsigned(f)), Signal(sizes[f], 16, unsigned(f) + 9)};
        const SubframePlan plan{.kind = sizes[f] < 64 ? SubframeKind::Verbatim : SubframeKind::Fixed, .order = 2};
        FramePlan frame{true, starts[f], 1, 16};
        frame.explicitBlockSize = f % 2 == 1;  // block sizes coded by table or explicitly in turn
        frames.push_back(EncodeFrame(frame, ch, {plan, plan}));
        AppendInterleaved(expected, ch);
        starts.push_back(starts[f] + sizes[f]);
    }
    const std::vector<uint8_t> stream = EncodeStream({17, 65535, 44100, 2, 16, starts.back()}, frames);
    ExpectBothDecodeTo(stream, expected);

    flac::Metadata meta;
    ASSERT_EQ(flac::ReadMetadata(stream.data(), stream.size(), meta), flac::Result::Ok);
    flac::MemorySource source(stream.data(), stream.size());
    uint64_t offset = meta.audioOffset;
    for (size_t f = 0; f < std::size(sizes); offset += frames[f++].size()) {
        for (uint64_t target : {starts[f], starts[f] + sizes[f] / 2, starts[f + 1] - 1}) {
            flac::SeekTarget where;
            ASSERT_EQ(flac::FindSeekTarget(source, meta, target, where), flac::Result::Ok) << target;
            EXPECT_EQ(std::make_pair(where.frameSample, where.byteOffset), std::make_pair(starts[f], offset)) << target;
        }
    }
}

enum class Shape { Plain, Wasted, OneBit, SilentOddPartitions, OppositeSides };

struct Coding {
    const char* what;
    unsigned bits, channels, assignment;
    SubframePlan plan;
    Shape shape = Shape::Plain;
    unsigned rateCode = 0, rateValue = 0;
    bool sizeFromStreamInfo = false;
};

// The signal of one row, channel by channel, as the decoder must give it back.
std::vector<std::vector<int64_t>> RowSignal(const Coding& c, size_t n) {
    std::vector<std::vector<int64_t>> ch;
    for (unsigned k = 0; k < c.channels; ++k) ch.push_back(Signal(n, c.bits, c.plan.order + k, c.bits == 4 ? 0.9 : 0.7));
    for (size_t i = 0; i < n; ++i) {
        int64_t& v = ch[0][i];
        const unsigned w = c.plan.wastedBits;
        if (c.shape == Shape::Wasted)
            v = c.plan.kind == SubframeKind::Constant ? -(int64_t(3) << w) : (v >> w) << w;
        else if (c.shape == Shape::OneBit)
            v = i % 3 == 0 ? -(int64_t(1) << 23) : 0;  // 23 wasted bits, one left: -1 or 0
        else if (c.shape == Shape::SilentOddPartitions && i >= n / 4)
            v = 0;  // the escaped partitions get zero-bit residuals
        else if (c.shape == Shape::OppositeSides)  // their difference needs 33 bits
            ch[1][i] = std::clamp<int64_t>(-v + int64_t(i % 5), INT32_MIN, INT32_MAX);
    }
    if (c.shape == Shape::OppositeSides && c.plan.kind == SubframeKind::Verbatim) {
        // The extremes; a predictor's residual could not hold them.
        ch[0][0] = ch[1][1] = INT32_MAX;
        ch[0][1] = ch[1][0] = INT32_MIN;
    }
    return ch;
}

// LPC weights that mostly repeat the last sample, small further back, and the most negative
// weight the precision allows in second place.
std::vector<int32_t> LpcWeights(const Coding& c) {
    std::mt19937 random(c.plan.order);
    const int limit = (1 << (c.plan.precision - 1)) - 1;
    std::vector<int32_t> coefs = {std::min(1 << c.plan.shift, limit)};
    for (unsigned j = 1; j < c.plan.order; ++j) coefs.push_back(int(random() % 7) - 3);
    if (c.plan.order >= 2 && c.bits < 32) coefs[1] = -limit;
    return coefs;
}

TEST(CraftedStream, CodingsTheFlacToolNeverWritesDecodeExactly) {
    using K = SubframeKind;
    const Coding codings[] = {
        {"rate in kHz, size from STREAMINFO", 20, 1, 0, {.kind = K::Fixed, .order = 3}, Shape::Plain, 12, 48, true},
        {"rate in Hz", 20, 1, 0, {.kind = K::Fixed, .order = 3}, Shape::Plain, 13, 48000},
        {"rate in tens of Hz", 20, 1, 0, {.kind = K::Fixed, .order = 3}, Shape::Plain, 14, 4800},
        {"eight channels of four bits", 4, 8, 7, {.kind = K::Fixed, .order = 2}},
        {"escaped partitions", 16, 2, 1, {.kind = K::Fixed, .order = 2, .partitionOrder = 3, .escapeOddPartitions = true}},
        {"escaped partitions, five-bit parameters", 16, 1, 0,
         {.kind = K::Fixed, .order = 4, .fiveBitParameters = true, .partitionOrder = 4, .escapeOddPartitions = true}},
        {"escaped partitions of zero bits", 16, 1, 0, {.kind = K::Fixed, .partitionOrder = 2, .escapeOddPartitions = true},
         Shape::SilentOddPartitions},
        {"LPC at 8 bits", 8, 1, 0, {.kind = K::Lpc, .order = 3, .precision = 4, .shift = 1}},
        {"LPC order 1", 16, 1, 0, {.kind = K::Lpc, .order = 1, .precision = 5, .shift = 2}},
        {"LPC, 32-bit sum", 16, 1, 0, {.kind = K::Lpc, .order = 8, .precision = 12, .shift = 10}},
        {"LPC at 16 bits, 64-bit sum", 16, 1, 0, {.kind = K::Lpc, .order = 12, .precision = 15, .shift = 13}},
        {"LPC order 32 at 24 bits", 24, 1, 0,
         {.kind = K::Lpc, .order = 32, .precision = 15, .shift = 14, .fiveBitParameters = true, .partitionOrder = 3}},
        {"LPC at 32 bits", 32, 1, 0, {.kind = K::Lpc, .order = 4, .precision = 10, .shift = 8, .fiveBitParameters = true}},
        {"wasted bits, constant", 24, 1, 0, {.kind = K::Constant, .wastedBits = 5}, Shape::Wasted},
        {"wasted bits, one bit left", 24, 1, 0, {.kind = K::Verbatim, .wastedBits = 23}, Shape::OneBit},
        {"wasted bits, fixed", 24, 1, 0, {.kind = K::Fixed, .order = 2, .wastedBits = 1}, Shape::Wasted},
        {"wasted bits, LPC", 24, 1, 0, {.kind = K::Lpc, .order = 1, .coefs = {1}, .precision = 2, .wastedBits = 5},
         Shape::Wasted},
        {"33-bit side, left/side, verbatim", 32, 2, 8, {.kind = K::Verbatim}, Shape::OppositeSides},
        {"33-bit side, side/right, fixed", 32, 2, 9, {.kind = K::Fixed, .order = 2, .fiveBitParameters = true},
         Shape::OppositeSides},
        {"33-bit side, mid/side, LPC", 32, 2, 10,
         {.kind = K::Lpc, .order = 2, .coefs = {2, -1}, .precision = 4, .fiveBitParameters = true}, Shape::OppositeSides},
    };
    constexpr size_t n = 1152;
    for (const Coding& c : codings) {
        SCOPED_TRACE(c.what);
        SubframePlan plan = c.plan;
        if (plan.kind == SubframeKind::Lpc && plan.coefs.empty()) plan.coefs = LpcWeights(c);
        const std::vector<std::vector<int64_t>> ch = RowSignal(c, n);
        const FramePlan frame{false, 0, c.assignment, c.bits, c.sizeFromStreamInfo, c.rateCode, c.rateValue};
        std::vector<int64_t> expected;
        AppendInterleaved(expected, ch);
        const std::vector<uint8_t> bytes = EncodeFrame(frame, ch, std::vector<SubframePlan>(c.channels, plan));
        ExpectBothDecodeTo(EncodeStream({n, n, 48000, c.channels, c.bits, n}, {bytes}), expected);
    }
}

// Fixed block sizes: frame numbers that need two to six bytes, each the first sample over 16.
TEST(CraftedStream, LongCodedFrameNumbers) {
    std::vector<std::vector<uint8_t>> frames;
    std::vector<int64_t> expected;
    const flac::StreamInfo info{.minBlockSize = 16, .maxBlockSize = 16, .sampleRate = 44100, .bitsPerSample = 16};
    for (uint64_t number : {uint64_t(200), uint64_t(3000), uint64_t(70000), uint64_t(3000000), uint64_t(100000000)}) {
        const std::vector<int64_t> s = Signal(16, 16, unsigned(number % 1000));
        frames.push_back(EncodeFrame({false, number, 0, 16}, {s}, {SubframePlan{}}));
        expected.insert(expected.end(), s.begin(), s.end());
        flac::FrameHeader h;
        ASSERT_EQ(flac::ParseFrameHeader(frames.back().data(), frames.back().size(), info, h), flac::Result::Ok);
        EXPECT_EQ(h.firstSample, number * 16);
    }
    const Pcm ours = DecodeWithOurs(EncodeStream({16, 16, 44100, 1, 16, 0}, frames), 100);
    EXPECT_TRUE(ours.errors == 0 && std::equal(ours.samples.begin(), ours.samples.end(), expected.begin(), expected.end()));
}

// Each reserved code in an otherwise sound frame, its header CRC made right again, so only
// the code itself can be what is refused.
TEST(CraftedStream, ReservedCodingsAreRefused) {
    const std::vector<uint8_t> good = EncodeFrame({false, 0, 0, 16}, {Signal(256, 16, 1)}, {{.kind = SubframeKind::Fixed, .order = 1}});
    const flac::StreamInfo info{.minBlockSize = 256, .maxBlockSize = 256, .sampleRate = 44100, .channels = 1, .bitsPerSample = 16};
    flac::FrameScratch scratch;
    flac::DecodedFrame out;
    ASSERT_EQ(flac::DecodeFrame(good.data(), good.size(), info, scratch, out), flac::Result::Ok);
    const struct { const char* what; size_t byte; uint8_t set, clear; } cases[] = {
        {"the reserved bit after the sync code", 1, 0x02, 0},
        {"block size code 0", 2, 0, 0xF0},
        {"sample rate code 15", 2, 0x0F, 0},
        {"channel assignment 11", 3, 0xB0, 0xF0},
        {"sample size code 3", 3, 0x06, 0x0E},
        {"the reserved bit after the sample size", 3, 0x01, 0},
        {"fixed order 5 (after a 1-byte frame number and the CRC-8)", 6, 0x1A, 0x7E},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> frame = good;
        frame[c.byte] = uint8_t((frame[c.byte] & ~c.clear) | c.set);
        if (c.byte < 5) frame[5] = uint8_t(BitwiseCrc(frame.data(), 5, 8, 0x07));
        EXPECT_EQ(flac::DecodeFrame(frame.data(), frame.size(), info, scratch, out), flac::Result::BadFrame) << c.what;
    }
}

}  // namespace
