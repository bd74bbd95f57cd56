#include "fadeout.h"

#include <algorithm>

namespace tracker {

bool FadeoutTick(uint16_t fadeout, FadeoutState& state) {
    state.fading = true;
    state.volume = std::max(0, state.volume - int(fadeout));
    return state.volume > 0;
}

float FadeoutFactor(const FadeoutState& state) {
    return float(state.volume) / kFadeoutFull;
}

}  // namespace tracker
