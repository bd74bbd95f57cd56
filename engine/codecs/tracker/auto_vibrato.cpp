#include "auto_vibrato.h"

#include <algorithm>

#include "lfo.h"

namespace tracker {

namespace {

// FT2's waves on the 256-step cycle, -64..64, in pitch (positive is higher).
int XmWave(VibratoWave wave, int position, uint32_t& random) {
    switch (wave) {
    case VibratoWave::Square: return position < 128 ? 64 : -64;
    case VibratoWave::RampDown: return ((64 - (position >> 1)) & 127) - 64;
    case VibratoWave::RampUp: return (((position >> 1) + 64) & 127) - 64;
    default: return ItLfoValue(wave, position, random);
    }
}

}  // namespace

void AutoVibratoStart(const Sample& sample, AutoVibratoState& state) {
    state.position = 0;
    const int full = sample.vibratoDepth * 256;
    // XM's depth is full at once without a sweep; IT's grows from 0 in any case.
    state.depth = sample.vibratoSweep == 0 ? full : 0;
    state.sweepStep = sample.vibratoSweep == 0 ? 0 : full / sample.vibratoSweep;
}

float AutoVibratoTick(const Sample& sample, AutoVibratoState& state, bool keyOn, ModuleType type) {
    if (sample.vibratoDepth == 0) return 0;
    const int full = sample.vibratoDepth * 256;
    int wave;
    if (type == ModuleType::It) {
        state.depth = sample.vibratoSweep == 0 ? 0 : std::min(full, state.depth + sample.vibratoSweep);
        wave = ItLfoValue(sample.vibratoWave, state.position, state.random);
        state.position = (state.position + sample.vibratoRate) & 255;
    } else {
        if (keyOn) state.depth = std::min(full, state.depth + state.sweepStep);
        state.position = (state.position + sample.vibratoRate) & 255;
        wave = XmWave(sample.vibratoWave, state.position, state.random);
    }
    // The wave (-64..64) times the depth in 1/256 units: at full depth d, +-d 1/64 semitones.
    return float(wave) * float(state.depth) / (64.0f * 256.0f);
}

}  // namespace tracker
