// G.711 mu-law and A-law: one byte per sample, a sign, a 3-bit segment and a 4-bit step.
#include "formats/wav_block_codecs.h"

namespace engine {
namespace {

int16_t MuLawToLinear(uint8_t code) {
    const int u = ~code & 0xFF;
    const int magnitude = (((u & 0x0F) << 3) + 0x84) << ((u & 0x70) >> 4);
    return static_cast<int16_t>(u & 0x80 ? 0x84 - magnitude : magnitude - 0x84);
}

int16_t ALawToLinear(uint8_t code) {
    const int a = code ^ 0x55;
    const int segment = (a & 0x70) >> 4;
    int magnitude = (a & 0x0F) << 4;
    if (segment == 0) magnitude += 8;
    else magnitude = (magnitude + 0x108) << (segment - 1);
    return static_cast<int16_t>(a & 0x80 ? magnitude : -magnitude);
}

struct G711Tables {
    int16_t muLaw[256];
    int16_t aLaw[256];
    G711Tables() {
        for (int i = 0; i < 256; ++i) {
            muLaw[i] = MuLawToLinear(static_cast<uint8_t>(i));
            aLaw[i] = ALawToLinear(static_cast<uint8_t>(i));
        }
    }
};

}  // namespace

void DecodeG711(uint16_t tag, const uint8_t* in, size_t samples, int16_t* out) {
    static const G711Tables tables;
    const int16_t* table = tag == kWavTagMuLaw ? tables.muLaw : tables.aLaw;
    for (size_t i = 0; i < samples; ++i) out[i] = table[in[i]];
}

}  // namespace engine
