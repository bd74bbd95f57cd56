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
    std::string error, warnings;  // warnings: libopenmpt's complaints about the file
    double seconds = 0;           // the song's length as the player reports it
    std::vector<float> stereo;    // interleaved, at most `maxSeconds` of the song
};
Rendering RenderReference(const std::vector<uint8_t>& file, double maxSeconds);
Rendering RenderOurs(const std::vector<uint8_t>& file, double maxSeconds);

struct Comparison {
    double oursSeconds = 0, theirSeconds = 0, correlation = 0;
    bool lengthOk = false, correlationOk = false;
    std::string Describe() const;
};
// Length within 1 %; the loudness envelopes (RMS per 20 ms of the mono sum, the left and
// the right channel) correlating at 0.98 or more.
Comparison Compare(const Rendering& ours, const Rendering& theirs);

// The left channel's frequency from its rising zero crossings over frames [from, to).
double ZeroCrossingFrequency(const std::vector<float>& stereo, size_t from, size_t to);
// Our render after SeekToFrame(at) against a straight one: the difference's RMS relative
// to the signal's over `frames` frames.
double SeekMismatch(const std::vector<uint8_t>& file, uint64_t at, size_t frames);
bool RefusesSeekPastEnd(const std::vector<uint8_t>& file);

}  // namespace trackref
