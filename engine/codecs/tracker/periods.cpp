#include "periods.h"

#include <algorithm>
#include <cmath>

namespace tracker {

bool UsesLinearPeriods(const Module& module) {
    return module.linearSlides && (module.type == ModuleType::Xm || module.type == ModuleType::It);
}

// ProTracker's periods of its middle octave (C-2, our C-5); the other octaves halve and
// double them. Its finetuned tables (eighths of a semitone) are the exact periods rounded.
static const int kModOctavePeriods[12] = {428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226};

static int ModPeriod(int note, int finetune) {
    int semitone = note - kMiddleC;
    int octave = semitone >= 0 ? semitone / 12 : -((11 - semitone) / 12);
    int step = semitone - octave * 12;
    double period = finetune == 0 ? kModOctavePeriods[step] * std::exp2(-octave)
                                  : 428.0 * std::exp2(-semitone / 12.0 - finetune / 96.0);
    return std::max(1, static_cast<int>(std::lround(period))) * 4;
}

static double SampleSpeed(const Sample* sample) {
    return sample && sample->c5Speed ? sample->c5Speed : 8363.0;
}

// FT2 tunes by the sample's relative note and its finetune in sixteenths of a semitone
// (the finetune's low bits dropped), from 8363 Hz.
static int XmFinetuneSixteenths(const Sample* sample) { return sample ? sample->finetune >> 3 : 0; }
static int XmRelativeNote(const Sample* sample) { return sample ? sample->relativeNote : 0; }

int NotePeriod(const Module& module, const Sample* sample, int note) {
    if (UsesLinearPeriods(module) && module.type == ModuleType::Xm) {
        return (121 - note - XmRelativeNote(sample)) * 64 - XmFinetuneSixteenths(sample) * 4;
    }
    if (UsesLinearPeriods(module)) return (121 - note) * 64;
    if (module.type == ModuleType::Mod) return ModPeriod(note, sample ? sample->finetune / 16 : 0);
    if (module.type == ModuleType::It) {
        // IT derives its periods from the exact frequency.
        double period = 1712.0 * 8363.0 / SampleSpeed(sample) * std::exp2(-(note - kMiddleC) / 12.0);
        return std::max(1, static_cast<int>(std::lround(period)));
    }
    // ST3's and FT2's octave of periods, halved and doubled per octave and scaled by the
    // sample's tuning.
    static const int kOctavePeriods[12] = {1712, 1616, 1524, 1440, 1356, 1280, 1208, 1140, 1076, 1016, 960, 907};
    int semitone = note - kMiddleC;
    int octave = semitone >= 0 ? semitone / 12 : -((11 - semitone) / 12);
    int step = semitone - octave * 12;
    if (module.type == ModuleType::Xm) {
        semitone += XmRelativeNote(sample);
        octave = semitone >= 0 ? semitone / 12 : -((11 - semitone) / 12);
        step = semitone - octave * 12;
        double period = kOctavePeriods[step] * std::exp2(-octave - XmFinetuneSixteenths(sample) / 192.0);
        return std::max(1, static_cast<int>(std::lround(period)));
    }
    // ST3 truncates.
    double period = kOctavePeriods[step] * std::exp2(-octave) * 8363.0 / SampleSpeed(sample);
    return std::max(1, static_cast<int>(period));
}

int ClampPeriod(const Module& module, int period) {
    if (UsesLinearPeriods(module)) return std::clamp(period, 1, 121 * 64 + 64 * 12);
    if (module.amigaLimits || module.type == ModuleType::Mod) return std::clamp(period, 113 * 4, 856 * 4);
    return std::clamp(period, 1, 0xFFFF * 4);
}

int PeriodPlusSemitones(const Module& module, int period, int semitones) {
    if (semitones == 0 || period <= 0) return period;
    if (UsesLinearPeriods(module)) return period - semitones * 64;
    return std::max(1, static_cast<int>(std::lround(period * std::pow(2.0, -semitones / 12.0))));
}

double PeriodFrequency(const Module& module, const Sample* sample, int period, double fineLinear) {
    if (period <= 0) return 0;
    double frequency;
    if (UsesLinearPeriods(module)) {
        double base = module.type == ModuleType::Xm ? 8363.0 : SampleSpeed(sample);
        frequency = base * std::exp2((60.0 * 64 - period) / 768.0);
    } else if (module.type == ModuleType::Mod) {
        // The Amiga's PAL clock: period 428 plays 8287 Hz.
        frequency = kPalClock * 4 / period;
    } else {
        frequency = static_cast<double>(kAmigaClock) / period;
    }
    if (fineLinear != 0) frequency *= std::exp2(fineLinear / 768.0);
    return frequency;
}

int RoundPeriodToSemitone(const Module& module, const Sample* sample, int period) {
    if (period <= 0) return period;
    if (UsesLinearPeriods(module)) return (period + 32) / 64 * 64;
    double semitones = 12.0 * std::log2(NotePeriod(module, sample, kMiddleC) / static_cast<double>(period));
    return NotePeriod(module, sample, kMiddleC + static_cast<int>(std::lround(semitones)));
}

}  // namespace tracker
