#include "stream_writer.h"

#include <algorithm>
#include <iterator>

namespace {

// Most significant bit first.
struct BitWriter {
    std::vector<uint8_t> bytes;
    unsigned used = 8;  // bits taken in the last byte
    void Put(uint64_t value, unsigned bits) {
        while (bits-- > 0) {
            if (used == 8) {
                bytes.push_back(0);
                used = 0;
            }
            const uint64_t bit = bits < 64 ? (value >> bits) & 1 : 0;  // long unary runs
            bytes.back() |= uint8_t(bit << (7 - used++));
        }
    }
    void PutSigned(int64_t value, unsigned bits) { Put(uint64_t(value), bits); }
    void PutRice(int64_t value, unsigned parameter) {
        const uint64_t folded = value < 0 ? (uint64_t(-(value + 1)) << 1) | 1 : uint64_t(value) << 1;
        Put(1, unsigned(folded >> parameter) + 1);  // the quotient in unary
        Put(folded, parameter);
    }
};

// Plain bitwise CRCs, independent of the decoder's table-driven ones.
unsigned BitwiseCrc(const std::vector<uint8_t>& data, unsigned width, unsigned polynomial) {
    unsigned top = 1u << (width - 1), mask = (1u << width) - 1, crc = 0;
    for (uint8_t byte : data) {
        crc ^= unsigned(byte) << (width - 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & top) ? ((crc << 1) ^ polynomial) & mask : (crc << 1) & mask;
    }
    return crc;
}

void PutCodedNumber(BitWriter& w, uint64_t v) {
    if (v < 0x80) {
        w.Put(v, 8);
        return;
    }
    int bytes = 2;
    while (bytes < 7 && v >= (uint64_t(1) << (5 * bytes + 1)))
        ++bytes;
    unsigned lead = (0xFF00u >> bytes) & 0xFF;  // `bytes` one bits, then a zero
    w.Put(lead | (v >> (6 * (bytes - 1))), 8);
    for (int i = bytes - 2; i >= 0; --i)
        w.Put(0x80 | ((v >> (6 * i)) & 0x3F), 8);
}

// The fixed predictors are LPC with these weights and no shift.
const int32_t kFixedWeights[5][4] = {{}, {1}, {2, -1}, {3, -3, 1}, {4, -6, 4, -1}};

unsigned SignedBitsNeeded(int64_t v) {
    unsigned bits = 1;
    while (v < -(int64_t(1) << (bits - 1)) || v >= (int64_t(1) << (bits - 1)))
        ++bits;
    return bits;
}

void PutResidual(BitWriter& w, const SubframePlan& plan, const std::vector<int64_t>& residual, size_t blockSize) {
    w.Put(plan.fiveBitParameters ? 1 : 0, 2);
    w.Put(plan.partitionOrder, 4);
    unsigned parameterBits = plan.fiveBitParameters ? 5 : 4;
    size_t partitionSize = blockSize >> plan.partitionOrder;
    size_t at = plan.order;
    for (size_t p = 0; p < (size_t(1) << plan.partitionOrder); ++p) {
        size_t end = (p + 1) * partitionSize;
        if (plan.escapeOddPartitions && p % 2 == 1) {
            unsigned bits = 0;
            for (size_t i = at; i < end; ++i)
                bits = std::max(bits, residual[i] ? SignedBitsNeeded(residual[i]) : 0u);
            w.Put((1u << parameterBits) - 1, parameterBits);
            w.Put(bits, 5);
            for (size_t i = at; i < end; ++i)
                w.PutSigned(residual[i], bits);
        } else {
            // The parameter that suits the partition's mean magnitude.
            uint64_t sum = 0;
            for (size_t i = at; i < end; ++i)
                sum += uint64_t(residual[i] < 0 ? -residual[i] : residual[i]);
            uint64_t mean = end > at ? sum / (end - at) : 0;
            unsigned parameter = 0;
            while ((uint64_t(1) << parameter) < mean && parameter < (1u << parameterBits) - 2)
                ++parameter;
            w.Put(parameter, parameterBits);
            for (size_t i = at; i < end; ++i)
                w.PutRice(residual[i], parameter);
        }
        at = end;
    }
}

void PutSubframe(BitWriter& w, const SubframePlan& plan, const std::vector<int64_t>& samples, unsigned bits) {
    std::vector<int64_t> s(samples.size());
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = samples[i] >> plan.wastedBits;
    bits -= plan.wastedBits;
    unsigned type = plan.kind == SubframeKind::Constant   ? 0
                    : plan.kind == SubframeKind::Verbatim ? 1
                    : plan.kind == SubframeKind::Fixed    ? 8 + plan.order
                                                          : 31 + plan.order;
    w.Put(type << 1 | (plan.wastedBits ? 1 : 0), 8);
    if (plan.wastedBits) {
        w.Put(0, plan.wastedBits - 1);
        w.Put(1, 1);
    }
    // Constant: one value; verbatim: all of them; predictors: their warm-up samples.
    const bool raw = plan.kind == SubframeKind::Constant || plan.kind == SubframeKind::Verbatim;
    const size_t count = plan.kind == SubframeKind::Constant ? 1 : raw ? s.size() : plan.order;
    for (size_t i = 0; i < count; ++i)
        w.PutSigned(s[i], bits);
    if (raw)
        return;
    const int32_t* weights = plan.kind == SubframeKind::Fixed ? kFixedWeights[plan.order] : plan.coefs.data();
    const unsigned shift = plan.kind == SubframeKind::Fixed ? 0 : plan.shift;
    if (plan.kind == SubframeKind::Lpc) {
        w.Put(plan.precision - 1, 4);
        w.PutSigned(plan.shift, 5);
        for (unsigned j = 0; j < plan.order; ++j)
            w.PutSigned(plan.coefs[j], plan.precision);
    }
    std::vector<int64_t> residual(s.size());
    for (size_t i = plan.order; i < s.size(); ++i) {
        int64_t sum = 0;
        for (unsigned j = 0; j < plan.order; ++j)
            sum += int64_t(weights[j]) * s[i - 1 - j];
        residual[i] = s[i] - (sum >> shift);
    }
    PutResidual(w, plan, residual, s.size());
}

unsigned SampleSizeCode(unsigned bits) {
    const unsigned codes[] = {8, 1, 12, 2, 16, 4, 20, 5, 24, 6, 32, 7};
    for (size_t i = 0; i < std::size(codes); i += 2)
        if (codes[i] == bits)
            return codes[i + 1];
    return 0;
}

}  // namespace

std::vector<uint8_t> EncodeFrame(const FramePlan& frame, const std::vector<std::vector<int64_t>>& channels,
                                 const std::vector<SubframePlan>& subframes) {
    const size_t blockSize = channels[0].size();
    BitWriter w;
    w.Put(0x3FFE, 14);
    w.Put(0, 1);
    w.Put(frame.variableBlockSize ? 1 : 0, 1);

    unsigned blockCode = blockSize <= 256 ? 6 : 7;
    if (!frame.explicitBlockSize) {
        if (blockSize == 192)
            blockCode = 1;
        for (unsigned c = 2; c <= 5; ++c)
            if (blockSize == (576u << (c - 2)))
                blockCode = c;
        for (unsigned c = 8; c <= 15; ++c)
            if (blockSize == (256u << (c - 8)))
                blockCode = c;
    }
    w.Put(blockCode, 4);
    w.Put(frame.rateCode, 4);
    w.Put(frame.channelAssignment, 4);
    w.Put(frame.sampleSizeFromStreamInfo ? 0 : SampleSizeCode(frame.bitsPerSample), 3);
    w.Put(0, 1);
    PutCodedNumber(w, frame.number);
    if (blockCode == 6)
        w.Put(blockSize - 1, 8);
    else if (blockCode == 7)
        w.Put(blockSize - 1, 16);
    if (frame.rateCode == 12)
        w.Put(frame.rateValue, 8);
    else if (frame.rateCode >= 13)
        w.Put(frame.rateValue, 16);
    w.Put(BitwiseCrc(w.bytes, 8, 0x07), 8);

    for (size_t c = 0; c < channels.size(); ++c) {
        bool side = (frame.channelAssignment == 8 && c == 1) || (frame.channelAssignment == 9 && c == 0) ||
                    (frame.channelAssignment == 10 && c == 1);
        PutSubframe(w, subframes[c], channels[c], frame.bitsPerSample + (side ? 1 : 0));
    }
    w.used = 8;  // zero bits up to the byte boundary
    w.Put(BitwiseCrc(w.bytes, 16, 0x8005), 16);
    return w.bytes;
}

std::vector<std::vector<int64_t>> Decorrelate(unsigned assignment, const std::vector<int64_t>& left,
                                              const std::vector<int64_t>& right) {
    std::vector<int64_t> a(left.size()), b(left.size());
    for (size_t i = 0; i < left.size(); ++i) {
        int64_t side = left[i] - right[i];
        if (assignment == 8) {
            a[i] = left[i];
            b[i] = side;
        } else if (assignment == 9) {
            a[i] = side;
            b[i] = right[i];
        } else {
            a[i] = (left[i] + right[i]) >> 1;  // the lost bit is the side's lowest bit
            b[i] = side;
        }
    }
    return {a, b};
}

std::vector<uint8_t> EncodeStream(const StreamPlan& plan, const std::vector<std::vector<uint8_t>>& frames) {
    BitWriter w;
    for (char c : {'f', 'L', 'a', 'C'})
        w.Put(uint8_t(c), 8);
    w.Put(1, 1);  // last block
    w.Put(0, 7);
    w.Put(34, 24);
    w.Put(plan.minBlockSize, 16);
    w.Put(plan.maxBlockSize, 16);
    w.Put(0, 24);  // frame sizes unknown
    w.Put(0, 24);
    w.Put(plan.sampleRate, 20);
    w.Put(plan.channels - 1, 3);
    w.Put(plan.bitsPerSample - 1, 5);
    w.Put(plan.totalSamples, 36);
    for (int i = 0; i < 16; ++i)
        w.Put(0, 8);  // no MD5
    for (const auto& f : frames)
        w.bytes.insert(w.bytes.end(), f.begin(), f.end());
    return w.bytes;
}
