#pragma once
// Writes Standard MIDI Files for the tests: tracks of timed messages, optionally with
// running status, and the file around them.
#include <cstdint>
#include <string>
#include <vector>

namespace midi_test {

class TrackWriter {
public:
    explicit TrackWriter(bool runningStatus = false) : running_(runningStatus) {}
    // A channel message `delta` ticks after the previous event.
    void Message(uint32_t delta, uint8_t status, uint8_t d1, uint8_t d2 = 0);
    void Tempo(uint32_t delta, uint32_t microsPerQuarter);
    void Meta(uint32_t delta, uint8_t type, const std::string& text);
    void SysEx(uint32_t delta, const std::vector<uint8_t>& body);  // body after F0, with F7
    void Raw(const std::vector<uint8_t>& bytes);  // anything, for damaged tracks
    std::vector<uint8_t> Finish();  // with the end-of-track event

    static void Number(std::vector<uint8_t>& out, uint32_t value);

private:
    std::vector<uint8_t> bytes_;
    bool running_;
    uint8_t last_ = 0;
};

std::vector<uint8_t> Smf(int format, uint16_t division, const std::vector<std::vector<uint8_t>>& tracks);
// The file inside a RIFF MIDI wrapper.
std::vector<uint8_t> Rmid(const std::vector<uint8_t>& smf);

}  // namespace midi_test
