#pragma once
// The files the tests write (MIDI, RIFF MIDI, RIFF chunks of banks), rendered and listened to.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "midi/bank.h"
#include "midi/song.h"

namespace midi_test {

constexpr uint32_t kRate = 44100;
using Bytes = std::vector<uint8_t>;

// An event `delta` ticks after the previous one; a channel message without its status byte
// runs on the previous status.
void Event(Bytes& track, uint32_t delta, std::initializer_list<uint8_t> bytes);
void Tempo(Bytes& track, uint32_t delta, uint32_t microsPerQuarter);
// Every track gets its end-of-track event.
Bytes Smf(int format, uint16_t division, const std::vector<Bytes>& tracks);
Bytes Rmid(const Bytes& smf);

void Put16(Bytes& out, uint32_t v);  // little-endian, as RIFF has it
void Put32(Bytes& out, uint32_t v);
Bytes Chunk(const char* id, const Bytes& body);
Bytes List(const char* kind, const char* form, const std::vector<Bytes>& parts);

Bytes ReadFile(const std::string& path);
// The file read and rendered whole (length from the sequencer), stereo, without effects.
std::vector<float> RenderFile(const Bytes& file, const midi::Bank& bank);
std::vector<float> RenderSong(const midi::Song& song, const midi::Bank& bank);
// Seconds at which sound rises above `threshold` after at least `gapSeconds` below it.
std::vector<double> Onsets(const std::vector<float>& stereo, float threshold = 2e-3f, double gapSeconds = 0.03);
// Root mean square of both channels per window.
std::vector<double> RmsEnvelope(const std::vector<float>& stereo, double windowSeconds = 0.02);
double Correlation(const std::vector<double>& a, const std::vector<double>& b);
// Left channel frequency from upward zero crossings between two times (seconds).
double Frequency(const std::vector<float>& stereo, double from, double to);
const midi::Bank& BuiltIn();

}  // namespace midi_test
