#pragma once
// Reading, rendering and listening to songs for the tests.
#include <cstdint>
#include <string>
#include <vector>

#include "midi/bank.h"
#include "midi/song.h"

namespace midi_test {

constexpr uint32_t kRate = 44100;

std::vector<uint8_t> ReadFile(const std::string& path);
// The file read and rendered whole (length from the sequencer), stereo, without effects.
std::vector<float> RenderFile(const std::vector<uint8_t>& file, const midi::Bank& bank);
// Seconds at which sound rises above `threshold` after at least `gapSeconds` below it.
std::vector<double> Onsets(const std::vector<float>& stereo, float threshold = 2e-3f, double gapSeconds = 0.03);
// Root mean square of the two channels per window.
std::vector<double> RmsEnvelope(const std::vector<float>& stereo, double windowSeconds = 0.02);
double Correlation(const std::vector<double>& a, const std::vector<double>& b);
// Left channel frequency from upward zero crossings between two times (seconds).
double Frequency(const std::vector<float>& stereo, double from, double to);
const midi::Bank& BuiltIn();

}  // namespace midi_test
