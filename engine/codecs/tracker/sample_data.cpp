#include "sample_data.h"

#include <algorithm>

namespace tracker {
namespace {

constexpr uint64_t kMaxModulePcmFloats = uint64_t(1) << 27;  // 512 MB of floats
// Compressed IT samples expand; real ones about 2 to 3 times, silence more.
constexpr uint64_t kFloatsPerFileByte = 64;
constexpr uint64_t kFloatsAlways = uint64_t(1) << 20;

float Value(const Bytes& in, size_t at, const PcmLayout& layout) {
    if (layout.sixteenBit) {
        const uint16_t raw = layout.bigEndian ? in.U16be(at) : in.U16le(at);
        const int v = layout.isSigned ? static_cast<int16_t>(raw) : static_cast<int>(raw) - 32768;
        return static_cast<float>(v) * (1.0f / 32768.0f);
    }
    const uint8_t raw = in.U8(at);
    const int v = layout.isSigned ? static_cast<int8_t>(raw) : static_cast<int>(raw) - 128;
    return static_cast<float>(v) * (1.0f / 128.0f);
}

// Delta-coded data: the running sum wraps like the tracker's integer arithmetic did.
void ReadDeltaChannel(const Bytes& in, size_t at, uint32_t frames, const PcmLayout& layout, float* out, int stride) {
    if (layout.sixteenBit) {
        int16_t sum = 0;
        for (uint32_t i = 0; i < frames; ++i, at += 2) {
            sum = static_cast<int16_t>(sum + (layout.bigEndian ? in.U16be(at) : in.U16le(at)));
            out[size_t(i) * stride] = static_cast<float>(sum) * (1.0f / 32768.0f);
        }
        return;
    }
    int8_t sum = 0;
    for (uint32_t i = 0; i < frames; ++i, ++at) {
        sum = static_cast<int8_t>(sum + in.U8(at));
        out[size_t(i) * stride] = static_cast<float>(sum) * (1.0f / 128.0f);
    }
}

}  // namespace

PcmBudget::PcmBudget(size_t fileBytes)
    : floatsLeft(std::min(kMaxModulePcmFloats, kFloatsAlways + uint64_t(fileBytes) * kFloatsPerFileByte)) {}

uint32_t PcmBudget::Take(uint64_t frames, int channels) {
    const uint64_t allowed = std::min<uint64_t>(frames, floatsLeft / uint64_t(channels));
    floatsLeft -= allowed * uint64_t(channels);
    return static_cast<uint32_t>(std::min<uint64_t>(allowed, UINT32_MAX));
}

uint64_t ReadPcm(const Bytes& in, size_t offset, uint32_t frames, const PcmLayout& layout, PcmBudget& budget,
                 Sample& sample) {
    const int channels = layout.stereo ? 2 : 1;
    const size_t bytesPerValue = layout.sixteenBit ? 2 : 1;
    const uint64_t fullBytes = uint64_t(frames) * bytesPerValue * channels;
    const uint64_t present = in.Left(offset) / (bytesPerValue * channels);
    const uint32_t wanted = static_cast<uint32_t>(std::min<uint64_t>(frames, present));
    const uint32_t got = budget.Take(wanted, channels);
    sample.channels = channels;
    sample.frames = got;
    sample.pcm.assign(size_t(got) * channels, 0.0f);
    if (got == 0) return fullBytes;
    // A stereo sample's right channel starts after the left one's stored frames.
    const uint64_t channelBytes = uint64_t(frames) * bytesPerValue;
    for (int c = 0; c < channels; ++c) {
        const size_t start = offset + (c == 0 ? 0 : static_cast<size_t>(std::min<uint64_t>(channelBytes, in.Left(offset))));
        float* out = sample.pcm.data() + c;
        if (layout.delta) {
            ReadDeltaChannel(in, start, got, layout, out, channels);
            continue;
        }
        for (uint32_t i = 0; i < got; ++i) out[size_t(i) * channels] = Value(in, start + i * bytesPerValue, layout);
    }
    return fullBytes;
}

void FitLoop(Loop& loop, uint32_t frames) {
    loop.end = std::min(loop.end, frames);
    if (loop.type == LoopType::None || loop.start >= loop.end) loop = Loop{};
}

void DropTrailingEnds(std::vector<uint16_t>& orders) {
    while (!orders.empty() && orders.back() == kOrderEnd) orders.pop_back();
}

}  // namespace tracker
