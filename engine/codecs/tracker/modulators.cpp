#include "modulators.h"

#include <cmath>

namespace tracker {

int LfoValue(int wave, int position, uint32_t& randomSeed) {
    position &= 255;
    switch (wave & 3) {
    case 0:
        return static_cast<int>(std::lround(255.0 * std::sin(position * 2.0 * M_PI / 256.0)));
    case 1:  // falls from top to bottom over the cycle
        return 255 - position * 2;
    case 2:
        return position < 128 ? 255 : -255;
    default:
        randomSeed = randomSeed * 1103515245u + 12345u;
        return static_cast<int>((randomSeed >> 16) % 511) - 255;
    }
}

int EnvelopeValue256(const Envelope& envelope, const EnvelopeCursor& cursor) {
    const auto& points = envelope.points;
    if (points.empty()) return 0;
    if (cursor.tick <= points.front().tick) return points.front().value * 256;
    for (size_t i = 1; i < points.size(); ++i) {
        if (cursor.tick > points[i].tick) continue;
        int t0 = points[i - 1].tick, t1 = points[i].tick;
        int v0 = points[i - 1].value * 256, v1 = points[i].value * 256;
        if (t1 <= t0) return v1;
        return v0 + (v1 - v0) * (cursor.tick - t0) / (t1 - t0);
    }
    return points.back().value * 256;
}

void AdvanceEnvelope(const Envelope& envelope, EnvelopeCursor& cursor, bool keyOn, bool itStyle) {
    const auto& points = envelope.points;
    if (points.empty()) return;
    int last = static_cast<int>(points.size()) - 1;
    auto pointTick = [&](int index) { return points[index < 0 ? 0 : (index > last ? last : index)].tick; };
    ++cursor.tick;
    if (envelope.sustain && keyOn) {
        int end = pointTick(envelope.sustainEnd);
        if (cursor.tick > end || (!itStyle && cursor.tick == end + 1)) {
            cursor.tick = itStyle ? pointTick(envelope.sustainStart) : end;
        }
        return;
    }
    if (envelope.loop) {
        int end = pointTick(envelope.loopEnd);
        bool past = itStyle ? cursor.tick > end : cursor.tick >= end;
        if (past) cursor.tick = pointTick(envelope.loopStart);
        return;
    }
    if (cursor.tick >= points[last].tick) {
        cursor.tick = points[last].tick;
        cursor.finished = true;
    }
}

double AutoVibratoLinear(PlayingVoice& voice, const Sample& sample, bool xmStyle, uint32_t& randomSeed) {
    if (sample.vibratoDepth == 0 || sample.vibratoRate == 0) return 0;
    int wave = 0;
    switch (sample.vibratoWave) {
    case VibratoWave::Sine: wave = 0; break;
    case VibratoWave::Square: wave = 2; break;
    case VibratoWave::RampDown: wave = 1; break;
    case VibratoWave::RampUp: wave = 1; break;
    case VibratoWave::Random: wave = 3; break;
    }
    int value = LfoValue(wave, voice.autoVibratoPosition, randomSeed);
    if (sample.vibratoWave == VibratoWave::RampUp) value = -value;
    voice.autoVibratoPosition = (voice.autoVibratoPosition + sample.vibratoRate) & 255;
    double sweep = 1.0;
    if (xmStyle) {
        // Reaches full depth after `sweep` ticks.
        if (sample.vibratoSweep && voice.autoVibratoSweep < 65536) {
            voice.autoVibratoSweep += 65536 / sample.vibratoSweep;
            if (voice.autoVibratoSweep > 65536) voice.autoVibratoSweep = 65536;
        } else {
            voice.autoVibratoSweep = 65536;
        }
    } else {
        // IT: the rate is the depth's growth per tick, in 1/256 of the depth.
        voice.autoVibratoSweep += sample.vibratoSweep ? sample.vibratoSweep * 256 : 65536;
        if (voice.autoVibratoSweep > 65536) voice.autoVibratoSweep = 65536;
    }
    sweep = voice.autoVibratoSweep / 65536.0;
    // Depth 15 swings about a semitone and a half either way (64 units a semitone).
    return -value * sample.vibratoDepth * sweep / 42.0;
}

}  // namespace tracker
