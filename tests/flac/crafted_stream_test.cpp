// Streams written by the test's own writer, for codings the flac tool never picks. The
// signal the writer encoded is the expected output, and libFLAC must agree with it too.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "fixtures.h"
#include "reference_decoder.h"
#include "stream_writer.h"

namespace {

// A sweep plus noise, full scale for `bits`, clamped to the signed range.
std::vector<int64_t> Signal(size_t n, unsigned bits, unsigned seed, double level = 0.7) {
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

TEST(CraftedStream, FixedPredictorsWithEveryResidualCoding) {
    std::vector<std::vector<uint8_t>> frames;
    std::vector<int64_t> expected;
    uint64_t number = 0;
    for (unsigned order = 0; order <= 4; ++order) {
        for (unsigned partitions : {0u, 1u, 3u, 4u}) {
            for (bool fiveBits : {false, true}) {
                std::vector<std::vector<int64_t>> ch = {Signal(1024, 16, order * 10 + partitions),
                                                        Signal(1024, 16, order * 10 + partitions + 100, 0.01)};
                SubframeSpec spec;
                spec.kind = SubframeKind::Fixed;
                spec.order = order;
                spec.partitionOrder = partitions;
                spec.fiveBitParameters = fiveBits;
                spec.escapeOddPartitions = partitions > 0;
                frames.push_back(EncodeFrame({false, number++, 1, 16}, ch, {spec, spec}));
                std::vector<int64_t> part = Interleave(ch);
                expected.insert(expected.end(), part.begin(), part.end());
            }
        }
    }
    ExpectBothDecodeTo(EncodeStream({1024, 1024, 44100, 2, 16, number * 1024}, frames), expected);
}

TEST(CraftedStream, EscapedPartitionOfZeroBitsMeansSilence) {
    std::vector<int64_t> s(256, 0);
    for (size_t i = 0; i < 64; ++i)
        s[i] = int64_t(i * 37 % 200) - 100;  // partition 0 busy, partition 1 all zero residual
    SubframeSpec spec;
    spec.kind = SubframeKind::Fixed;
    spec.order = 0;
    spec.partitionOrder = 2;
    spec.escapeOddPartitions = true;
    std::vector<uint8_t> frame = EncodeFrame({false, 0, 0, 16}, {s}, {spec});
    ExpectBothDecodeTo(EncodeStream({256, 256, 44100, 1, 16, 256}, {frame}), s);
}

TEST(CraftedStream, LpcFromOrderOneToThirtyTwoNarrowAndWideSums) {
    struct Case {
        unsigned bits, order, precision, shift;
    };
    // 16 + 12 + log2(8) stays within 32 bits; 24 + 15 + log2(32) and 32-bit samples need 64.
    const Case cases[] = {{16, 1, 5, 2}, {16, 8, 12, 10}, {16, 12, 15, 13}, {24, 32, 15, 14},
                          {24, 2, 15, 14}, {32, 4, 10, 8}, {8, 3, 4, 1}};
    for (const Case& c : cases) {
        std::vector<int64_t> s = Signal(2048, c.bits, c.order);
        SubframeSpec spec;
        spec.kind = SubframeKind::Lpc;
        spec.order = c.order;
        spec.precision = c.precision;
        spec.shift = c.shift;
        spec.fiveBitParameters = true;
        spec.partitionOrder = 3;
        // Mostly "repeat the last sample", with small weights further back.
        std::mt19937 random(c.order);
        int limit = (1 << (c.precision - 1)) - 1;
        spec.coefs.push_back(std::min(1 << c.shift, limit));
        for (unsigned j = 1; j < c.order; ++j)
            spec.coefs.push_back(int(random() % 7) - 3);
        if (c.order >= 2 && c.bits < 32)
            spec.coefs[1] = -limit;  // the most negative weight the precision allows
        // Every case in its own stream, since the sample size is the stream's.
        std::vector<uint8_t> frame = EncodeFrame({false, 0, 0, c.bits}, {s}, {spec});
        SCOPED_TRACE("bits " + std::to_string(c.bits) + " order " + std::to_string(c.order));
        ExpectBothDecodeTo(EncodeStream({2048, 2048, 48000, 1, c.bits, 2048}, {frame}), s);
    }
}

TEST(CraftedStream, WastedBitsOnEverySubframeKind) {
    std::vector<std::vector<uint8_t>> frames;
    std::vector<int64_t> expected;
    const SubframeKind kinds[] = {SubframeKind::Constant, SubframeKind::Verbatim, SubframeKind::Fixed,
                                  SubframeKind::Lpc};
    uint64_t number = 0;
    for (SubframeKind kind : kinds) {
        for (unsigned wasted : {1u, 5u, 23u}) {
            std::vector<int64_t> s = Signal(576, 24, wasted);
            for (int64_t& v : s)
                v = kind == SubframeKind::Constant ? -(int64_t(1) << wasted) * 3 : (v >> wasted) << wasted;
            if (wasted == 23)
                for (size_t i = 0; i < s.size(); ++i)
                    s[i] = (i % 3 == 0) ? -(int64_t(1) << 23) : 0;  // one bit left: -1 or 0
            SubframeSpec spec;
            spec.kind = kind;
            spec.wastedBits = wasted;
            spec.order = kind == SubframeKind::Fixed ? 2 : kind == SubframeKind::Lpc ? 1 : 0;
            spec.coefs = {1};
            spec.precision = 2;
            if (kind == SubframeKind::Constant && wasted == 23)
                spec.kind = SubframeKind::Verbatim;
            frames.push_back(EncodeFrame({false, number++, 0, 24}, {s}, {spec}));
            expected.insert(expected.end(), s.begin(), s.end());
        }
    }
    ExpectBothDecodeTo(EncodeStream({576, 576, 96000, 1, 24, number * 576}, frames), expected);
}

TEST(CraftedStream, VariableBlockSizesAndExplicitSizeCodes) {
    const uint32_t sizes[] = {17, 4096, 100, 256, 257, 65535, 192, 1152, 32};
    std::vector<std::vector<uint8_t>> frames;
    std::vector<int64_t> expected;
    uint64_t first = 0;
    for (size_t f = 0; f < std::size(sizes); ++f) {
        std::vector<std::vector<int64_t>> ch = {Signal(sizes[f], 16, unsigned(f)), Signal(sizes[f], 16, unsigned(f) + 9)};
        SubframeSpec spec;
        spec.kind = sizes[f] < 64 ? SubframeKind::Verbatim : SubframeKind::Fixed;
        spec.order = 2;
        FrameSpec frame{true, first, 1, 16};
        frame.explicitBlockSize = f % 2 == 1;
        frames.push_back(EncodeFrame(frame, ch, {spec, spec}));
        std::vector<int64_t> part = Interleave(ch);
        expected.insert(expected.end(), part.begin(), part.end());
        first += sizes[f];
    }
    std::vector<uint8_t> stream = EncodeStream({17, 65535, 44100, 2, 16, first}, frames);
    ExpectBothDecodeTo(stream, expected);

    // Each frame reports the first sample it carries, from the coded sample number.
    flac::StreamDecoder decoder;
    decoder.Feed(stream.data(), stream.size());
    decoder.FinishInput();
    uint64_t at = 0;
    for (uint32_t size : sizes) {
        ASSERT_EQ(decoder.NextFrame(), flac::Result::Ok);
        EXPECT_TRUE(decoder.frame().header.variableBlockSize);
        EXPECT_EQ(decoder.frame().header.firstSample, at);
        EXPECT_EQ(decoder.frame().header.blockSize, size);
        at += size;
    }
}

TEST(CraftedStream, SampleRateAndSampleSizeCodesInTheFrameHeader) {
    struct Case {
        unsigned code, value;
    };
    const Case cases[] = {{0, 0}, {10, 0}, {12, 48}, {13, 48000}, {14, 4800}};
    std::vector<std::vector<uint8_t>> frames;
    std::vector<int64_t> expected;
    uint64_t number = 0;
    for (const Case& c : cases) {
        for (bool fromStreamInfo : {false, true}) {
            std::vector<int64_t> s = Signal(4608, 20, c.code);
            SubframeSpec spec;
            spec.kind = SubframeKind::Fixed;
            spec.order = 3;
            FrameSpec frame{false, number++, 0, 20};
            frame.rateCode = c.code;
            frame.rateValue = c.value;
            frame.sampleSizeFromStreamInfo = fromStreamInfo;
            frames.push_back(EncodeFrame(frame, {s}, {spec}));
            expected.insert(expected.end(), s.begin(), s.end());

            flac::StreamInfo info;
            info.sampleRate = 48000;
            info.bitsPerSample = 20;
            info.minBlockSize = info.maxBlockSize = 4608;
            flac::FrameHeader h;
            ASSERT_EQ(flac::ParseFrameHeader(frames.back().data(), frames.back().size(), info, h), flac::Result::Ok);
            EXPECT_EQ(h.sampleRate, 48000u);
            EXPECT_EQ(h.bitsPerSample, 20u);
            EXPECT_EQ(h.firstSample, (number - 1) * 4608);
        }
    }
    ExpectBothDecodeTo(EncodeStream({4608, 4608, 48000, 1, 20, number * 4608}, frames), expected);
}

TEST(CraftedStream, ThirtyTwoBitStereoNeedsAThirtyThreeBitSide) {
    std::vector<std::vector<uint8_t>> frames;
    std::vector<int64_t> expected;
    uint64_t number = 0;
    for (unsigned assignment : {8u, 9u, 10u}) {
        for (SubframeKind kind : {SubframeKind::Verbatim, SubframeKind::Fixed, SubframeKind::Lpc}) {
            // Opposite full-scale signals: their difference needs 33 bits.
            std::vector<int64_t> left = Signal(1024, 32, assignment, 0.99), right(left.size());
            for (size_t i = 0; i < left.size(); ++i)
                right[i] = std::clamp<int64_t>(-left[i] + (i % 5), INT32_MIN, INT32_MAX);
            if (kind == SubframeKind::Verbatim) {  // the extremes; a predictor's residual could not hold them
                left[0] = INT32_MAX;
                right[0] = INT32_MIN;
                left[1] = INT32_MIN;
                right[1] = INT32_MAX;
            }
            SubframeSpec spec;
            spec.kind = kind;
            spec.order = kind == SubframeKind::Verbatim ? 0 : 2;
            spec.coefs = {2, -1};
            spec.precision = 4;
            spec.fiveBitParameters = true;
            frames.push_back(EncodeFrame({false, number++, assignment, 32}, Decorrelate(assignment, left, right), {spec, spec}));
            std::vector<int64_t> part = Interleave({left, right});
            expected.insert(expected.end(), part.begin(), part.end());
        }
    }
    ExpectBothDecodeTo(EncodeStream({1024, 1024, 48000, 2, 32, number * 1024}, frames), expected);
}

TEST(CraftedStream, EightChannelsOfFourBitSamples) {
    std::vector<std::vector<int64_t>> ch;
    std::vector<SubframeSpec> specs;
    for (unsigned c = 0; c < 8; ++c) {
        ch.push_back(Signal(4096, 4, c, 0.9));
        SubframeSpec spec;
        spec.kind = c % 2 ? SubframeKind::Fixed : SubframeKind::Verbatim;
        spec.order = c % 5;
        specs.push_back(spec);
    }
    FrameSpec frame{false, 0, 7, 4};
    frame.sampleSizeFromStreamInfo = true;
    std::vector<uint8_t> f = EncodeFrame(frame, ch, specs);
    ExpectBothDecodeTo(EncodeStream({4096, 4096, 8000, 8, 4, 4096}, {f}), Interleave(ch));
}

TEST(CraftedStream, LongCodedFrameNumbers) {
    // Frame numbers that need two to six bytes in the header.
    std::vector<std::vector<uint8_t>> frames;
    std::vector<int64_t> expected;
    for (uint64_t number : {uint64_t(0), uint64_t(200), uint64_t(3000), uint64_t(70000), uint64_t(3000000),
                            uint64_t(100000000)}) {
        std::vector<int64_t> s = Signal(16, 16, unsigned(number % 1000));
        SubframeSpec spec;
        frames.push_back(EncodeFrame({false, number, 0, 16}, {s}, {spec}));
        expected.insert(expected.end(), s.begin(), s.end());
        flac::StreamInfo info;
        info.sampleRate = 44100;
        info.bitsPerSample = 16;
        info.minBlockSize = info.maxBlockSize = 16;
        flac::FrameHeader h;
        ASSERT_EQ(flac::ParseFrameHeader(frames.back().data(), frames.back().size(), info, h), flac::Result::Ok);
        EXPECT_EQ(h.codedNumber, number);
        EXPECT_EQ(h.firstSample, number * 16);
    }
    OurDecode ours = DecodeWithOurs(EncodeStream({16, 16, 44100, 1, 16, 0}, frames), 100);
    EXPECT_EQ(ours.skippedFrames, 0u);
    EXPECT_TRUE(std::equal(ours.samples.begin(), ours.samples.end(), expected.begin(), expected.end()));
}

TEST(CraftedStream, ReservedCodingsAreRefused) {
    std::vector<int64_t> s = Signal(256, 16, 1);
    SubframeSpec spec;
    spec.kind = SubframeKind::Fixed;
    spec.order = 1;
    std::vector<uint8_t> good = EncodeFrame({false, 0, 0, 16}, {s}, {spec});
    flac::StreamInfo info;
    info.sampleRate = 44100;
    info.bitsPerSample = 16;
    info.channels = 1;
    info.minBlockSize = info.maxBlockSize = 256;
    flac::FrameScratch scratch;
    flac::DecodedFrame out;
    ASSERT_EQ(flac::DecodeFrame(good.data(), good.size(), info, scratch, out), flac::Result::Ok);

    auto refused = [&](std::vector<uint8_t> frame, size_t byte, uint8_t set, uint8_t clear) {
        frame[byte] = uint8_t((frame[byte] & ~clear) | set);
        return flac::DecodeFrame(frame.data(), frame.size(), info, scratch, out) == flac::Result::BadFrame;
    };
    EXPECT_TRUE(refused(good, 1, 0x02, 0));     // the reserved bit after the sync code
    EXPECT_TRUE(refused(good, 2, 0, 0xF0));     // block size code 0
    EXPECT_TRUE(refused(good, 2, 0x0F, 0));     // sample rate code 15
    EXPECT_TRUE(refused(good, 3, 0xB0, 0xF0));  // channel assignment 11
    EXPECT_TRUE(refused(good, 3, 0x06, 0x0E));  // sample size code 3
    EXPECT_TRUE(refused(good, 3, 0x01, 0));     // the reserved bit after the sample size
    // Fixed order 5 in the subframe header (byte 6, after a 1-byte frame number and the CRC-8).
    EXPECT_TRUE(refused(good, 6, 0x1A, 0x7E));
}

}  // namespace
