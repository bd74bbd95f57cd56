#include "stream_writer.h"

#include <algorithm>

namespace {

// Most significant bit first.
struct BitWriter {
    std::vector<uint8_t> bytes;
    unsigned used = 8;  // bits taken in the last byte
    void Put(uint64_t value, unsigned bits) {
        while (bits-- > 0) {
            if (used == 8) bytes.push_back(0), used = 0;
            const uint64_t bit = bits < 64 ? (value >> bits) & 1 : 0;  // long unary runs
            bytes.back() |= uint8_t(bit << (7 - used++));
        }
    }
    void PutRice(int64_t value, unsigned parameter) {
        const uint64_t folded = value < 0 ? (uint64_t(-(value + 1)) << 1) | 1 : uint64_t(value) << 1;
        Put(1, unsigned(folded >> parameter) + 1);  // the quotient in unary
        Put(folded, parameter);
    }
};

void PutCodedNumber(BitWriter& w, uint64_t v) {
    if (v < 0x80) return w.Put(v, 8);
    int bytes = 2;
    while (bytes < 7 && v >= (uint64_t(1) << (5 * bytes + 1))) ++bytes;
    w.Put(((0xFF00u >> bytes) & 0xFF) | (v >> (6 * (bytes - 1))), 8);  // `bytes` one bits, a zero, the top bits
    for (int i = bytes - 2; i >= 0; --i) w.Put(0x80 | ((v >> (6 * i)) & 0x3F), 8);
}

// The fixed predictors are LPC with these weights and no shift.
const int32_t kFixedWeights[5][4] = {{}, {1}, {2, -1}, {3, -3, 1}, {4, -6, 4, -1}};

unsigned SignedBitsNeeded(int64_t v) {
    unsigned bits = 1;
    while (v < -(int64_t(1) << (bits - 1)) || v >= (int64_t(1) << (bits - 1))) ++bits;
    return bits;
}

void PutResidual(BitWriter& w, const SubframePlan& plan, const std::vector<int64_t>& residual) {
    w.Put((plan.fiveBitParameters ? 1 : 0) << 4 | plan.partitionOrder, 6);  // coding method, partition order
    const unsigned parameterBits = plan.fiveBitParameters ? 5 : 4;
    const size_t partitionSize = residual.size() >> plan.partitionOrder;
    for (size_t p = 0, at = plan.order; p < (size_t(1) << plan.partitionOrder); ++p, at = p * partitionSize) {
        const size_t end = (p + 1) * partitionSize;
        if (plan.escapeOddPartitions && p % 2 == 1) {
            unsigned bits = 0;
            for (size_t i = at; i < end; ++i) bits = std::max(bits, residual[i] ? SignedBitsNeeded(residual[i]) : 0u);
            w.Put((1u << parameterBits) - 1, parameterBits);
            w.Put(bits, 5);
            for (size_t i = at; i < end; ++i) w.Put(uint64_t(residual[i]), bits);
            continue;
        }
        // The parameter that suits the partition's mean magnitude.
        uint64_t sum = 0;
        for (size_t i = at; i < end; ++i) sum += uint64_t(residual[i] < 0 ? -residual[i] : residual[i]);
        const uint64_t mean = end > at ? sum / (end - at) : 0;
        unsigned parameter = 0;
        while ((uint64_t(1) << parameter) < mean && parameter < (1u << parameterBits) - 2) ++parameter;
        w.Put(parameter, parameterBits);
        for (size_t i = at; i < end; ++i) w.PutRice(residual[i], parameter);
    }
}

void PutSubframe(BitWriter& w, const SubframePlan& plan, const std::vector<int64_t>& samples, unsigned bits) {
    std::vector<int64_t> s(samples.size());
    for (size_t i = 0; i < s.size(); ++i) s[i] = samples[i] >> plan.wastedBits;
    bits -= plan.wastedBits;
    const unsigned type = plan.kind == SubframeKind::Constant   ? 0
                          : plan.kind == SubframeKind::Verbatim ? 1
                          : plan.kind == SubframeKind::Fixed    ? 8 + plan.order
                                                                : 31 + plan.order;
    w.Put(type << 1 | (plan.wastedBits ? 1 : 0), 8);
    if (plan.wastedBits) w.Put(1, plan.wastedBits);  // in unary: wastedBits - 1 zeros, a one
    // Constant: one value; verbatim: all of them; predictors: their warm-up samples.
    const bool raw = plan.kind == SubframeKind::Constant || plan.kind == SubframeKind::Verbatim;
    const size_t count = plan.kind == SubframeKind::Constant ? 1 : raw ? s.size() : plan.order;
    for (size_t i = 0; i < count; ++i) w.Put(uint64_t(s[i]), bits);
    if (raw) return;
    const bool lpc = plan.kind == SubframeKind::Lpc;
    const int32_t* weights = lpc ? plan.coefs.data() : kFixedWeights[plan.order];
    if (lpc) {
        w.Put((plan.precision - 1) << 5 | plan.shift, 9);
        for (unsigned j = 0; j < plan.order; ++j) w.Put(uint64_t(plan.coefs[j]), plan.precision);
    }
    std::vector<int64_t> residual(s.size());
    for (size_t i = plan.order; i < s.size(); ++i) {
        int64_t sum = 0;
        for (unsigned j = 0; j < plan.order; ++j) sum += int64_t(weights[j]) * s[i - 1 - j];
        residual[i] = s[i] - (sum >> (lpc ? plan.shift : 0));
    }
    PutResidual(w, plan, residual);
}

}  // namespace

unsigned BitwiseCrc(const uint8_t* data, size_t size, unsigned width, unsigned polynomial) {
    const unsigned top = 1u << (width - 1), mask = (1u << width) - 1;
    unsigned crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc ^= unsigned(data[i]) << (width - 8);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & top) ? ((crc << 1) ^ polynomial) & mask : (crc << 1) & mask;
    }
    return crc;
}

std::vector<uint8_t> EncodeFrame(const FramePlan& frame, const std::vector<std::vector<int64_t>>& channels,
                                 const std::vector<SubframePlan>& subframes) {
    const size_t blockSize = channels[0].size();
    BitWriter w;
    w.Put(0x3FFE << 2 | (frame.variableBlockSize ? 1 : 0), 16);
    unsigned blockCode = blockSize <= 256 ? 6 : 7;
    for (unsigned c = 1; c <= 15 && !frame.explicitBlockSize; ++c)
        if (blockSize == (c == 1 ? 192u : c <= 5 ? 576u << (c - 2) : c >= 8 ? 256u << (c - 8) : 0)) blockCode = c;
    w.Put(blockCode << 8 | frame.rateCode << 4 | frame.channelAssignment, 12);
    const unsigned bits = frame.bitsPerSample;  // other widths: from STREAMINFO
    const unsigned sizeCode = bits == 8 ? 1 : bits == 12 ? 2 : bits == 16 ? 4 : bits == 20 ? 5
                              : bits == 24 ? 6 : bits == 32 ? 7 : 0;
    w.Put((frame.sampleSizeFromStreamInfo ? 0 : sizeCode) << 1, 4);  // and a reserved zero bit
    PutCodedNumber(w, frame.number);
    if (blockCode >= 6 && blockCode <= 7) w.Put(blockSize - 1, blockCode == 6 ? 8 : 16);
    if (frame.rateCode >= 12) w.Put(frame.rateValue, frame.rateCode == 12 ? 8 : 16);
    w.Put(BitwiseCrc(w.bytes.data(), w.bytes.size(), 8, 0x07), 8);

    // Stereo decorrelation: left/side (8), side/right (9) or mid/side (10); the side takes a bit more.
    const unsigned a = frame.channelAssignment;
    for (size_t c = 0; c < channels.size(); ++c) {
        std::vector<int64_t> coded = channels[c];
        const bool side = a >= 8 && (c == 1) != (a == 9);
        for (size_t i = 0; i < blockSize && a >= 8; ++i) {
            const int64_t left = channels[0][i], right = channels[1][i];
            coded[i] = side ? left - right : a == 10 ? (left + right) >> 1 : coded[i];  // mid loses the side's low bit
        }
        PutSubframe(w, subframes[c], coded, frame.bitsPerSample + (side ? 1 : 0));
    }
    w.used = 8;  // zero bits up to the byte boundary
    w.Put(BitwiseCrc(w.bytes.data(), w.bytes.size(), 16, 0x8005), 16);
    return w.bytes;
}

std::vector<uint8_t> EncodeStream(const StreamPlan& plan, const std::vector<std::vector<uint8_t>>& frames) {
    BitWriter w;
    w.Put(0x664C6143, 32);  // "fLaC"
    w.Put(0x80000022, 32);  // the last metadata block, STREAMINFO, 34 bytes
    w.Put(uint64_t(plan.minBlockSize) << 16 | plan.maxBlockSize, 32);
    w.Put(0, 48);  // frame sizes unknown
    w.Put(uint64_t(plan.sampleRate) << 8 | (plan.channels - 1) << 5 | (plan.bitsPerSample - 1), 28);
    w.Put(plan.totalSamples, 36);
    w.Put(0, 128);  // no MD5
    for (const auto& f : frames) w.bytes.insert(w.bytes.end(), f.begin(), f.end());
    return w.bytes;
}
