// Slides and oscillators shared by several effects and the volume column.
#include <algorithm>
#include <cstdlib>

#include "channel_effects.h"
#include "modulators.h"
#include "periods.h"

namespace tracker {

uint8_t Memory(uint8_t& memory, uint8_t param) {
    if (param) memory = param;
    return memory;
}

int TonePortaSpeedFromVolumeColumn(const SongState& s, uint8_t param) {
    if (IsXm(s)) return param * 16;
    static const uint8_t kItSpeeds[10] = {0, 1, 4, 8, 16, 32, 64, 96, 128, 255};
    return kItSpeeds[std::min<int>(param, 9)];
}

// Dxy/Axy: x up, y down; S3M/IT also fine slides on the first tick (DxF, DFx).
void VolumeSlide(SongState& s, Channel& channel, uint8_t param, bool firstTick) {
    int up = param >> 4, down = param & 15;
    int change = 0;
    if (IsMod(s) || IsXm(s)) {
        if (firstTick) return;
        change = up ? up : -down;
    } else {
        bool fast = IsS3m(s) && s.module->fastVolumeSlides;
        bool slideTick = !firstTick || fast;
        if (down == 15 && up) {
            change = firstTick ? up : 0;
        } else if (up == 15 && down) {
            change = firstTick ? -down : 0;
        } else if (down == 0) {
            change = slideTick ? up : 0;
        } else if (up == 0) {
            change = slideTick ? -down : 0;
        } else if (IsS3m(s)) {
            change = slideTick ? -down : 0;  // both digits: ST3 slides down
        }
    }
    channel.volume = std::clamp(channel.volume + change, 0, 64);
}

void PortaPeriod(SongState& s, Channel& channel, int amount) {
    if (channel.period <= 0) return;
    channel.period = ClampPeriod(*s.module, channel.period - amount * PeriodScale(*s.module));
}

void TonePortaStep(SongState& s, Channel& channel) {
    int speed = channel.memTonePorta * 4 * PeriodScale(*s.module);
    if (channel.period <= 0 || channel.portaTarget <= 0 || speed == 0) return;
    if (channel.period < channel.portaTarget) {
        channel.period = std::min(channel.period + speed, channel.portaTarget);
    } else if (channel.period > channel.portaTarget) {
        channel.period = std::max(channel.period - speed, channel.portaTarget);
    }
}

// depthScale: 4 for the usual vibrato, 1 for fine vibrato (S3M/IT Uxy).
void VibratoStep(SongState& s, Channel& channel, int depthScale) {
    int value = LfoValue(channel.vibratoWave, channel.vibratoPosition, s.randomSeed);
    int delta = value * channel.vibratoDepth * depthScale / 128;
    if (IsIt(s) && !s.module->oldEffects) delta /= 2;
    channel.periodDelta = delta * PeriodScale(*s.module);
    channel.vibratoPosition = (channel.vibratoPosition + channel.vibratoSpeed * 4) & 255;
}

void TremoloStep(SongState& s, Channel& channel) {
    int value = LfoValue(channel.tremoloWave, channel.tremoloPosition, s.randomSeed);
    channel.volumeDelta = value * channel.tremoloDepth / 64;
    if (IsIt(s) && !s.module->oldEffects) channel.volumeDelta /= 2;
    channel.tremoloPosition = (channel.tremoloPosition + channel.tremoloSpeed * 4) & 255;
}

void PanbrelloStep(SongState& s, Channel& channel) {
    int value = LfoValue(channel.panbrelloWave, channel.panbrelloPosition, s.randomSeed);
    channel.panDelta = value * channel.panbrelloDepth / 32;
    channel.panbrelloPosition = (channel.panbrelloPosition + channel.panbrelloSpeed) & 255;
}

// Qxy / Rxy / E9x: restart the note every y ticks, changing the volume by x.
void RetriggerStep(SongState& s, Channel& channel, uint8_t param, int tick, bool byTick) {
    int interval = param & 15;
    if (interval == 0 || channel.voice < 0) return;
    bool fire;
    if (byTick) {
        fire = tick > 0 && tick % interval == 0;
    } else {
        fire = ++channel.retriggerCounter >= interval;
    }
    if (!fire) return;
    channel.retriggerCounter = 0;
    int v = channel.volume;
    switch (param >> 4) {
    case 1: v -= 1; break;
    case 2: v -= 2; break;
    case 3: v -= 4; break;
    case 4: v -= 8; break;
    case 5: v -= 16; break;
    case 6: v = v * 2 / 3; break;
    case 7: v /= 2; break;
    case 9: v += 1; break;
    case 10: v += 2; break;
    case 11: v += 4; break;
    case 12: v += 8; break;
    case 13: v += 16; break;
    case 14: v = v * 3 / 2; break;
    case 15: v *= 2; break;
    default: break;
    }
    if (!byTick) channel.volume = std::clamp(v, 0, 64);
    PlayingVoice& voice = s.voices[channel.voice];
    if (!voice.mix.sample) return;
    voice.mix.position = 0;
    voice.mix.looped = false;
    voice.mix.backwards = false;
    voice.mix.active = true;
    voice.mix.fadingOutToStop = false;
}

// Ixy / Txy: x ticks on, y off (ST3, FT2 and IT's old effects: x+1 and y+1). FT2 counts
// only the ticks after the first and carries its state over rows; the others count
// every tick.
void TremorStep(SongState& s, Channel& channel, uint8_t param) {
    int x = param >> 4, y = param & 15;
    if (IsXm(s)) {
        if (--channel.tremorCounter < 0) {
            channel.tremorOn = !channel.tremorOn;
            channel.tremorCounter = channel.tremorOn ? x : y;
        }
        channel.tremorMute = !channel.tremorOn;
        return;
    }
    bool plusOne = IsS3m(s) || (IsIt(s) && s.module->oldEffects);
    int on = std::max(1, x + (plusOne ? 1 : 0)), off = std::max(1, y + (plusOne ? 1 : 0));
    channel.tremorMute = channel.tremorCounter % (on + off) >= on;
    ++channel.tremorCounter;
}

void CutChannelNote(SongState& s, Channel& channel) {
    if (IsIt(s)) {
        if (channel.voice >= 0) StopVoice(s.voices[channel.voice]);
        channel.voice = -1;
    } else {
        channel.volume = 0;
    }
}

}  // namespace tracker
