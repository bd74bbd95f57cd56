#pragma once
// Turning a format's stored sample bytes into the module's float PCM, and keeping loops
// inside their sample.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bytes.h"
#include "tracker/module.h"

namespace tracker {

struct PcmLayout {
    bool sixteenBit = false;
    bool isSigned = true;
    bool delta = false;       // each value adds to the previous one (XM, IT's delta flag)
    bool bigEndian = false;
    bool stereo = false;      // the left channel's frames, then the right channel's
};

// No module needs more PCM than this in all (floats); with the bytes a file holds it also
// caps what samples sharing one block of data, or compressed ones, can ask for.
struct PcmBudget {
    uint64_t floatsLeft = 0;
    explicit PcmBudget(size_t fileBytes);
    // The frames of `frames` wanted that the budget still allows, taken from it.
    uint32_t Take(uint64_t frames, int channels);
};

// Reads up to `frames` frames at `offset` (fewer when the file ends first) into `sample`
// (pcm, frames, channels). Returns the bytes the full sample occupies in the file, so
// the caller can step over it even when it was cut.
uint64_t ReadPcm(const Bytes& in, size_t offset, uint32_t frames, const PcmLayout& layout, PcmBudget& budget,
                 Sample& sample);

// Cuts a loop at the sample's end; a loop that is empty then (or was backwards) is dropped.
void FitLoop(Loop& loop, uint32_t frames);

// "---" entries at the end of an order list say nothing the list's end does not.
void DropTrailingEnds(std::vector<uint16_t>& orders);

}  // namespace tracker
