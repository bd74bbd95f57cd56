#pragma once
// The fade-out after a key off (XM, IT) or a note fade (IT): a volume that starts at full
// and loses the instrument's fade-out amount each tick.
//
//   FadeoutState fade;                            // on a new note
//   after key off, each tick: bool sounding = FadeoutTick(instrument.fadeout, fade);
//   volume factor: FadeoutFactor(fade); when `sounding` is false the voice can stop.
//
// When a fade starts is the player's rule (XM: key off with the volume envelope on; a key
// off without it cuts the note); this only counts.
#include <cstdint>

namespace tracker {

constexpr int kFadeoutFull = 32768;  // the unit of Instrument::fadeout

struct FadeoutState {
    bool fading = false;
    int volume = kFadeoutFull;
};

// Starts the fade if it has not started and steps it once; false once silent.
bool FadeoutTick(uint16_t fadeout, FadeoutState& state);

float FadeoutFactor(const FadeoutState& state);

}  // namespace tracker
