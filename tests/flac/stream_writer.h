#pragma once
// A small FLAC writer for the tests: it builds streams with exactly the codings a case
// needs (variable block sizes, escape codes, wasted bits, 33-bit side channels...), which
// the flac tool never chooses on its own. The samples it encodes are the expected output.
#include <cstddef>
#include <cstdint>
#include <vector>

enum class SubframeKind { Constant, Verbatim, Fixed, Lpc };

struct SubframePlan {
    SubframeKind kind = SubframeKind::Verbatim;
    unsigned order = 0;                // Fixed: 0-4, Lpc: 1-32
    std::vector<int32_t> coefs{};      // Lpc, newest past sample first
    unsigned precision = 15;           // Lpc coefficient bits
    unsigned shift = 0;                // Lpc
    unsigned wastedBits = 0;           // samples must be multiples of 2^wastedBits
    bool fiveBitParameters = false;    // residual coding method 1
    unsigned partitionOrder = 0;
    bool escapeOddPartitions = false;  // code partitions 1, 3, ... with raw bits
};

struct FramePlan {
    bool variableBlockSize = false;
    uint64_t number = 0;             // frame number, or first sample when variable
    unsigned channelAssignment = 0;  // 0-7 independent, 8-10 stereo decorrelation
    unsigned bitsPerSample = 16;
    bool sampleSizeFromStreamInfo = false;
    unsigned rateCode = 0;           // 0: from STREAMINFO; 12-14 take rateValue
    unsigned rateValue = 0;
    bool explicitBlockSize = false;  // 8- or 16-bit block size even when a table code fits
};

// `channels` are the output channels; assignments 8-10 code left and right as the
// assignment's pair of signals (left/side, side/right, mid/side).
std::vector<uint8_t> EncodeFrame(const FramePlan& frame, const std::vector<std::vector<int64_t>>& channels,
                                 const std::vector<SubframePlan>& subframes);

struct StreamPlan {
    uint32_t minBlockSize = 16, maxBlockSize = 65535, sampleRate = 44100;
    unsigned channels = 2, bitsPerSample = 16;
    uint64_t totalSamples = 0;
};

// "fLaC", a STREAMINFO block and the frames.
std::vector<uint8_t> EncodeStream(const StreamPlan& plan, const std::vector<std::vector<uint8_t>>& frames);

// A plain bitwise CRC (8 bits: 0x07; 16 bits: 0x8005), independent of the decoder's tables.
unsigned BitwiseCrc(const uint8_t* data, size_t size, unsigned width, unsigned polynomial);
