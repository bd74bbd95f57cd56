// The ticks after a row's first: slides, oscillators, arpeggio, retrigger, delayed notes
// and cuts.
#include <algorithm>

#include "channel_effects.h"
#include "periods.h"

namespace tracker {

static int PortaAmount(const SongState& s, uint8_t p) {
    if ((IsS3m(s) || IsIt(s)) && p >= 0xE0) return 0;  // fine: first tick only
    return 4 * p;
}

static void VolumeColumnTick(SongState& s, Channel& ch) {
    uint8_t p = ch.cell.volumeParam;
    switch (ch.cell.volumeCommand) {
    case VolumeCommand::VolumeSlideUp:
        if (IsIt(s)) p = Memory(ch.memVolumeColumnSlide, p);
        ch.volume = std::min(64, ch.volume + p);
        break;
    case VolumeCommand::VolumeSlideDown:
        if (IsIt(s)) p = Memory(ch.memVolumeColumnSlide, p);
        ch.volume = std::max(0, ch.volume - p);
        break;
    case VolumeCommand::VibratoDepth: VibratoStep(s, ch, 4); break;
    case VolumeCommand::PanSlideLeft: ch.pan = std::max(0, ch.pan - p); break;
    case VolumeCommand::PanSlideRight: ch.pan = std::min(256, ch.pan + p); break;
    case VolumeCommand::TonePorta: TonePortaStep(s, ch); break;
    case VolumeCommand::PortaUp: PortaPeriod(s, ch, ch.memPortaUp * 4); break;
    case VolumeCommand::PortaDown: PortaPeriod(s, ch, -ch.memPortaUp * 4); break;
    default: break;
    }
}

static uint8_t RememberedParam(const SongState& s, const Channel& ch, Effect effect) {
    if (IsS3m(s) && effect != Effect::TonePorta) return ch.memS3m;
    switch (effect) {
    case Effect::PortaUp: return ch.memPortaUp;
    case Effect::PortaDown: return IsIt(s) ? ch.memPortaUp : ch.memPortaDown;
    case Effect::VolumeSlide:
    case Effect::VibratoVolSlide:
    case Effect::TonePortaVolSlide: return ch.memVolumeSlide;
    default: return 0;
    }
}

void TickEffects(SongState& s, int channelIndex, int tick) {
    Channel& ch = s.channels[channelIndex];
    const Cell& cell = ch.cell;
    uint8_t param = cell.effectParam;

    if (ch.noteDelayTick == tick) {
        PlayCellNote(s, channelIndex);
        ApplyVolumeColumnSet(s, ch);
        ch.noteDelayTick = -1;
    }
    VolumeColumnTick(s, ch);

    uint8_t p = param;
    if (!IsMod(s)) {
        uint8_t remembered = RememberedParam(s, ch, cell.effect);
        if (remembered) p = remembered;
        if (!remembered && param) p = param;
    }
    switch (cell.effect) {
    case Effect::Arpeggio: {
        uint8_t a = IsS3m(s) ? ch.memS3m : (IsIt(s) ? ch.memArpeggio : param);
        int step = tick % 3;
        ch.arpeggioNotes = step == 0 ? 0 : (step == 1 ? a >> 4 : a & 15);
        break;
    }
    case Effect::PortaUp: PortaPeriod(s, ch, PortaAmount(s, p)); break;
    case Effect::PortaDown: PortaPeriod(s, ch, -PortaAmount(s, p)); break;
    case Effect::TonePorta:
    case Effect::TonePortaVolSlide:
        TonePortaStep(s, ch);
        if (ch.glissando) ch.periodDelta = 0;
        if (cell.effect == Effect::TonePortaVolSlide) VolumeSlide(s, ch, p, false);
        break;
    case Effect::Vibrato:
    case Effect::FineVibrato:
        VibratoStep(s, ch, cell.effect == Effect::FineVibrato ? 1 : 4);
        break;
    case Effect::VibratoVolSlide:
        VibratoStep(s, ch, 4);
        VolumeSlide(s, ch, p, false);
        break;
    case Effect::VolumeSlide: VolumeSlide(s, ch, p, false); break;
    case Effect::Tremolo: TremoloStep(s, ch); break;
    case Effect::Panbrello: PanbrelloStep(s, ch); break;
    case Effect::Tremor: TremorStep(s, ch, IsS3m(s) ? ch.memS3m : ch.memTremor); break;
    case Effect::Retrigger: RetriggerStep(s, ch, IsS3m(s) ? ch.memS3m : ch.memRetrigger, tick, false); break;
    case Effect::GlobalVolumeSlide: {
        uint8_t g = ch.memGlobalVolumeSlide;
        int top = IsIt(s) ? 128 : 64;
        int up = g >> 4, down = g & 15;
        if (IsIt(s) && ((up == 15 && down) || (down == 15 && up))) break;
        s.globalVolume = std::clamp(s.globalVolume + (up ? up : -down), 0, top);
        break;
    }
    case Effect::ChannelVolumeSlide: {
        uint8_t g = ch.memChannelVolumeSlide;
        int up = g >> 4, down = g & 15;
        if ((up == 15 && down) || (down == 15 && up)) break;
        ch.channelVolume = std::clamp(ch.channelVolume + (up ? up : -down), 0, 64);
        break;
    }
    case Effect::PanSlide: {
        uint8_t g = ch.memPanSlide;
        int right = g >> 4, left = g & 15;
        if (IsIt(s)) {
            if ((right == 15 && left) || (left == 15 && right)) break;
            ch.pan = std::clamp(ch.pan + 4 * (left ? left : -right), 0, 256);
        } else {
            ch.pan = std::clamp(ch.pan + (right ? right : -left), 0, 256);
        }
        break;
    }
    case Effect::SetTempo:
        if (IsIt(s) && param < 0x20) {
            uint8_t t = ch.memTempoSlide;
            if (t >> 4) s.tempo = std::min(255, s.tempo + (t & 15));
            else s.tempo = std::max(32, s.tempo - (t & 15));
        }
        break;
    case Effect::KeyOff:
        if (tick == param) KeyOffChannel(s, ch);
        break;
    case Effect::ModExtended:
        if ((param >> 4) == 0x9) RetriggerStep(s, ch, param & 15, tick, true);
        break;
    default: break;
    }
    if (ch.noteCutTick == tick) {
        CutChannelNote(s, ch);
        ch.noteCutTick = -1;
    }
}

}  // namespace tracker
