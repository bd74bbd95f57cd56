#include "layer1_writer.h"

#include <algorithm>
#include <cmath>

namespace {

// Most significant bit first.
struct BitWriter {
    std::vector<uint8_t>& out;
    int bit = 0;
    void Put(uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i, bit = (bit + 1) & 7) {
            if (bit == 0) out.push_back(0);
            if ((value >> i) & 1) out.back() |= static_cast<uint8_t>(0x80 >> bit);
        }
    }
};

// Bits per sample by subband: fine at the bottom, coarse higher up, nothing at the top.
int SampleBits(int sb) { return sb < 8 ? 8 : sb < 16 ? 5 : sb < 20 ? 3 : 0; }

double Scale(int index) { return 2.0 * std::exp2(-index / 3.0); }

}  // namespace

std::vector<uint8_t> WriteLayer1(const Layer1Options& o) {
    constexpr int kRates[3] = {44100, 48000, 32000};
    const int channels = o.mode == mpeg::ChannelMode::Mono ? 1 : 2;
    const int bound = o.mode == mpeg::ChannelMode::JointStereo ? 4 * (o.modeExtension + 1) : 32;
    const int frameBytes = 12 * 448000 / kRates[o.rateIndex] * 4;

    std::vector<uint8_t> out;
    for (int frame = 0; frame < o.frames; ++frame) {
        const size_t start = out.size();
        BitWriter w{out};
        w.Put(0xFFFF, 16);  // sync, MPEG-1, layer I, no CRC
        w.Put(static_cast<uint32_t>(14 << 4 | o.rateIndex << 2), 8);  // 448 kbit/s, no padding
        w.Put(static_cast<uint32_t>(static_cast<int>(o.mode) << 6 | o.modeExtension << 4), 8);

        double signal[2][32][12];
        int scale[2][32] = {};
        for (int ch = 0; ch < channels; ++ch)
            for (int sb = 0; sb < 32; ++sb) {
                double peak = 0.0;
                for (int t = 0; t < 12; ++t) {
                    const double n = frame * 12 + t;
                    const double amplitude = 0.6 / (1 + sb) * (0.6 + 0.4 * std::sin(n * 0.01 + ch));
                    signal[ch][sb][t] = amplitude * std::sin(n * 0.37 * (sb + 1) + 1.7 * ch);
                    peak = std::max(peak, std::fabs(signal[ch][sb][t]));
                }
                while (scale[ch][sb] < 62 && Scale(scale[ch][sb] + 1) >= peak) ++scale[ch][sb];
            }
        for (int sb = 0; sb < 32; ++sb)
            for (int ch = 0; ch < (sb < bound ? channels : 1); ++ch)
                w.Put(SampleBits(sb) ? static_cast<uint32_t>(SampleBits(sb) - 1) : 0, 4);
        for (int sb = 0; sb < 32; ++sb)
            for (int ch = 0; ch < channels; ++ch)
                if (SampleBits(sb)) w.Put(static_cast<uint32_t>(scale[ch][sb]), 6);
        for (int t = 0; t < 12; ++t)
            for (int sb = 0; sb < 32; ++sb) {
                const int bits = SampleBits(sb);
                if (bits == 0) continue;
                const int levels = (1 << bits) - 1;
                for (int ch = 0; ch < (sb < bound ? channels : 1); ++ch) {
                    const double fraction = signal[ch][sb][t] / Scale(scale[ch][sb]);
                    w.Put(static_cast<uint32_t>(std::clamp(std::lround((fraction * levels + levels - 1) / 2.0), 0L, long(levels - 1))), bits);
                }
            }
        out.resize(start + static_cast<size_t>(frameBytes), 0);
    }
    return out;
}
