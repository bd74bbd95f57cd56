#pragma once
// Rendering songs for the tests and finding where notes start in the sound.
#include <cstdint>
#include <vector>

#include "midi/bank.h"
#include "midi/song.h"

namespace midi_test {

constexpr uint32_t kRate = 44100;

// Whole song (length from the sequencer), stereo, without effects unless asked.
std::vector<float> Render(const midi::Song& song, const midi::Bank& bank, bool effects = false);
// Seconds at which sound rises above `threshold` after at least `gapSeconds` below it.
std::vector<double> Onsets(const std::vector<float>& stereo, float threshold = 2e-3f, double gapSeconds = 0.03);
// Root mean square of the two channels per window.
std::vector<double> RmsEnvelope(const std::vector<float>& stereo, double windowSeconds = 0.02);
double Correlation(const std::vector<double>& a, const std::vector<double>& b);
// Left channel frequency from upward zero crossings between two times (seconds).
double Frequency(const std::vector<float>& stereo, double from, double to);
const midi::Bank& BuiltIn();

}  // namespace midi_test
