#include "writer.h"

namespace midi_test {

void Event(Bytes& track, uint32_t delta, std::initializer_list<uint8_t> bytes) {
    uint8_t groups[5];
    int n = 0;
    do groups[n++] = delta & 0x7F, delta >>= 7;
    while (delta);
    while (n-- > 0) track.push_back(groups[n] | (n ? 0x80 : 0));
    track.insert(track.end(), bytes);
}

void Tempo(Bytes& track, uint32_t delta, uint32_t micros) {
    Event(track, delta, {0xFF, 0x51, 0x03, uint8_t(micros >> 16), uint8_t(micros >> 8), uint8_t(micros)});
}

Bytes Smf(int format, uint16_t division, const std::vector<Bytes>& tracks) {
    Bytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, uint8_t(format), 0, uint8_t(tracks.size()),
                 uint8_t(division >> 8), uint8_t(division)};
    for (const Bytes& t : tracks) {
        const uint32_t size = uint32_t(t.size() + 4);
        out.insert(out.end(), {'M', 'T', 'r', 'k', uint8_t(size >> 24), uint8_t(size >> 16), uint8_t(size >> 8)});
        out.push_back(uint8_t(size));
        out.insert(out.end(), t.begin(), t.end());
        out.insert(out.end(), {0x00, 0xFF, 0x2F, 0x00});
    }
    return out;
}

Bytes Rmid(const Bytes& smf) { return List("RIFF", "RMID", {Chunk("data", smf)}); }

void Put16(Bytes& out, uint32_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); }
void Put32(Bytes& out, uint32_t v) { Put16(out, v & 0xFFFF), Put16(out, v >> 16); }

Bytes Chunk(const char* id, const Bytes& body) {
    Bytes out(id, id + 4);
    Put32(out, uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() & 1) out.push_back(0);
    return out;
}

Bytes List(const char* kind, const char* form, const std::vector<Bytes>& parts) {
    Bytes body(form, form + 4);
    for (const Bytes& p : parts) body.insert(body.end(), p.begin(), p.end());
    return Chunk(kind, body);
}

}  // namespace midi_test
