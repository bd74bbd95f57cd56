#pragma once
// The player's state: one Channel per pattern column (what the effects change), the voices
// that sound (a channel's current note and, in IT, notes left playing in the background),
// and the song position. Plain data; the sequencer and effect files change it tick by tick.
#include <cstdint>
#include <vector>

#include "tracker/module.h"
#include "tracker/player.h"
#include "auto_vibrato.h"
#include "envelope.h"
#include "voice_mixer.h"

namespace tracker {

constexpr int kMaxVoices = 256;

// A sounding note. The channel's current note copies the channel's values into it every
// tick; once pushed to the background (IT new note actions) it keeps the last ones.
struct PlayingVoice {
    Voice mix;
    int channel = -1;          // the channel that started it
    bool background = false;
    const Instrument* instrument = nullptr;
    uint8_t note = 0;          // as written (for duplicate checks)
    int sampleIndex = 0;       // 1-based
    bool keyOn = true;         // false after note off (sustain released)
    bool fading = false;
    int fadeVolume = 65536;    // 0..65536
    EnvelopeState volumeCursor, panCursor, pitchCursor;
    bool volumeEnvelopeOn = true, panEnvelopeOn = true, pitchEnvelopeOn = true;
    AutoVibratoState autoVibrato;
    // Values last taken from the channel (kept when in the background).
    int volume = 64;           // 0..64 note volume incl. tremolo
    int channelVolume = 64;    // 0..64
    int pan = 128;             // 0..256
    bool surround = false;     // centred, the right side inverted
    int period = 0;            // incl. vibrato and arpeggio; 0: no pitch
    int cutoff = -1, resonance = -1;
    int randomVolumeFactor = 256;  // /256, from the instrument's random variation
    uint64_t startTick = 0;    // for stealing the oldest
};

struct Channel {
    int voice = -1;            // index into SongState::voices, -1 none
    Cell cell;                 // this row's cell
    uint8_t note = 0;          // last note played (1..120)
    uint8_t instrument = 0;    // last instrument number (1-based)
    int sampleIndex = 0;       // 1-based sample in use, 0 none
    const Sample* sample = nullptr;
    const Instrument* instr = nullptr;
    int period = 0;            // base period (see periods.h), 0: none
    int portaTarget = 0;
    int volume = 0;            // 0..64
    int pan = 128;             // 0..256
    bool surround = false;
    int channelVolume = 64;    // IT 0..64
    bool muted = false;

    // Effect memories.
    uint8_t memPortaUp = 0, memPortaDown = 0, memTonePorta = 0;
    uint8_t memFinePortaUp = 0, memFinePortaDown = 0, memExtraFineUp = 0, memExtraFineDown = 0;
    uint8_t memVolumeSlide = 0, memFineVolUp = 0, memFineVolDown = 0;
    uint8_t memOffset = 0, memRetrigger = 0, memTremor = 0, memArpeggio = 0;
    uint8_t memPanSlide = 0, memGlobalVolumeSlide = 0, memChannelVolumeSlide = 0;
    uint8_t memS3m = 0;        // ST3 keeps one memory for most effects
    uint8_t memVolumeColumnSlide = 0;
    uint8_t memTempoSlide = 0;
    uint8_t memPanbrello = 0;
    int offsetHigh = 0;        // IT SAx

    // Oscillators.
    int vibratoSpeed = 0, vibratoDepth = 0, vibratoPosition = 0, vibratoWave = 0;
    int tremoloSpeed = 0, tremoloDepth = 0, tremoloPosition = 0, tremoloWave = 0;
    int panbrelloSpeed = 0, panbrelloDepth = 0, panbrelloPosition = 0, panbrelloWave = 0;
    bool vibratoRetrig = true, tremoloRetrig = true;

    // What the effects add this tick.
    int periodDelta = 0;       // vibrato
    int arpeggioNotes = 0;     // semitones added by arpeggio
    int volumeDelta = 0;       // tremolo
    int panDelta = 0;          // panbrello
    bool tremorMute = false;

    int tremorCounter = 0;
    bool tremorOn = true;
    int retriggerCounter = 0;
    int noteDelayTick = -1;    // tick of a delayed note, -1 none
    int noteCutTick = -1;
    bool glissando = false;
    int loopRow = 0, loopCount = 0;
    int8_t newNoteActionOverride = -1;  // S73..S76
    int cutoff = -1, resonance = -1;    // IT filter as set by the instrument or Zxx
    bool keyOff = false;
};

struct SongState {
    const Module* module = nullptr;
    RenderSettings settings;
    std::vector<Channel> channels;
    std::vector<PlayingVoice> voices;  // kMaxVoices
    int voicesUsed = 0;                // voices past this one have never played

    // Position.
    int order = 0, row = 0;
    int tick = 0;              // tick within the row (incl. pattern delay repeats)
    int rowTicks = 0;          // ticks of this row: speed * (1 + delay) + fine delay
    int speed = 6, tempo = 125, globalVolume = 64;
    int patternDelay = 0, fineDelay = 0;
    bool rowDelayStarted = false;
    // Where the next row comes from.
    int breakRow = -1;         // pattern break target (-1: none)
    int jumpOrder = -1;        // position jump target
    int loopTargetRow = -1;    // pattern loop jump in this pattern
    int xmBreakPos = 0;        // FT2 keeps the break row, pattern loops move it
    bool xmBreakFlag = false;
    bool xmJumpFlag = false;
    bool ended = false;
    bool timingOnly = false;   // the song's length: no voices need their values
    uint64_t tickCount = 0;
    uint32_t randomSeed = 0x12345678;

    // Frames of the tick being played.
    uint64_t tickFramesLeft = 0;
    uint64_t framePosition = 0;

    // Rows visited this pass, per order (bit per row).
    std::vector<uint32_t> visitedOffset;
    std::vector<bool> visited;
};

}  // namespace tracker
