#include "lfo.h"

#include <cmath>

namespace tracker {

const uint8_t kModHalfSine[32] = {0,   24,  49,  74,  97,  120, 141, 161, 180, 197, 212,
                                  224, 235, 244, 250, 253, 255, 253, 250, 244, 235, 224,
                                  212, 197, 180, 161, 141, 120, 97,  74,  49,  24};

namespace {

struct FineSine {
    int8_t values[256];
    FineSine() {
        for (int i = 0; i < 256; ++i) values[i] = int8_t(std::lround(64 * std::sin(2 * 3.14159265358979323846 * i / 256)));
    }
};

// A plain linear congruential step: the trackers' random waveforms are no better.
int NextRandom(uint32_t& random, int range) {
    random = random * 1103515245u + 12345u;
    return int((random >> 16) % uint32_t(2 * range + 1)) - range;
}

}  // namespace

int ItFineSine(int position) {
    static const FineSine table;
    return table.values[position & 255];
}

int ModLfoValue(VibratoWave wave, int position, uint32_t& random) {
    position &= 63;
    const bool firstHalf = position < 32;
    switch (wave) {
    case VibratoWave::Sine: return firstHalf ? kModHalfSine[position] : -kModHalfSine[position - 32];
    // The ramp rises through the cycle, which on a period means the pitch falls.
    case VibratoWave::RampDown: return firstHalf ? position * 8 : -255 + (position - 32) * 8;
    case VibratoWave::RampUp: return firstHalf ? -position * 8 : 255 - (position - 32) * 8;
    case VibratoWave::Square: return firstHalf ? 255 : -255;
    case VibratoWave::Random: return NextRandom(random, 255);
    }
    return 0;
}

int ItLfoValue(VibratoWave wave, int position, uint32_t& random) {
    position &= 255;
    switch (wave) {
    case VibratoWave::Sine: return ItFineSine(position);
    case VibratoWave::RampDown: return 64 - (position >> 1);
    case VibratoWave::RampUp: return (position >> 1) - 64;
    case VibratoWave::Square: return position < 128 ? 64 : 0;
    case VibratoWave::Random: return NextRandom(random, 64);
    }
    return 0;
}

}  // namespace tracker
