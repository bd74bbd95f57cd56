#include "playback/volume.h"

void StepVolume(int32_t step, int32_t& volume, int32_t& saved) {
    if (step == 1 && volume <= 95) volume += 5;
    if (step == -1 && volume >= 5) volume -= 5;
    if (step == 2) {
        if (volume == 0) {
            volume = saved;
        } else {
            saved = volume;
            volume = 0;
        }
    }
}

float ChannelVolume(float replayGainFactor, int32_t volume) {
    return replayGainFactor / 100.0f * static_cast<float>(volume);
}
