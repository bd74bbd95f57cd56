#include "smf_writer.h"

namespace midi_test {
namespace {

void Be32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}
void Le32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(v >> shift));
}

}  // namespace

void TrackWriter::Number(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = value & 0x7F;
        value >>= 7;
    } while (value);
    while (n-- > 0) out.push_back(groups[n] | (n ? 0x80 : 0));
}

void TrackWriter::Message(uint32_t delta, uint8_t status, uint8_t d1, uint8_t d2) {
    Number(bytes_, delta);
    if (!running_ || status != last_) bytes_.push_back(status);
    last_ = status;
    bytes_.push_back(d1);
    if ((status & 0xE0) != 0xC0) bytes_.push_back(d2);
}

void TrackWriter::Tempo(uint32_t delta, uint32_t micros) {
    Number(bytes_, delta);
    bytes_.insert(bytes_.end(), {0xFF, 0x51, 0x03, uint8_t(micros >> 16), uint8_t(micros >> 8), uint8_t(micros)});
}

void TrackWriter::Meta(uint32_t delta, uint8_t type, const std::string& text) {
    Number(bytes_, delta);
    bytes_.push_back(0xFF);
    bytes_.push_back(type);
    Number(bytes_, uint32_t(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void TrackWriter::SysEx(uint32_t delta, const std::vector<uint8_t>& body) {
    Number(bytes_, delta);
    bytes_.push_back(0xF0);
    Number(bytes_, uint32_t(body.size()));
    bytes_.insert(bytes_.end(), body.begin(), body.end());
    last_ = 0;
}

void TrackWriter::Raw(const std::vector<uint8_t>& bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }

std::vector<uint8_t> TrackWriter::Finish() {
    std::vector<uint8_t> out = bytes_;
    out.insert(out.end(), {0x00, 0xFF, 0x2F, 0x00});
    return out;
}

std::vector<uint8_t> Smf(int format, uint16_t division, const std::vector<std::vector<uint8_t>>& tracks) {
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, uint8_t(format), 0, uint8_t(tracks.size()),
                                uint8_t(division >> 8), uint8_t(division)};
    for (const auto& t : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        Be32(out, uint32_t(t.size()));
        out.insert(out.end(), t.begin(), t.end());
    }
    return out;
}

std::vector<uint8_t> Rmid(const std::vector<uint8_t>& smf) {
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    Le32(out, uint32_t(12 + smf.size() + (smf.size() & 1)));
    out.insert(out.end(), {'R', 'M', 'I', 'D', 'd', 'a', 't', 'a'});
    Le32(out, uint32_t(smf.size()));
    out.insert(out.end(), smf.begin(), smf.end());
    if (smf.size() & 1) out.push_back(0);
    return out;
}

}  // namespace midi_test
