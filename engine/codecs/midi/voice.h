#pragma once
// One sounding region of one note.
#include <cstdint>

#include "envelope.h"
#include "midi/bank.h"

namespace midi {

struct Voice {
    bool active = false;
    int channel = 0, key = 0, velocity = 0;
    const Region* region = nullptr;
    uint64_t order = 0;       // larger: started later
    bool keyDown = false;     // no note-off yet
    bool sustained = false;   // note-off came while the pedal was down
    double position = 0;      // in the pool
    double baseCents = 0;     // pitch against the sample played at its own rate
    float velocityGain = 0;
    Envelope volEnv;          // the region's, with hold and decay scaled for the key
    EnvelopeState volume, modulation;
    float age = 0;            // seconds since the note started
    float vibPhase = 0, modPhase = 0;
    float lastGain = 0;       // gain at the end of the previous block
    float envelopeGain = 0;   // the volume envelope's part of it
    bool rendered = false;    // a block has been rendered
    bool releaseAfterFirstBlock = false;  // a note-off at the note-on's own time
    float filterX1 = 0, filterX2 = 0, filterY1 = 0, filterY2 = 0;  // the filter's last inputs and outputs
    double lastCents = 1e9, step = 1;  // the pitch of the last block and its step
    float lastCutoff = -1;             // the filter of the last block
    bool filterOn = false;
    float b1 = 0, a1 = 0, a2 = 0;
    float pan = 0, panL = 0, panR = 0;  // gains for the last pan position
    bool panSet = false;
};

}  // namespace midi
