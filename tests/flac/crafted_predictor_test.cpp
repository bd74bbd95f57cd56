// Streams written by the test's own writer, for predictor and residual codings the flac
// tool never picks. The signal the writer encoded is the expected output; libFLAC must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "crafted_check.h"
#include "fixtures.h"
#include "stream_writer.h"

namespace {

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
