#include "auto_vibrato.h"

#include <algorithm>

#include "lfo.h"

namespace tracker {

void AutoVibratoStart(const Sample& sample, AutoVibratoState& state) {
    state.position = 0;
    const int full = sample.vibratoDepth * 256;
    state.depth = sample.vibratoSweep == 0 ? full : 0;
    state.sweepStep = sample.vibratoSweep == 0 ? 0 : full / sample.vibratoSweep;
}

float AutoVibratoTick(const Sample& sample, AutoVibratoState& state, bool keyOn, ModuleType type) {
    if (sample.vibratoDepth == 0) return 0;
    const int full = sample.vibratoDepth * 256;
    int wave;
    if (type == ModuleType::It) {
        state.depth = std::min(full, state.depth + sample.vibratoSweep);
        wave = ItLfoValue(sample.vibratoWave, state.position, state.random);
        state.position = (state.position + sample.vibratoRate) & 255;
    } else {
        if (keyOn) state.depth = std::min(full, state.depth + state.sweepStep);
        state.position = (state.position + sample.vibratoRate) & 255;
        wave = sample.vibratoWave == VibratoWave::Square ? (state.position < 128 ? 64 : -64)
                                                          : ItLfoValue(sample.vibratoWave, state.position, state.random);
    }
    // The wave (-64..64) times the depth in 1/256 units: at full depth d, +-d 1/64 semitones.
    return float(wave) * float(state.depth) / (64.0f * 256.0f);
}

}  // namespace tracker
