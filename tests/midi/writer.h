#pragma once
// Writes the files the tests play: Standard MIDI Files, RIFF MIDI and RIFF chunks for banks.
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace midi_test {

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

}  // namespace midi_test
