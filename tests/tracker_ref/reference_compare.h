#pragma once
// Renders a module with our player and with libopenmpt alike (44100 Hz, cubic
// interpolation, each side's default stereo separation and ramping, the song once) and
// compares the two by length and loudness envelope.
#include <cstdint>
#include <string>
#include <vector>

namespace trackref {

constexpr int kRate = 44100;

struct Rendering {
    bool ok = false;
    std::string error;
    std::string warnings;        // libopenmpt's complaints about the file
    double seconds = 0;          // the song's length as the player reports it
    std::vector<float> stereo;   // interleaved, at most `maxSeconds` of the song
};

Rendering RenderReference(const std::vector<uint8_t>& file, double maxSeconds);
Rendering RenderOurs(const std::vector<uint8_t>& file, double maxSeconds);

// RMS per 20 ms of the mono sum, then of the left and of the right channel, so that
// panning and inverted channels show as well as loudness.
std::vector<double> LoudnessEnvelope(const std::vector<float>& stereo);

// Pearson correlation over the common length; 1 when both are constant and equal.
double Correlation(const std::vector<double>& a, const std::vector<double>& b);

struct Comparison {
    double oursSeconds = 0, theirSeconds = 0, correlation = 0;
    bool lengthOk = false, correlationOk = false;
    std::string Describe() const;
};

// Length within 1 %, correlation at least 0.98.
Comparison Compare(const Rendering& ours, const Rendering& theirs);

// The frequency of a rendering's left channel from its rising zero crossings (interpolated
// between frames), over frames [from, to); 0 without two crossings.
double ZeroCrossingFrequency(const std::vector<float>& stereo, size_t from, size_t to);

// Our render of `frames` frames after SeekToFrame(at), against a straight render from the
// start: the difference's RMS relative to the signal's (0 means equal).
double SeekMismatch(const std::vector<uint8_t>& file, uint64_t at, size_t frames);

// Whether our player refuses a seek one frame past the song's end.
bool RefusesSeekPastEnd(const std::vector<uint8_t>& file);

}  // namespace trackref
