// The first tick of a row: the note (unless delayed), the volume column's settings and
// every effect that acts once or sets what the following ticks repeat.
#include <algorithm>

#include "channel_effects.h"
#include "modulators.h"
#include "periods.h"

namespace tracker {

// ST3 keeps a single memory for most effects; IT shares the volume slide memory between
// D, K and L and the slide memory between E and F (and G without the compatible flag).
static uint8_t EffectParam(SongState& s, Channel& ch, Effect effect, uint8_t param) {
    if (IsS3m(s)) {
        switch (effect) {
        case Effect::VolumeSlide: case Effect::PortaUp: case Effect::PortaDown:
        case Effect::Tremor: case Effect::Arpeggio: case Effect::VibratoVolSlide:
        case Effect::TonePortaVolSlide: case Effect::Retrigger: case Effect::Tremolo:
            return Memory(ch.memS3m, param);
        default: break;
        }
    }
    switch (effect) {
    case Effect::PortaUp:
        if (IsMod(s)) return param;
        return IsIt(s) ? Memory(ch.memPortaUp, param) : Memory(ch.memPortaUp, param);
    case Effect::PortaDown:
        if (IsMod(s)) return param;
        return IsIt(s) ? Memory(ch.memPortaUp, param) : Memory(ch.memPortaDown, param);
    case Effect::VolumeSlide:
    case Effect::VibratoVolSlide:
    case Effect::TonePortaVolSlide:
        if (IsMod(s)) return param;
        return Memory(ch.memVolumeSlide, param);
    case Effect::Tremor: return Memory(ch.memTremor, param);
    case Effect::Arpeggio: return IsMod(s) || IsXm(s) ? param : Memory(ch.memArpeggio, param);
    case Effect::Retrigger: {
        if (IsXm(s)) {
            // FT2 remembers the two digits apart.
            uint8_t high = param >> 4 ? param >> 4 : ch.memRetrigger >> 4;
            uint8_t low = param & 15 ? param & 15 : ch.memRetrigger & 15;
            ch.memRetrigger = static_cast<uint8_t>(high << 4 | low);
            return ch.memRetrigger;
        }
        return Memory(ch.memRetrigger, param);
    }
    case Effect::PanSlide: return Memory(ch.memPanSlide, param);
    case Effect::GlobalVolumeSlide: return Memory(ch.memGlobalVolumeSlide, param);
    case Effect::ChannelVolumeSlide: return Memory(ch.memChannelVolumeSlide, param);
    case Effect::Panbrello: return param;
    default: return param;
    }
}

static void SetVibrato(Channel& ch, uint8_t param) {
    if (param >> 4) ch.vibratoSpeed = param >> 4;
    if (param & 15) ch.vibratoDepth = param & 15;
}

static void SetTonePortaSpeed(SongState& s, Channel& ch, int speed) {
    if (IsIt(s) && !s.module->compatibleGxx) {
        // Shares the E/F memory.
        if (speed) ch.memPortaUp = static_cast<uint8_t>(speed);
        ch.memTonePorta = ch.memPortaUp;
        return;
    }
    if (IsS3m(s) && speed == 0) return;
    if (speed) ch.memTonePorta = static_cast<uint8_t>(std::min(speed, 255));
}

static int PanFromParam(const SongState& s, uint8_t param) {
    if (IsS3m(s)) return param > 128 ? 128 : param * 2;
    return param == 255 ? 256 : param;
}

static void Extended(SongState& s, Channel& ch, int channelIndex, int command, int x) {
    // MOD/XM E commands and S3M/IT S commands, each mapped to one meaning.
    switch (command) {
    case 0x10: PortaPeriod(s, ch, 4 * (x ? (ch.memFinePortaUp = x) : (IsXm(s) ? ch.memFinePortaUp : 0))); break;
    case 0x20: PortaPeriod(s, ch, -4 * (x ? (ch.memFinePortaDown = x) : (IsXm(s) ? ch.memFinePortaDown : 0))); break;
    case 0x30: ch.glissando = x != 0; break;
    case 0x40: ch.vibratoWave = x & 3; ch.vibratoRetrig = !(x & 4); break;
    case 0x70: ch.tremoloWave = x & 3; ch.tremoloRetrig = !(x & 4); break;
    case 0x150: ch.panbrelloWave = x & 3; break;
    case 0x80: ch.pan = x * 17 + (x == 15 ? 1 : 0); ch.surround = false; break;
    case 0x190:
        if (x == 1) {
            ch.pan = 128;
            ch.surround = true;
        } else if (x == 0) {
            ch.surround = false;
        }
        break;
    case 0xA0:
        if (x) ch.memFineVolUp = static_cast<uint8_t>(x);
        ch.volume = std::min(64, ch.volume + (IsXm(s) ? ch.memFineVolUp : x));
        break;
    case 0xB0:
        if (x) ch.memFineVolDown = static_cast<uint8_t>(x);
        ch.volume = std::max(0, ch.volume - (IsXm(s) ? ch.memFineVolDown : x));
        break;
    case 0xC0:
        // A cut on tick 0: at once in MOD and XM, a tick later in IT, never in ST3.
        if (x > 0) ch.noteCutTick = x;
        else if (IsMod(s) || IsXm(s)) CutChannelNote(s, ch);
        else if (IsIt(s)) ch.noteCutTick = 1;
        break;
    case 0xE0:
        if (!s.rowDelayStarted) {
            s.patternDelay = x;
            s.rowDelayStarted = true;
        }
        break;
    case 0xF6: s.fineDelay += x; break;
    case 0xF7: {
        // IT: past notes and envelope switches.
        if (x <= 2) {
            PastNoteAction(s, channelIndex, x);
        } else if (x <= 6) {
            ch.newNoteActionOverride = static_cast<int8_t>(x - 3);
        } else if (ch.voice >= 0) {
            PlayingVoice& v = s.voices[ch.voice];
            if (x == 7 || x == 8) v.volumeEnvelopeOn = x == 8;
            if (x == 9 || x == 10) v.panEnvelopeOn = x == 10;
            if (x == 11 || x == 12) v.pitchEnvelopeOn = x == 12;
        }
        break;
    }
    case 0xFA: ch.offsetHigh = x; break;
    case 0x60: {
        // Pattern loop: E60/SB0 marks the start, E6x/SBx plays back x times.
        if (x == 0) {
            ch.loopRow = s.row;
            break;
        }
        if (ch.loopCount == 0) {
            ch.loopCount = x;
        } else if (--ch.loopCount == 0) {
            if (IsIt(s) || IsS3m(s)) ch.loopRow = s.row + 1;
            break;
        }
        if (IsXm(s)) {
            s.xmBreakPos = ch.loopRow;
            s.xmBreakFlag = true;
        } else {
            s.loopTargetRow = ch.loopRow;
        }
        break;
    }
    default: break;
    }
}

static void VolumeColumnFirstTick(SongState& s, Channel& ch) {
    const Cell& cell = ch.cell;
    uint8_t p = cell.volumeParam;
    switch (cell.volumeCommand) {
    case VolumeCommand::FineVolumeUp:
        if (IsIt(s)) p = Memory(ch.memVolumeColumnSlide, p);
        ch.volume = std::min(64, ch.volume + p);
        break;
    case VolumeCommand::FineVolumeDown:
        if (IsIt(s)) p = Memory(ch.memVolumeColumnSlide, p);
        ch.volume = std::max(0, ch.volume - p);
        break;
    case VolumeCommand::VibratoSpeed: if (p) ch.vibratoSpeed = p; break;
    case VolumeCommand::VibratoDepth: if (p) ch.vibratoDepth = p; break;
    case VolumeCommand::TonePorta: SetTonePortaSpeed(s, ch, TonePortaSpeedFromVolumeColumn(s, p)); break;
    case VolumeCommand::PortaUp:
    case VolumeCommand::PortaDown:
        if (p) ch.memPortaUp = static_cast<uint8_t>(p * 4);
        break;
    default: break;
    }
}

// The cell's volume-column volume or panning: with the note (also a delayed one).
void ApplyVolumeColumnSet(SongState& s, Channel& ch) {
    const Cell& cell = ch.cell;
    if (cell.volumeCommand == VolumeCommand::Volume) ch.volume = std::min<int>(cell.volumeParam, 64);
    if (cell.volumeCommand == VolumeCommand::Panning) ch.pan = std::min(256, cell.volumeParam * 4);
    (void)s;
}

void RowEffects(SongState& s, int channelIndex) {
    Channel& ch = s.channels[channelIndex];
    const Cell& cell = ch.cell;
    uint8_t param = cell.effectParam;
    int command = param & 0xF0;
    int x = param & 15;
    bool extended = cell.effect == Effect::ModExtended || cell.effect == Effect::S3mExtended;
    int extendedCommand = command;
    if (cell.effect == Effect::S3mExtended) {
        // S commands numbered as their E equivalents.
        static const int kS3mToMod[16] = {0x00, 0x30, 0x100, 0x40, 0x70, 0x150, 0xF6, 0xF7,
                                          0x80, 0x190, 0xFA, 0x60, 0xC0, 0xD0, 0xE0, 0xF0};
        extendedCommand = kS3mToMod[param >> 4];
    }

    bool delayed = extended && extendedCommand == 0xD0 && x > 0;
    if (delayed) {
        ch.noteDelayTick = x;
        // ProTracker takes a delayed note's instrument volume at once.
        if (IsMod(s) && cell.instrument && cell.instrument <= s.module->samples.size()) {
            ch.volume = s.module->samples[cell.instrument - 1].volume;
        }
    } else {
        PlayCellNote(s, channelIndex);
        ApplyVolumeColumnSet(s, ch);
    }
    VolumeColumnFirstTick(s, ch);

    uint8_t p = EffectParam(s, ch, cell.effect, param);
    switch (cell.effect) {
    case Effect::SetVolume: ch.volume = std::min<int>(param, 64); break;
    case Effect::SetPan:
        if (IsS3m(s) && param > 0x80 && param != 0xA4) break;  // ST3 ignores these
        ch.pan = param == 0xA4 && IsS3m(s) ? 128 : PanFromParam(s, param);
        ch.surround = param == 0xA4 && IsS3m(s);
        break;
    case Effect::PositionJump:
        if (IsXm(s)) {
            s.jumpOrder = param;
            s.xmBreakPos = 0;
            s.xmJumpFlag = true;
        } else {
            s.jumpOrder = param;
        }
        break;
    case Effect::PatternBreak: {
        int row = (IsMod(s) || IsXm(s)) ? (param >> 4) * 10 + (param & 15) : param;
        if (IsXm(s)) {
            s.xmBreakPos = row > 63 ? 0 : row;
            s.xmJumpFlag = true;
        } else {
            s.breakRow = row;
        }
        break;
    }
    case Effect::SpeedOrTempo:
        if (param == 0) break;
        if (param < 0x20) s.speed = param; else s.tempo = param;
        break;
    case Effect::SetSpeed: if (param) s.speed = param; break;
    case Effect::SetTempo:
        if (param >= 0x20) s.tempo = param;
        else if (IsIt(s)) Memory(ch.memTempoSlide, param);
        break;
    case Effect::GlobalVolume:
        s.globalVolume = std::min<int>(param, IsIt(s) ? 128 : 64);
        break;
    case Effect::GlobalVolumeSlide:
        if (IsIt(s)) {
            if ((p & 15) == 15 && (p >> 4)) s.globalVolume = std::min(128, s.globalVolume + (p >> 4));
            else if ((p >> 4) == 15 && (p & 15)) s.globalVolume = std::max(0, s.globalVolume - (p & 15));
        }
        break;
    case Effect::ChannelVolume: ch.channelVolume = std::min<int>(param, 64); break;
    case Effect::ChannelVolumeSlide:
        if ((p & 15) == 15 && (p >> 4)) ch.channelVolume = std::min(64, ch.channelVolume + (p >> 4));
        else if ((p >> 4) == 15 && (p & 15)) ch.channelVolume = std::max(0, ch.channelVolume - (p & 15));
        break;
    case Effect::PanSlide:
        if (IsIt(s)) {
            // IT panning runs 0..64 and right is "P0x" reversed.
            if ((p & 15) == 15 && (p >> 4)) ch.pan = std::max(0, ch.pan - 4 * (p >> 4));
            else if ((p >> 4) == 15 && (p & 15)) ch.pan = std::min(256, ch.pan + 4 * (p & 15));
        }
        break;
    case Effect::VolumeSlide:
    case Effect::VibratoVolSlide:
    case Effect::TonePortaVolSlide:
        VolumeSlide(s, ch, p, true);
        if (cell.effect == Effect::TonePortaVolSlide && IsIt(s) && !s.module->compatibleGxx) ch.memTonePorta = ch.memPortaUp;
        if (cell.effect == Effect::VibratoVolSlide && (IsIt(s) || IsS3m(s))) VibratoStep(s, ch, 4);
        if (cell.effect == Effect::VibratoVolSlide && IsS3m(s)) ch.vibratoPosition = (ch.vibratoPosition - ch.vibratoSpeed * 4) & 255;
        break;
    case Effect::PortaUp:
    case Effect::PortaDown: {
        int sign = cell.effect == Effect::PortaUp ? 1 : -1;
        if ((IsS3m(s) || IsIt(s)) && p >= 0xE0) {
            PortaPeriod(s, ch, sign * (p >= 0xF0 ? 4 * (p & 15) : (p & 15)));
        }
        break;
    }
    case Effect::ExtraFinePorta: {
        int sub = param >> 4;
        if (sub == 1) PortaPeriod(s, ch, x ? (ch.memExtraFineUp = x) : ch.memExtraFineUp);
        if (sub == 2) PortaPeriod(s, ch, -(x ? (ch.memExtraFineDown = x) : ch.memExtraFineDown));
        break;
    }
    case Effect::TonePorta: SetTonePortaSpeed(s, ch, param); break;
    case Effect::Vibrato:
    case Effect::FineVibrato:
        SetVibrato(ch, param);
        if (IsIt(s) || IsS3m(s)) VibratoStep(s, ch, cell.effect == Effect::FineVibrato ? 1 : 4);
        // ST3 applies the oscillator on the first tick too, without moving it on.
        if (IsS3m(s)) ch.vibratoPosition = (ch.vibratoPosition - ch.vibratoSpeed * 4) & 255;
        break;
    case Effect::Tremolo:
        if (p >> 4) ch.tremoloSpeed = p >> 4;
        if (p & 15) ch.tremoloDepth = p & 15;
        if (IsIt(s) || IsS3m(s)) TremoloStep(s, ch);
        if (IsS3m(s)) ch.tremoloPosition = (ch.tremoloPosition - ch.tremoloSpeed * 4) & 255;
        break;
    case Effect::Panbrello:
        if (p >> 4) ch.panbrelloSpeed = p >> 4;
        if (p & 15) ch.panbrelloDepth = p & 15;
        PanbrelloStep(s, ch);
        break;
    case Effect::Tremor:
        if (!IsXm(s)) TremorStep(s, ch, p);
        else if (cell.note == kNoteNone) ch.tremorMute = !ch.tremorOn;
        break;
    case Effect::Retrigger:
        // The note itself starts the count; a row without one counts its first tick
        // (FT2 counts it either way).
        if (cell.note >= 1 && cell.note <= kNoteMax) ch.retriggerCounter = 0;
        if (cell.note == kNoteNone || IsXm(s)) RetriggerStep(s, ch, p, 0, false);
        break;
    case Effect::KeyOff:
        if (param == 0) KeyOffChannel(s, ch);
        break;
    case Effect::SetEnvelopePosition:
        if (ch.voice >= 0) {
            PlayingVoice& v = s.voices[ch.voice];
            EnvelopeSetTick(v.volumeCursor, param);
            if (v.instrument && v.instrument->volumeEnvelope.sustain) EnvelopeSetTick(v.panCursor, param);
        }
        break;
    case Effect::MidiMacro:
        if (param < 0x80) ch.cutoff = param;
        else if (param < 0x90) ch.resonance = (param & 15) * 8;
        break;
    case Effect::Arpeggio:
        break;
    case Effect::ModExtended:
    case Effect::S3mExtended:
        // ProTracker's E9x also restarts on the first tick of a row without a note.
        if (IsMod(s) && command == 0x90 && x && cell.note == kNoteNone) RetriggerStep(s, ch, static_cast<uint8_t>(x), x, true);
        if (cell.effect == Effect::S3mExtended && extendedCommand == 0x100) break;  // finetune: ignored
        if (cell.effect == Effect::S3mExtended && (extendedCommand == 0x10 || extendedCommand == 0x20)) break;
        Extended(s, ch, channelIndex, extendedCommand, x);
        break;
    default: break;
    }
}

}  // namespace tracker
