#include "subframe.h"

#include "predict.h"

namespace flac {
namespace {

enum class Kind { Constant, Verbatim, Fixed, Lpc };

struct SubframeHeader {
    Kind kind = Kind::Constant;
    unsigned order = 0;
    unsigned wastedBits = 0;
};

Result ReadSubframeHeader(BitReader& reader, uint32_t blockSize, unsigned bitsPerSample, SubframeHeader& h) {
    uint32_t v = reader.ReadBits(8);
    // Bits past the buffered input read as zeros: more data is due before any verdict.
    if (reader.Overrun())
        return Result::NeedMoreData;
    if (v & 0x80)
        return Result::BadFrame;
    unsigned type = (v >> 1) & 0x3F;
    if (type == 0) {
        h.kind = Kind::Constant;
    } else if (type == 1) {
        h.kind = Kind::Verbatim;
    } else if (type >= 8 && type <= 12) {
        h.kind = Kind::Fixed;
        h.order = type - 8;
    } else if (type >= 32) {
        h.kind = Kind::Lpc;
        h.order = type - 31;
    } else {
        return Result::BadFrame;
    }
    if (v & 1) {
        h.wastedBits = reader.ReadUnary() + 1;
        if (reader.Overrun())
            return Result::NeedMoreData;
        if (h.wastedBits >= bitsPerSample)
            return Result::BadFrame;
    }
    if (h.order > blockSize)
        return Result::BadFrame;
    return reader.Overrun() ? Result::NeedMoreData : Result::Ok;
}

struct LpcParameters {
    int32_t coefs[kMaxLpcOrder];
    unsigned precision = 0;
    unsigned shift = 0;
};

Result ReadLpcParameters(BitReader& reader, unsigned order, LpcParameters& p) {
    p.precision = reader.ReadBits(4) + 1;
    if (p.precision == 16)
        return Result::BadFrame;
    int64_t shift = reader.ReadSigned(5);
    if (shift < 0)
        return Result::BadFrame;  // negative shifts are not allowed
    p.shift = unsigned(shift);
    for (unsigned j = 0; j < order; ++j)
        p.coefs[j] = int32_t(reader.ReadSigned(p.precision));
    return Result::Ok;
}

unsigned BitLength(unsigned v) { return v ? 32 - unsigned(__builtin_clz(v)) : 0; }

}  // namespace

Result DecodeSubframe(BitReader& reader, uint32_t blockSize, unsigned bitsPerSample, int32_t* out) {
    SubframeHeader h;
    Result r = ReadSubframeHeader(reader, blockSize, bitsPerSample, h);
    if (r != Result::Ok)
        return r;
    unsigned bits = bitsPerSample - h.wastedBits;

    switch (h.kind) {
    case Kind::Constant: {
        int32_t value = int32_t(reader.ReadSigned(bits));
        for (uint32_t i = 0; i < blockSize; ++i)
            out[i] = value;
        break;
    }
    case Kind::Verbatim:
        for (uint32_t i = 0; i < blockSize; ++i)
            out[i] = int32_t(reader.ReadSigned(bits));
        break;
    case Kind::Fixed:
        for (unsigned i = 0; i < h.order; ++i)
            out[i] = int32_t(reader.ReadSigned(bits));
        if ((r = DecodeResidual(reader, blockSize, h.order, out)) != Result::Ok)
            return r;
        RestoreFixed(out, blockSize, h.order);
        break;
    case Kind::Lpc: {
        for (unsigned i = 0; i < h.order; ++i)
            out[i] = int32_t(reader.ReadSigned(bits));
        LpcParameters p;
        if ((r = ReadLpcParameters(reader, h.order, p)) != Result::Ok)
            return r;
        if ((r = DecodeResidual(reader, blockSize, h.order, out)) != Result::Ok)
            return r;
        // A 32-bit sum suffices when no product sum can leave it: the bound of
        // libraries that decode bit-exactly.
        bool wide = bits + p.precision + BitLength(h.order) - 1 > 32;
        RestoreLpc(out, blockSize, p.coefs, h.order, p.shift, wide);
        break;
    }
    }
    if (reader.Overrun())
        return Result::NeedMoreData;
    if (h.wastedBits) {
        for (uint32_t i = 0; i < blockSize; ++i)
            out[i] = int32_t(uint32_t(out[i]) << h.wastedBits);
    }
    return Result::Ok;
}

Result DecodeWideSubframe(BitReader& reader, uint32_t blockSize, unsigned bitsPerSample, int64_t* out,
                          int32_t* residual) {
    SubframeHeader h;
    Result r = ReadSubframeHeader(reader, blockSize, bitsPerSample, h);
    if (r != Result::Ok)
        return r;
    unsigned bits = bitsPerSample - h.wastedBits;

    switch (h.kind) {
    case Kind::Constant: {
        int64_t value = reader.ReadSigned(bits);
        for (uint32_t i = 0; i < blockSize; ++i)
            out[i] = value;
        break;
    }
    case Kind::Verbatim:
        for (uint32_t i = 0; i < blockSize; ++i)
            out[i] = reader.ReadSigned(bits);
        break;
    case Kind::Fixed:
    case Kind::Lpc: {
        for (unsigned i = 0; i < h.order; ++i)
            out[i] = reader.ReadSigned(bits);
        LpcParameters p;
        if (h.kind == Kind::Lpc && (r = ReadLpcParameters(reader, h.order, p)) != Result::Ok)
            return r;
        if ((r = DecodeResidual(reader, blockSize, h.order, residual)) != Result::Ok)
            return r;
        if (h.kind == Kind::Fixed)
            RestoreFixedWide(out, residual, blockSize, h.order);
        else
            RestoreLpcWide(out, residual, blockSize, p.coefs, h.order, p.shift);
        break;
    }
    }
    if (reader.Overrun())
        return Result::NeedMoreData;
    if (h.wastedBits) {
        for (uint32_t i = 0; i < blockSize; ++i)
            out[i] = int64_t(uint64_t(out[i]) << h.wastedBits);
    }
    return Result::Ok;
}

}  // namespace flac
