#pragma once
// A MIDI song read from a Standard MIDI File (types 0, 1, 2) or a RIFF MIDI file: every
// track merged into one list of channel messages and resets with their times in seconds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace midi {

enum class Result { Ok, NotMidi, Damaged, TooLarge };

// Status 0x80..0xEF: a channel message. kReset: a GM, GS or XG system reset (SysEx).
constexpr uint8_t kReset = 0xF0;

struct Event {
    double seconds = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};

struct Song {
    std::vector<Event> events;  // in playing order
    std::string title;          // first track's name, else the first text event
    std::string copyright;
    double lastEventSeconds = 0;
    int format = 0;
    int tracks = 0;
};

// Limits that keep hostile files bounded in memory and time.
constexpr size_t kMaxEvents = 4u << 20;
// Notes still sound after the last event: this much is added to the song's length.
constexpr double kReleaseTailSeconds = 1.0;

Result ReadSong(const uint8_t* data, size_t size, Song& out);
// True for "MThd" at the start or a RIFF file of form "RMID".
bool LooksLikeMidi(const uint8_t* data, size_t size);

}  // namespace midi
