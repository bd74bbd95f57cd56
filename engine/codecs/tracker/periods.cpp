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

// ProTracker's lowest octave (C-1, our C-4) for each finetune row, finetune 0..7 then -8..-1.
// Its rounded values are not the exact periods; the notes above and below halve and double
// them, in our quarter periods without losing the fraction.
static const int kModFinetunePeriods[16][12] = {
    {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453},
    {850, 802, 757, 715, 674, 637, 601, 567, 535, 505, 477, 450},
    {844, 796, 752, 709, 670, 632, 597, 563, 532, 502, 474, 447},
    {838, 791, 746, 704, 665, 628, 592, 559, 528, 498, 470, 444},
    {832, 785, 741, 699, 660, 623, 588, 555, 524, 495, 467, 441},
    {826, 779, 736, 694, 655, 619, 584, 551, 520, 491, 463, 437},
    {820, 774, 730, 689, 651, 614, 580, 547, 516, 487, 460, 434},
    {814, 768, 725, 684, 646, 610, 575, 543, 513, 484, 457, 431},
    {907, 856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480},
    {900, 850, 802, 757, 715, 675, 636, 601, 567, 535, 505, 477},
    {894, 844, 796, 752, 709, 670, 632, 597, 563, 532, 502, 474},
    {887, 838, 791, 746, 704, 665, 628, 592, 559, 528, 498, 470},
    {881, 832, 785, 741, 699, 660, 623, 588, 555, 524, 494, 467},
    {875, 826, 779, 736, 694, 655, 619, 584, 551, 520, 491, 463},
    {868, 820, 774, 730, 689, 651, 614, 580, 547, 516, 487, 460},
    {862, 814, 768, 725, 684, 646, 610, 575, 543, 513, 484, 457},
};

static int ModPeriod(int note, int finetune) {
    int semitone = note - kMiddleC;
    int octave = semitone >= 0 ? semitone / 12 : -((11 - semitone) / 12);
    int step = semitone - octave * 12;
    if (finetune == 0) {
        return std::max(1, static_cast<int>(std::lround(kModOctavePeriods[step] * std::exp2(-octave)))) * 4;
    }
    double quarters = kModFinetunePeriods[finetune & 15][step] * 4 * std::exp2(-(octave + 1));
    return std::max(4, static_cast<int>(std::lround(quarters)));
}

static double SampleSpeed(const Sample* sample) {
    return sample && sample->c5Speed ? sample->c5Speed : 8363.0;
}

// FT2 tunes by the sample's relative note and its finetune in sixteenths of a semitone
// (the finetune's low bits dropped), from 8363 Hz.
static int XmFinetuneSixteenths(const Sample* sample) { return sample ? sample->finetune >> 3 : 0; }
static int XmRelativeNote(const Sample* sample) { return sample ? sample->relativeNote : 0; }

// FT2's Amiga periods: ProTracker's lowest octave in eighths of a semitone (the finetune
// rows), with a sixteenth between two eighths their mean, twice ProTracker's period at our
// middle octave and halved per octave up. The finetune (-128..127) counts in sixteenths.
static int XmEighthPeriod(int eighth) {
    if (eighth >= 12 * 8) return kModFinetunePeriods[0][0] / 2;
    return kModFinetunePeriods[eighth % 8][eighth / 8];
}

static int XmAmigaPeriod(int note, int finetune) {
    int sixteenths = (note - kMiddleC) * 16 + (finetune >> 3);
    int octave = sixteenths >= 0 ? sixteenths / 192 : -((191 - sixteenths) / 192);
    int within = sixteenths - octave * 192;
    int doubled = XmEighthPeriod(within / 2) + XmEighthPeriod((within + 1) / 2);
    int period = octave >= 0 ? doubled >> octave : doubled << -octave;
    return std::max(1, period);
}

// S3M songs saved by IT (tracker id 3) are played at IT's exact frequencies, not from ST3's
// truncated periods; at high C2Spd the truncation is half a percent off.
static bool ItMadeS3m(const Module& module) {
    return module.type == ModuleType::S3m && (module.trackerVersion >> 12) == 3;
}

int NotePeriod(const Module& module, const Sample* sample, int note) {
    if (UsesLinearPeriods(module) && module.type == ModuleType::Xm) {
        return (121 - note - XmRelativeNote(sample)) * 64 - XmFinetuneSixteenths(sample) * 4;
    }
    if (UsesLinearPeriods(module)) return (121 - note) * 64;
    if (module.type == ModuleType::Mod) return ModPeriod(note, sample ? sample->finetune / 16 : 0);
    if (module.type == ModuleType::It || ItMadeS3m(module)) {
        // IT plays the exact frequency; its Amiga mode only changes how slides go.
        double period = kAmigaClock * kItAmigaPeriodScale / SampleSpeed(sample) * std::exp2(-(note - kMiddleC) / 12.0);
        return std::clamp(static_cast<int>(std::lround(std::min(period, 1e9))), 1, 0xFFFF * 4 * kItAmigaPeriodScale);
    }
    if (module.type == ModuleType::Xm) return XmAmigaPeriod(note + XmRelativeNote(sample), sample ? sample->finetune : 0);
    // ST3's octave of periods, halved and doubled per octave and scaled by the sample's tuning.
    static const int kOctavePeriods[12] = {1712, 1616, 1524, 1440, 1356, 1280, 1208, 1140, 1076, 1016, 960, 907};
    int semitone = note - kMiddleC;
    int octave = semitone >= 0 ? semitone / 12 : -((11 - semitone) / 12);
    int step = semitone - octave * 12;
    // ST3 truncates.
    double period = kOctavePeriods[step] * std::exp2(-octave) * 8363.0 / SampleSpeed(sample);
    return std::max(1, static_cast<int>(period));
}

int PeriodScale(const Module& module) {
    return (module.type == ModuleType::It && !UsesLinearPeriods(module)) || ItMadeS3m(module) ? kItAmigaPeriodScale : 1;
}

int ClampPeriod(const Module& module, int period) {
    if (UsesLinearPeriods(module)) return std::clamp(period, 1, 121 * 64 + 64 * 12);
    if (module.amigaLimits || module.type == ModuleType::Mod) {
        return std::clamp(period, 113 * 4 * PeriodScale(module), 856 * 4 * PeriodScale(module));
    }
    return std::clamp(period, 1, 0xFFFF * 4 * PeriodScale(module));
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
        frequency = static_cast<double>(kAmigaClock) * PeriodScale(module) / period;
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
