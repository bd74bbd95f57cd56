// Layer I: 12 samples per subband, one scalefactor each.
#include <cmath>
#include <cstring>

#include "bit_reader.h"
#include "layers.h"

namespace mpeg {

float LayerScale(int index) {
    static const struct Scales {
        float values[64];
        Scales() {
            for (int i = 0; i < 64; ++i) values[i] = static_cast<float>(2.0 * std::exp2(-i / 3.0));
        }
    } scales;
    return scales.values[index & 63];
}

bool DecodeLayer1(const FrameHeader& header, const uint8_t* frame, int frameBytes,
                  SynthesisState* synthesis, float* pcm) {
    BitReader bits(frame + HeaderBytes(header), frameBytes - HeaderBytes(header));
    const int channels = header.channels;
    const int bound = JointBound(header, 32);
    bool valid = true;

    int allocation[2][32] = {};
    for (int sb = 0; sb < 32; ++sb) {
        for (int ch = 0; ch < channels; ++ch) {
            if (sb >= bound && ch == 1) {
                allocation[1][sb] = allocation[0][sb];
                continue;
            }
            allocation[ch][sb] = static_cast<int>(bits.Read(4));
            if (allocation[ch][sb] == 15) {
                allocation[ch][sb] = 0;
                valid = false;
            }
        }
    }
    float scale[2][32] = {};
    for (int sb = 0; sb < 32; ++sb)
        for (int ch = 0; ch < channels; ++ch)
            if (allocation[ch][sb] != 0) scale[ch][sb] = LayerScale(static_cast<int>(bits.Read(6)));

    Requantizer requantizers[16];
    for (int nb = 2; nb <= 15; ++nb) requantizers[nb] = Requantizer((1 << nb) - 1);
    // By channel, subband and slot: the slots of a subband side by side, as synthesis reads them.
    float subbands[2][32][12];
    for (int slot = 0; slot < 12; ++slot) {
        for (int sb = 0; sb < 32; ++sb) {
            const int coded = sb < bound ? channels : 1;
            for (int ch = 0; ch < coded; ++ch) {
                const int nb = allocation[ch][sb] + 1;
                const float fraction =
                    nb == 1 ? 0.0f : requantizers[nb](bits.Read(nb));
                subbands[ch][sb][slot] = fraction * scale[ch][sb];
                if (coded == 1 && channels == 2) subbands[1][sb][slot] = fraction * scale[1][sb];
            }
        }
    }
    const float* const slots[2] = {subbands[0][0], subbands[1][0]};
    SynthesizeSlots(synthesis, channels, slots, 12, 12, pcm);
    return valid && !bits.Overrun();
}

}  // namespace mpeg
