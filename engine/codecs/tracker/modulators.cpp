#include "modulators.h"

#include <cmath>

namespace tracker {

int LfoValue(int wave, int position, uint32_t& randomSeed) {
    position &= 255;
    switch (wave & 3) {
    case 0:
        return static_cast<int>(std::lround(255.0 * std::sin(position * 6.283185307179586 / 256.0)));
    case 1:  // falls from top to bottom over the cycle
        return 255 - position * 2;
    case 2:
        return position < 128 ? 255 : -255;
    default:
        randomSeed = randomSeed * 1103515245u + 12345u;
        return static_cast<int>((randomSeed >> 16) % 511) - 255;
    }
}

}  // namespace tracker
