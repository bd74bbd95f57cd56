// Streams written by the test's own writer, for frame header, predictor and residual codings
// the flac tool never picks. The signal the writer encoded is the expected output; libFLAC
// must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "crafted_check.h"
#include "fixtures.h"
#include "stream_writer.h"

namespace {

constexpr uint32_t kVariableSizes[] = {17, 4096, 100, 256, 257, 65535, 192, 1152, 32};

struct VariableStream {
    std::vector<uint8_t> bytes;
    std::vector<int64_t> expected;
    std::vector<size_t> frameOffsets;  // in `bytes`
    std::vector<uint64_t> frameStarts;  // first sample of each frame
};

// Frames of the sizes above, block sizes coded by table or explicitly in turn.
VariableStream MakeVariableStream() {
    VariableStream v;
    std::vector<std::vector<uint8_t>> frames;
    uint64_t first = 0;
    for (size_t f = 0; f < std::size(kVariableSizes); ++f) {
        uint32_t size = kVariableSizes[f];
        std::vector<std::vector<int64_t>> ch = {Signal(size, 16, unsigned(f)), Signal(size, 16, unsigned(f) + 9)};
        SubframePlan plan;
        plan.kind = size < 64 ? SubframeKind::Verbatim : SubframeKind::Fixed;
        plan.order = 2;
        FramePlan frame{true, first, 1, 16};
        frame.explicitBlockSize = f % 2 == 1;
        frames.push_back(EncodeFrame(frame, ch, {plan, plan}));
        std::vector<int64_t> part = Interleave(ch);
        v.expected.insert(v.expected.end(), part.begin(), part.end());
        v.frameStarts.push_back(first);
        first += size;
    }
    v.bytes = EncodeStream({17, 65535, 44100, 2, 16, first}, frames);
    size_t at = v.bytes.size();
    for (auto it = frames.rbegin(); it != frames.rend(); ++it)
        at -= it->size();
    for (const auto& f : frames) {
        v.frameOffsets.push_back(at);
        at += f.size();
    }
    return v;
}

TEST(CraftedStream, VariableBlockSizesAndExplicitSizeCodes) {
    VariableStream v = MakeVariableStream();
    ExpectBothDecodeTo(v.bytes, v.expected);

    // Each frame reports the first sample it carries, from the coded sample number.
    flac::StreamDecoder decoder;
    decoder.Feed(v.bytes.data(), v.bytes.size());
    decoder.FinishInput();
    for (size_t f = 0; f < std::size(kVariableSizes); ++f) {
        ASSERT_EQ(decoder.NextFrame(), flac::Result::Ok);
        EXPECT_TRUE(decoder.frame().header.variableBlockSize);
        EXPECT_EQ(decoder.frame().header.firstSample, v.frameStarts[f]);
        EXPECT_EQ(decoder.frame().header.blockSize, kVariableSizes[f]);
    }
}

TEST(CraftedStream, SeekingWithVariableBlockSizesFindsTheFrameOfTheSample) {
    VariableStream v = MakeVariableStream();
    flac::Metadata meta;
    ASSERT_EQ(flac::ReadMetadata(v.bytes.data(), v.bytes.size(), meta), flac::Result::Ok);
    flac::MemorySource source(v.bytes.data(), v.bytes.size());
    for (size_t f = 0; f < std::size(kVariableSizes); ++f) {
        uint64_t start = v.frameStarts[f];
        for (uint64_t target : {start, start + kVariableSizes[f] / 2, start + kVariableSizes[f] - 1}) {
            flac::SeekTarget where;
            ASSERT_EQ(flac::FindSeekTarget(source, meta, target, where), flac::Result::Ok) << target;
            EXPECT_EQ(where.frameSample, start) << target;
            EXPECT_EQ(where.byteOffset, v.frameOffsets[f]) << target;
        }
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
            SubframePlan plan;
            plan.kind = SubframeKind::Fixed;
            plan.order = 3;
            FramePlan frame{false, number++, 0, 20};
            frame.rateCode = c.code;
            frame.rateValue = c.value;
            frame.sampleSizeFromStreamInfo = fromStreamInfo;
            frames.push_back(EncodeFrame(frame, {s}, {plan}));
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

TEST(CraftedStream, EightChannelsOfFourBitSamples) {
    std::vector<std::vector<int64_t>> ch;
    std::vector<SubframePlan> plans;
    for (unsigned c = 0; c < 8; ++c) {
        ch.push_back(Signal(4096, 4, c, 0.9));
        SubframePlan plan;
        plan.kind = c % 2 ? SubframeKind::Fixed : SubframeKind::Verbatim;
        plan.order = c % 5;
        plans.push_back(plan);
    }
    FramePlan frame{false, 0, 7, 4};
    frame.sampleSizeFromStreamInfo = true;
    std::vector<uint8_t> f = EncodeFrame(frame, ch, plans);
    ExpectBothDecodeTo(EncodeStream({4096, 4096, 8000, 8, 4, 4096}, {f}), Interleave(ch));
}

TEST(CraftedStream, LongCodedFrameNumbers) {
    // Frame numbers that need two to six bytes in the header.
    std::vector<std::vector<uint8_t>> frames;
    std::vector<int64_t> expected;
    for (uint64_t number : {uint64_t(0), uint64_t(200), uint64_t(3000), uint64_t(70000), uint64_t(3000000),
                            uint64_t(100000000)}) {
        std::vector<int64_t> s = Signal(16, 16, unsigned(number % 1000));
        SubframePlan plan;
        frames.push_back(EncodeFrame({false, number, 0, 16}, {s}, {plan}));
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
    SubframePlan plan;
    plan.kind = SubframeKind::Fixed;
    plan.order = 1;
    std::vector<uint8_t> good = EncodeFrame({false, 0, 0, 16}, {s}, {plan});
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

TEST(CraftedStream, FixedPredictorsWithEveryResidualCoding) {
    std::vector<std::vector<uint8_t>> frames;
    std::vector<int64_t> expected;
    uint64_t number = 0;
    for (unsigned order = 0; order <= 4; ++order) {
        for (unsigned partitions : {0u, 1u, 3u, 4u}) {
            for (bool fiveBits : {false, true}) {
                std::vector<std::vector<int64_t>> ch = {Signal(1024, 16, order * 10 + partitions),
                                                        Signal(1024, 16, order * 10 + partitions + 100, 0.01)};
                SubframePlan plan;
                plan.kind = SubframeKind::Fixed;
                plan.order = order;
                plan.partitionOrder = partitions;
                plan.fiveBitParameters = fiveBits;
                plan.escapeOddPartitions = partitions > 0;
                frames.push_back(EncodeFrame({false, number++, 1, 16}, ch, {plan, plan}));
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
    SubframePlan plan;
    plan.kind = SubframeKind::Fixed;
    plan.order = 0;
    plan.partitionOrder = 2;
    plan.escapeOddPartitions = true;
    std::vector<uint8_t> frame = EncodeFrame({false, 0, 0, 16}, {s}, {plan});
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
        SubframePlan plan;
        plan.kind = SubframeKind::Lpc;
        plan.order = c.order;
        plan.precision = c.precision;
        plan.shift = c.shift;
        plan.fiveBitParameters = true;
        plan.partitionOrder = 3;
        // Mostly "repeat the last sample", with small weights further back.
        std::mt19937 random(c.order);
        int limit = (1 << (c.precision - 1)) - 1;
        plan.coefs.push_back(std::min(1 << c.shift, limit));
        for (unsigned j = 1; j < c.order; ++j)
            plan.coefs.push_back(int(random() % 7) - 3);
        if (c.order >= 2 && c.bits < 32)
            plan.coefs[1] = -limit;  // the most negative weight the precision allows
        // Every case in its own stream, since the sample size is the stream's.
        std::vector<uint8_t> frame = EncodeFrame({false, 0, 0, c.bits}, {s}, {plan});
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
            SubframePlan plan;
            plan.kind = kind;
            plan.wastedBits = wasted;
            plan.order = kind == SubframeKind::Fixed ? 2 : kind == SubframeKind::Lpc ? 1 : 0;
            plan.coefs = {1};
            plan.precision = 2;
            if (kind == SubframeKind::Constant && wasted == 23)
                plan.kind = SubframeKind::Verbatim;
            frames.push_back(EncodeFrame({false, number++, 0, 24}, {s}, {plan}));
            expected.insert(expected.end(), s.begin(), s.end());
        }
    }
    ExpectBothDecodeTo(EncodeStream({576, 576, 96000, 1, 24, number * 576}, frames), expected);
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
            SubframePlan plan;
            plan.kind = kind;
            plan.order = kind == SubframeKind::Verbatim ? 0 : 2;
            plan.coefs = {2, -1};
            plan.precision = 4;
            plan.fiveBitParameters = true;
            frames.push_back(EncodeFrame({false, number++, assignment, 32}, Decorrelate(assignment, left, right), {plan, plan}));
            std::vector<int64_t> part = Interleave({left, right});
            expected.insert(expected.end(), part.begin(), part.end());
        }
    }
    ExpectBothDecodeTo(EncodeStream({1024, 1024, 48000, 2, 32, number * 1024}, frames), expected);
}

}  // namespace
