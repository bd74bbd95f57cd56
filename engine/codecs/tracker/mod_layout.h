#pragma once
// What a MOD's head says about its layout: the channel tag at 1080, or a plausible
// 15-sample Soundtracker header.
#include <cstddef>
#include <cstdint>

namespace tracker {

struct ModLayout {
    int channels = 0;  // 0: not a MOD
    int samples = 31;
    bool splitEightChannels = false;  // FLT8: patterns stored as two 4-channel halves
};

ModLayout DetectModLayout(const uint8_t* data, size_t size);

}  // namespace tracker
