#pragma once
// What layer III carries from one frame to the next: the bit reservoir (main data of past
// frames that later frames may start in) and the second half of each subband's transform.
#include <cstdint>

namespace mpeg {

struct Layer3State {
    // Main data of past frames, newest last. Frames reach back at most 511 bytes.
    uint8_t reservoir[1024];
    int reservoirBytes = 0;
    float overlap[2][32][18];
};

void ResetLayer3(Layer3State& state);

}  // namespace mpeg
