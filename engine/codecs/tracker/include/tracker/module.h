#pragma once
// A tracker module in memory, the same shape for MOD, S3M, XM and IT. Loaders turn each
// format's bytes into this; the player reads it and never changes it. Effects keep their
// format's parameter bytes; where formats number or mean them differently the player
// decides by `Module::type` and the flags below.
#include <cstdint>
#include <string>
#include <vector>

namespace tracker {

enum class ModuleType { Mod, S3m, Xm, It };

// Notes: 1 = C-0 .. 120 = B-9 (C-5, the note a sample's c5Speed names, is 61).
constexpr uint8_t kNoteNone = 0;
constexpr uint8_t kNoteMax = 120;
constexpr uint8_t kNoteFade = 253;  // IT "~~~"
constexpr uint8_t kNoteCut = 254;   // S3M/IT "^^^"
constexpr uint8_t kNoteOff = 255;   // XM/IT "===" (key off)
constexpr uint8_t kMiddleC = 61;

// Effect column commands. The letter in the comment is the format's own name.
enum class Effect : uint8_t {
    None,
    Arpeggio,           // MOD/XM 0xy, S3M/IT Jxy
    PortaUp,            // MOD/XM 1xx, S3M/IT Fxx (FFx/FEx fine/extra fine there)
    PortaDown,          // MOD/XM 2xx, S3M/IT Exx
    TonePorta,          // MOD/XM 3xx, S3M/IT Gxx
    Vibrato,            // MOD/XM 4xy, S3M/IT Hxy
    TonePortaVolSlide,  // MOD/XM 5xy, S3M/IT Lxy
    VibratoVolSlide,    // MOD/XM 6xy, S3M/IT Kxy
    Tremolo,            // MOD/XM 7xy, S3M/IT Rxy
    SetPan,             // MOD/XM 8xx (0..255), S3M/IT Xxx (IT 0..255; S3M 0..128, 0xA4 surround)
    SampleOffset,       // MOD/XM 9xx, S3M/IT Oxx
    VolumeSlide,        // MOD/XM Axy, S3M/IT Dxy (DxF/DFx fine there)
    PositionJump,       // MOD/XM Bxx, S3M/IT Bxx
    SetVolume,          // MOD/XM Cxx
    PatternBreak,       // MOD/XM Dxx (param as stored: decimal digits in hex), S3M/IT Cxx (loaders store the row number)
    ModExtended,        // MOD/XM Exy (x: sub-command as in MOD)
    SpeedOrTempo,       // MOD/XM Fxx (< 0x20 speed, else tempo)
    SetSpeed,           // S3M/IT Axx
    SetTempo,           // S3M/IT Txx (IT T0x/T1x slide)
    S3mExtended,        // S3M/IT Sxy (x: sub-command as in S3M)
    GlobalVolume,       // XM Gxx (0..64), S3M Vxx (0..64), IT Vxx (0..128)
    GlobalVolumeSlide,  // XM Hxy, IT Wxy
    KeyOff,             // XM Kxx
    SetEnvelopePosition,// XM Lxx
    PanSlide,           // XM Pxy, IT Pxy
    Retrigger,          // XM Rxy, S3M/IT Qxy
    Tremor,             // XM Txy, S3M/IT Ixy
    ExtraFinePorta,     // XM X1x (up) / X2x (down): param as stored
    FineVibrato,        // S3M/IT Uxy
    ChannelVolume,      // IT Mxx
    ChannelVolumeSlide, // IT Nxy
    Panbrello,          // IT Yxy
    MidiMacro,          // IT Zxx (filter cutoff/resonance through the default macros)
};

// Volume column commands (XM and IT; S3M and MOD use only Volume).
enum class VolumeCommand : uint8_t {
    None,
    Volume,         // 0..64
    Panning,        // 0..64 (XM's 0..15 scaled to it)
    VolumeSlideUp,  // XM +x, IT d x0
    VolumeSlideDown,
    FineVolumeUp,
    FineVolumeDown,
    VibratoSpeed,   // XM Sx
    VibratoDepth,   // XM Vx, IT hx
    PanSlideLeft,   // XM Lx
    PanSlideRight,  // XM Rx
    TonePorta,      // XM Mx (param x), IT gx (param as IT's volume column stores it)
    PortaUp,        // IT fx
    PortaDown,      // IT ex
};

struct Cell {
    uint8_t note = kNoteNone;
    uint8_t instrument = 0;  // 1-based; 0 none
    VolumeCommand volumeCommand = VolumeCommand::None;
    uint8_t volumeParam = 0;
    Effect effect = Effect::None;
    uint8_t effectParam = 0;
};

struct Pattern {
    int rows = 0;
    std::vector<Cell> cells;  // rows * Module::channels, row by row
};

enum class LoopType : uint8_t { None, Forward, PingPong };

struct Loop {
    LoopType type = LoopType::None;
    uint32_t start = 0;  // frames; loaders keep start < end <= sample length or type None
    uint32_t end = 0;
};

enum class VibratoWave : uint8_t { Sine, RampDown, Square, Random, RampUp };

struct Sample {
    std::string name;
    int channels = 1;                  // 1 or 2 (IT stereo samples)
    std::vector<float> pcm;            // frames * channels, interleaved, -1..1 (8-bit data scaled by 1/128)
    uint32_t frames = 0;
    Loop loop;
    Loop sustainLoop;                  // IT
    uint32_t c5Speed = 8363;           // Hz at middle C (S3M, IT; loaders derive it for MOD and XM too)
    int8_t relativeNote = 0;           // XM
    int8_t finetune = 0;               // XM -128..127 (1/128 semitone); MOD -8..7 stored times 16
    uint8_t volume = 64;               // default volume 0..64
    uint8_t globalVolume = 64;         // IT 0..64
    int16_t pan = -1;                  // default panning 0..256, -1: none
    // Auto-vibrato (XM instrument, IT sample)
    VibratoWave vibratoWave = VibratoWave::Sine;
    uint8_t vibratoSweep = 0;
    uint8_t vibratoDepth = 0;
    uint8_t vibratoRate = 0;
};

struct EnvelopePoint {
    uint16_t tick = 0;
    int8_t value = 0;  // volume 0..64, panning -32..32, pitch/filter -32..32
};

struct Envelope {
    bool enabled = false;
    bool loop = false;
    bool sustain = false;
    bool carry = false;      // IT
    bool isFilter = false;   // IT pitch envelope used as a filter envelope
    uint8_t loopStart = 0, loopEnd = 0;        // point indices
    uint8_t sustainStart = 0, sustainEnd = 0;  // XM: one sustain point (start == end)
    std::vector<EnvelopePoint> points;         // ticks rising; at most 25
};

enum class NewNoteAction : uint8_t { Cut, Continue, NoteOff, NoteFade };
enum class DuplicateCheck : uint8_t { Off, Note, Sample, Instrument };
enum class DuplicateAction : uint8_t { Cut, NoteOff, NoteFade };

struct Instrument {
    std::string name;
    // Per note (index 0 = C-0): the note to play and the 1-based sample (0: none).
    uint8_t keyboardNote[kNoteMax] = {};
    uint8_t keyboardSample[kNoteMax] = {};
    Envelope volumeEnvelope;
    Envelope panEnvelope;
    Envelope pitchEnvelope;            // IT
    uint16_t fadeout = 0;              // XM 0..4095 per tick out of 32768; IT value as stored times 32 (same unit)
    NewNoteAction newNoteAction = NewNoteAction::Cut;
    DuplicateCheck duplicateCheck = DuplicateCheck::Off;
    DuplicateAction duplicateAction = DuplicateAction::Cut;
    uint8_t globalVolume = 128;        // IT 0..128
    int16_t pan = -1;                  // IT default pan 0..256, -1: none
    int8_t pitchPanSeparation = 0;     // IT -32..32
    uint8_t pitchPanCenter = kMiddleC - 1;  // IT, 0-based note
    uint8_t randomVolume = 0;          // IT 0..100 %
    uint8_t randomPan = 0;             // IT 0..64
    int16_t filterCutoff = -1;         // IT initial cutoff 0..127, -1: none
    int16_t filterResonance = -1;      // IT 0..127, -1: none
};

struct Module {
    ModuleType type = ModuleType::Mod;
    std::string title;
    std::string message;               // IT song message, S3M none
    int channels = 4;                  // pattern width, at most 64
    std::vector<uint16_t> orders;      // pattern numbers; kOrderSkip and kOrderEnd as stored
    std::vector<Pattern> patterns;
    std::vector<Sample> samples;       // index 0 is sample 1
    std::vector<Instrument> instruments;  // XM, IT instrument mode; index 0 is instrument 1
    uint8_t initialSpeed = 6;
    uint8_t initialTempo = 125;
    uint8_t initialGlobalVolume = 64;  // IT 0..128, others 0..64
    uint8_t mixVolume = 48;            // IT "mix volume" / S3M master volume (low 7 bits)
    uint8_t panSeparation = 128;       // IT 0..128
    uint16_t restartOrder = 0;         // MOD/XM restart position
    std::vector<int16_t> channelPan;   // per channel 0..256; 512 = surround
    std::vector<uint8_t> channelVolume;  // per channel 0..64 (IT); 64 elsewhere
    std::vector<bool> channelMuted;    // S3M/IT disabled channels
    bool linearSlides = false;         // XM/IT flag; MOD and S3M use Amiga periods
    bool amigaLimits = false;          // S3M flag / MOD period range 113..856
    bool fastVolumeSlides = false;     // S3M: flag or tracker version 3.00
    bool instrumentMode = false;       // IT; XM always uses instruments
    bool oldEffects = false;           // IT flag
    bool compatibleGxx = false;        // IT flag
    bool stereo = true;                // S3M master volume bit 7; IT flag
    bool soundtracker15 = false;       // MOD with 15 samples and no signature
    uint16_t trackerVersion = 0;       // as stored (S3M/IT Cwt/v, XM version) for quirks
};

constexpr uint16_t kOrderSkip = 0xFE;  // "+++"
constexpr uint16_t kOrderEnd = 0xFF;   // "---"

}  // namespace tracker
