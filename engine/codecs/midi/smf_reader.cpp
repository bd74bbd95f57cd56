// Standard MIDI Files and RIFF MIDI: tracks parsed into one list, times from the tempo map.
#include <algorithm>
#include <cstring>

#include "midi/song.h"

namespace midi {
namespace {

uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint16_t Be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
uint32_t Le32(const uint8_t* p) { return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]; }

// Before the tempo map: ticks, and the order events had in their track.
struct TickEvent {
    uint64_t tick;
    uint32_t tempo;  // for status 0xFF: microseconds per quarter note
    uint8_t status, data1, data2;
};

class TrackCursor {
public:
    TrackCursor(const uint8_t* p, size_t size) : p_(p), size_(size) {}
    bool AtEnd() const { return pos_ >= size_; }
    bool Byte(uint8_t& b) {
        if (pos_ >= size_) return false;
        b = p_[pos_++];
        return true;
    }
    uint8_t Peek() const { return p_[pos_]; }
    // At most 4 bytes (28 bits); longer numbers are damage.
    bool Number(uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b;
            if (!Byte(b)) return false;
            value = value << 7 | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;
    }
    bool Skip(uint32_t n, const uint8_t** at) {
        if (n > size_ - pos_) return false;
        *at = p_ + pos_;
        pos_ += n;
        return true;
    }

private:
    const uint8_t* p_;
    size_t size_;
    size_t pos_ = 0;
};

bool IsReset(const uint8_t* d, uint32_t n) {
    // GM on (7E id 09 01 or 02), GS reset (41 id 42 12 40 00 7F), XG on (43 1x 4C 00 00 7E).
    if (n >= 4 && d[0] == 0x7E && d[2] == 0x09 && (d[3] == 0x01 || d[3] == 0x03)) return true;
    if (n >= 7 && d[0] == 0x41 && d[2] == 0x42 && d[3] == 0x12 && d[4] == 0x40 && d[5] == 0x00 && d[6] == 0x7F)
        return true;
    return n >= 6 && d[0] == 0x43 && (d[1] & 0xF0) == 0x10 && d[2] == 0x4C && d[3] == 0 && d[4] == 0 &&
           d[5] == 0x7E;
}

struct Texts {
    std::string trackName, firstText, copyright;
};

std::string Text(const uint8_t* d, uint32_t n) {
    std::string s(reinterpret_cast<const char*>(d), std::min<uint32_t>(n, 1024));
    while (!s.empty() && (s.back() == 0 || s.back() == ' ')) s.pop_back();
    return s;
}

// Appends the track's events; false when the events would exceed the cap. A damaged or
// truncated track keeps what was read before the damage.
bool ReadTrack(const uint8_t* p, size_t size, uint64_t startTick, bool firstTrack, std::vector<TickEvent>& out,
               uint64_t& endTick, Texts& texts) {
    TrackCursor c(p, size);
    uint64_t tick = startTick;
    uint8_t running = 0;
    while (!c.AtEnd()) {
        uint32_t delta;
        if (!c.Number(delta)) break;
        tick += delta;
        uint8_t status;
        if (c.AtEnd()) break;
        if (c.Peek() & 0x80) {
            c.Byte(status);
        } else {
            if (!running) break;
            status = running;
        }
        if (status == 0xFF) {
            uint8_t type;
            uint32_t len;
            const uint8_t* d;
            if (!c.Byte(type) || !c.Number(len) || !c.Skip(len, &d)) break;
            if (type == 0x2F) break;
            if (type == 0x51 && len >= 3) {
                // Tempo 0 would stop time: the smallest legal value instead.
                const uint32_t tempo = std::max<uint32_t>(1, uint32_t(d[0]) << 16 | d[1] << 8 | d[2]);
                out.push_back({tick, tempo, 0xFF, 0, 0});
            } else if (type == 0x03 && firstTrack && texts.trackName.empty()) {
                texts.trackName = Text(d, len);
            } else if (type == 0x01 && texts.firstText.empty()) {
                texts.firstText = Text(d, len);
            } else if (type == 0x02 && texts.copyright.empty()) {
                texts.copyright = Text(d, len);
            }
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t len;
            const uint8_t* d;
            if (!c.Number(len) || !c.Skip(len, &d)) break;
            if (status == 0xF0 && IsReset(d, len)) out.push_back({tick, 0, kReset, 0, 0});
            running = 0;
        } else if (status >= 0xF0) {
            // System common and real-time bytes do not belong in files: skip their data.
            const int n = status == 0xF2 ? 2 : (status == 0xF1 || status == 0xF3) ? 1 : 0;
            uint8_t b;
            for (int i = 0; i < n; ++i) c.Byte(b);
        } else {
            running = status;
            const int n = (status & 0xE0) == 0xC0 ? 1 : 2;
            uint8_t d[2] = {0, 0};
            if (!c.Byte(d[0]) || (n == 2 && !c.Byte(d[1]))) break;
            out.push_back({tick, 0, status, uint8_t(d[0] & 0x7F), uint8_t(d[1] & 0x7F)});
        }
        if (out.size() > kMaxEvents) return false;
    }
    endTick = tick;
    return true;
}

// The SMF inside a RIFF MIDI file, or the file itself.
bool Unwrap(const uint8_t*& data, size_t& size) {
    if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "RMID", 4) == 0) {
        size_t pos = 12;
        while (pos + 8 <= size) {
            const uint32_t len = Le32(data + pos + 4);
            if (std::memcmp(data + pos, "data", 4) == 0) {
                data += pos + 8;
                size = std::min<size_t>(len, size - pos - 8);
                return true;
            }
            pos += 8 + size_t(len) + (len & 1);
        }
        return false;
    }
    return true;
}

}  // namespace

bool LooksLikeMidi(const uint8_t* data, size_t size) {
    if (size >= 4 && std::memcmp(data, "MThd", 4) == 0) return true;
    return size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "RMID", 4) == 0;
}

Result ReadSong(const uint8_t* data, size_t size, Song& out) {
    out = Song();
    if (!LooksLikeMidi(data, size)) return Result::NotMidi;
    if (!Unwrap(data, size)) return Result::Damaged;
    if (size < 14 || std::memcmp(data, "MThd", 4) != 0) return Result::Damaged;
    const uint32_t headerLen = Be32(data + 4);
    if (headerLen < 6 || headerLen > size - 8) return Result::Damaged;
    out.format = Be16(data + 8);
    const int trackCount = Be16(data + 10);
    const uint16_t division = Be16(data + 12);
    if (out.format > 2 || division == 0) return Result::Damaged;

    std::vector<TickEvent> events;
    Texts texts;
    uint64_t typeTwoStart = 0;
    size_t pos = 8 + size_t(headerLen);
    int found = 0;
    while (found < trackCount && pos + 8 <= size) {
        const uint32_t len = Be32(data + pos + 4);
        const bool isTrack = std::memcmp(data + pos, "MTrk", 4) == 0;
        // A track longer than the file ends with the file.
        const size_t avail = std::min<size_t>(len, size - pos - 8);
        if (isTrack) {
            uint64_t endTick = 0;
            const uint64_t start = out.format == 2 ? typeTwoStart : 0;
            if (!ReadTrack(data + pos + 8, avail, start, found == 0, events, endTick, texts)) return Result::TooLarge;
            typeTwoStart = endTick;
            ++found;
        }
        pos += 8 + avail;
    }
    if (found == 0) return Result::Damaged;
    out.tracks = found;
    out.title = !texts.trackName.empty() ? texts.trackName : texts.firstText;
    out.copyright = texts.copyright;

    // Tracks merged by tick; at equal ticks the earlier track first.
    std::stable_sort(events.begin(), events.end(),
                     [](const TickEvent& a, const TickEvent& b) { return a.tick < b.tick; });
    const bool smpte = division & 0x8000;
    double secondsPerTick = 0;
    if (smpte) {
        const int fps = 256 - (division >> 8);
        const int perFrame = division & 0xFF;
        if (fps <= 0 || perFrame == 0) return Result::Damaged;
        secondsPerTick = 1.0 / ((fps == 29 ? 29.97 : fps) * perFrame);
    }
    const double ticksPerQuarter = division & 0x7FFF;
    uint32_t tempo = 500000;
    uint64_t lastTick = 0;
    double seconds = 0;
    out.events.reserve(events.size());
    for (const TickEvent& e : events) {
        const double perTick = smpte ? secondsPerTick : tempo / (1e6 * ticksPerQuarter);
        seconds += double(e.tick - lastTick) * perTick;
        lastTick = e.tick;
        if (e.status == 0xFF) {
            tempo = e.tempo;
            continue;
        }
        out.events.push_back({seconds, e.status, e.data1, e.data2});
    }
    out.lastEventSeconds = seconds;
    return Result::Ok;
}

}  // namespace midi
