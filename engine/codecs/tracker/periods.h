#pragma once
// Pitch as the formats count it. One "period" value per channel, always falling as the
// pitch rises, so that slides and tone portamento work alike in every mode:
// - Amiga modes (MOD, S3M, XM and IT without linear slides): a quarter of an Amiga period
//   at 8363 Hz (1712 is middle C), the frequency 8363 * 1712 / period (MOD: the Amiga's
//   PAL clock, 3546895 * 4 / period; IT: in 64ths, so that its notes keep their exact
//   frequencies).
// - Linear modes (XM, IT): 64 units a semitone, (121 - note) * 64 at the sample's own
//   tuning, the frequency c5Speed * 2^((60 * 64 - period) / 768).
#include "channel.h"

namespace tracker {

constexpr int kAmigaClock = 8363 * 1712;
constexpr double kPalClock = 7093789.2 / 2;  // Paula's rate per Amiga period unit

constexpr int kItAmigaPeriodScale = 64;

bool UsesLinearPeriods(const Module& module);

// Period units to one Amiga period unit: what slides and vibrato move by are scaled by it.
int PeriodScale(const Module& module);

// The period of `note` (1..120) played on `sample` (which may be null: linear modes only).
int NotePeriod(const Module& module, const Sample* sample, int note);

// Keeps a period within what the format allows (MOD/S3M Amiga limits 113..856).
int ClampPeriod(const Module& module, int period);

// The period `semitones` higher (arpeggio).
int PeriodPlusSemitones(const Module& module, int period, int semitones);

// The playing frequency in Hz; `fineLinear` adds linear units (1/64 semitone, auto-vibrato
// and IT's pitch envelope slide in these in every mode).
double PeriodFrequency(const Module& module, const Sample* sample, int period, double fineLinear);

// Rounds a period to the nearest semitone of the sample (glissando).
int RoundPeriodToSemitone(const Module& module, const Sample* sample, int period);

}  // namespace tracker
