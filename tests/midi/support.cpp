#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "midi/sequencer.h"
#include "midi/synth.h"

namespace midi_test {

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<float> RenderFile(const Bytes& file, const midi::Bank& bank) {
    midi::Song song;
    EXPECT_EQ(midi::ReadSong(file.data(), file.size(), song), midi::Result::Ok);
    return RenderSong(song, bank);
}

std::vector<float> RenderSong(const midi::Song& song, const midi::Bank& bank) {
    midi::Synth synth(bank, {kRate, false});
    midi::Sequencer sequencer(song, synth, kRate);
    std::vector<float> out(2 * sequencer.LengthFrames());
    size_t done = 0;
    for (size_t n = 1; n > 0 && done < out.size() / 2; done += n)
        n = sequencer.Render(&out[2 * done], std::min<size_t>(4096, out.size() / 2 - done));
    out.resize(2 * done);
    return out;
}

std::vector<double> Onsets(const std::vector<float>& stereo, float threshold, double gapSeconds) {
    std::vector<double> onsets;
    const size_t gap = size_t(gapSeconds * kRate);
    size_t quiet = gap;
    for (size_t i = 0; 2 * i + 1 < stereo.size(); ++i) {
        if (std::max(std::fabs(stereo[2 * i]), std::fabs(stereo[2 * i + 1])) < threshold) {
            ++quiet;
            continue;
        }
        if (quiet >= gap) onsets.push_back(double(i) / kRate);
        quiet = 0;
    }
    return onsets;
}

std::vector<double> RmsEnvelope(const std::vector<float>& stereo, double windowSeconds) {
    const size_t window = size_t(windowSeconds * kRate);
    std::vector<double> out;
    for (size_t start = 0; 2 * (start + window) <= stereo.size(); start += window) {
        double sum = 0;
        for (size_t i = 2 * start; i < 2 * (start + window); ++i) sum += double(stereo[i]) * stereo[i];
        out.push_back(std::sqrt(sum / double(2 * window)));
    }
    return out;
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const size_t n = std::min(a.size(), b.size());
    double ma = 0, mb = 0, ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) ma += a[i] / double(n), mb += b[i] / double(n);
    for (size_t i = 0; i < n; ++i)
        ab += (a[i] - ma) * (b[i] - mb), aa += (a[i] - ma) * (a[i] - ma), bb += (b[i] - mb) * (b[i] - mb);
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

double Frequency(const std::vector<float>& s, double from, double to) {
    int crossings = 0;
    double first = 0, last = 0;
    for (size_t i = size_t(from * kRate); i < size_t(to * kRate); ++i) {
        if (s[2 * i] < 0 && s[2 * i + 2] >= 0) {
            last = i + s[2 * i] / (s[2 * i] - s[2 * i + 2]);
            if (crossings++ == 0) first = last;
        }
    }
    return crossings > 1 ? (crossings - 1) * kRate / (last - first) : 0;
}

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

const midi::Bank& BuiltIn() {
    static const midi::Bank bank = midi::BuiltInBank();
    return bank;
}

}  // namespace midi_test
