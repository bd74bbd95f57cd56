#include "layer3_tables.h"

namespace mpeg {
namespace {

// Band widths in lines, long bands then short bands.
struct BandWidths {
    uint8_t longWidths[22];
    uint8_t shortWidths[13];
};

constexpr BandWidths kWidths[9] = {
    // 44100
    {{4, 4, 4, 4, 4, 4, 6, 6, 8, 8, 10, 12, 16, 20, 24, 28, 34, 42, 50, 54, 76, 158},
     {4, 4, 4, 4, 6, 8, 10, 12, 14, 18, 22, 30, 56}},
    // 48000
    {{4, 4, 4, 4, 4, 4, 6, 6, 6, 8, 10, 12, 16, 18, 22, 28, 34, 40, 46, 54, 54, 192},
     {4, 4, 4, 4, 6, 6, 10, 12, 14, 16, 20, 26, 66}},
    // 32000
    {{4, 4, 4, 4, 4, 4, 6, 6, 8, 10, 12, 16, 20, 24, 30, 38, 46, 56, 68, 84, 102, 26},
     {4, 4, 4, 4, 6, 8, 12, 16, 20, 26, 34, 42, 12}},
    // 22050
    {{6, 6, 6, 6, 6, 6, 8, 10, 12, 14, 16, 20, 24, 28, 32, 38, 46, 52, 60, 68, 58, 54},
     {4, 4, 4, 6, 6, 8, 10, 14, 18, 26, 32, 42, 18}},
    // 24000
    {{6, 6, 6, 6, 6, 6, 8, 10, 12, 14, 16, 18, 22, 26, 32, 38, 46, 54, 62, 70, 76, 36},
     {4, 4, 4, 6, 8, 10, 12, 14, 18, 24, 32, 44, 12}},
    // 16000
    {{6, 6, 6, 6, 6, 6, 8, 10, 12, 14, 16, 20, 24, 28, 32, 38, 46, 52, 60, 68, 58, 54},
     {4, 4, 4, 6, 8, 10, 12, 14, 18, 24, 30, 40, 18}},
    // 11025
    {{6, 6, 6, 6, 6, 6, 8, 10, 12, 14, 16, 20, 24, 28, 32, 38, 46, 52, 60, 68, 58, 54},
     {4, 4, 4, 6, 8, 10, 12, 14, 18, 24, 30, 40, 18}},
    // 12000
    {{6, 6, 6, 6, 6, 6, 8, 10, 12, 14, 16, 20, 24, 28, 32, 38, 46, 52, 60, 68, 58, 54},
     {4, 4, 4, 6, 8, 10, 12, 14, 18, 24, 30, 40, 18}},
    // 8000
    {{12, 12, 12, 12, 12, 12, 16, 20, 24, 28, 32, 40, 48, 56, 64, 76, 90, 2, 2, 2, 2, 2},
     {8, 8, 8, 12, 16, 20, 24, 28, 36, 2, 2, 2, 26}},
};

struct Layouts {
    BandLayout layouts[9];
    Layouts() {
        for (int r = 0; r < 9; ++r) {
            int line = 0;
            for (int b = 0; b < 22; ++b) {
                layouts[r].longStart[b] = static_cast<int16_t>(line);
                line += kWidths[r].longWidths[b];
            }
            layouts[r].longStart[22] = static_cast<int16_t>(line);
            line = 0;
            for (int b = 0; b < 13; ++b) {
                layouts[r].shortStart[b] = static_cast<int16_t>(line);
                line += kWidths[r].shortWidths[b];
            }
            layouts[r].shortStart[13] = static_cast<int16_t>(line);
        }
    }
};

}  // namespace

const uint8_t kPretab[22] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 3, 3, 3, 2, 0};

const BandLayout& BandLayoutFor(const FrameHeader& header) {
    static const Layouts all;
    int index = 0;
    switch (header.sampleRate) {
    case 44100: index = 0; break;
    case 48000: index = 1; break;
    case 32000: index = 2; break;
    case 22050: index = 3; break;
    case 24000: index = 4; break;
    case 16000: index = 5; break;
    case 11025: index = 6; break;
    case 12000: index = 7; break;
    default: index = 8; break;
    }
    return all.layouts[index];
}

}  // namespace mpeg
