// VAG files made here: a sine encoded block by block (the best filter and shift found by
// trying them all), decoded by a decoder written from the format's description below and
// by the library, mono and interleaved stereo; headers bent.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "engine_support.h"

using namespace engine;
using namespace enginetest;

namespace {

// PlayStation ADPCM: 16-byte blocks, byte 0 = filter << 4 | shift, byte 1 = flags, then 28
// nibbles, low first. Sample = (nibble << 12 as int16) >> shift + (s1 * f0 + s2 * f1) >> 6.
const int kF[5][2] = {{0, 0}, {60, 0}, {115, -52}, {98, -55}, {122, -60}};
const size_t kInterleave = 0x1000;

struct Channel {
    int s1 = 0, s2 = 0;
};

// The next sample from a nibble; the channel's history moves on.
int Predict(Channel& c, int filter, int nibble, int shift) {
    int v = (static_cast<int16_t>(nibble << 12) >> shift) + ((c.s1 * kF[filter][0] + c.s2 * kF[filter][1]) >> 6);
    v = std::clamp(v, -32768, 32767);
    return c.s2 = c.s1, c.s1 = v;
}

// Tries every filter and shift on 28 samples; writes the block with the least squared error.
void EncodeBlock(const int16_t* in, Channel& state, uint8_t* block) {
    double best = INFINITY;
    Channel after;
    for (int filter = 0; filter < 5; ++filter)
        for (int shift = 0; shift <= 12; ++shift) {
            Channel c = state;
            uint8_t out[16] = {static_cast<uint8_t>(filter << 4 | shift)};
            double error = 0;
            for (int i = 0; i < 28; ++i) {
                Channel alone = c;  // nibble 0: the prediction alone
                const double step = 4096.0 / (1 << shift);
                const long nibble = std::clamp(std::lround((in[i] - Predict(alone, filter, 0, shift)) / step), -8L, 7L);
                out[2 + i / 2] |= static_cast<uint8_t>((nibble & 15) << (i % 2 * 4));
                const int v = Predict(c, filter, static_cast<int>(nibble & 15), shift);
                error += double(v - in[i]) * (v - in[i]);
            }
            if (error < best) best = error, std::copy_n(out, 16, block), after = c;
        }
    state = after;
}

// One channel's blocks: the sine, then an end block (flags 7) unless `end` is false.
Bytes EncodeChannel(const std::vector<float>& samples, int channels, int channel, size_t blocks, bool end) {
    Bytes out(16 * (blocks + end));
    Channel state;
    for (size_t b = 0; b < blocks; ++b) {
        int16_t in[28];
        for (int i = 0; i < 28; ++i)
            in[i] = static_cast<int16_t>(std::lround(samples[(b * 28 + i) * channels + channel] * 32767));
        EncodeBlock(in, state, &out[16 * b]);
    }
    if (end) out[16 * blocks + 1] = 7;
    return out;
}

// Rows of 0x1000 bytes per channel; a shorter last row split evenly.
Bytes Interleave(const std::vector<Bytes>& channels) {
    Bytes out;
    for (size_t at = 0; at < channels[0].size(); at += kInterleave)
        for (const Bytes& c : channels)
            out.insert(out.end(), c.begin() + at, c.begin() + std::min(c.size(), at + kInterleave));
    return out;
}

Bytes VagFile(const Bytes& data, int channels, uint32_t rate, uint32_t declared, const std::string& name) {
    Bytes b{'V', 'A', 'G', 'p'};
    for (uint32_t v : {0x20u, 0u, declared, rate}) PutBe32(b, v);
    b.resize(0x30);
    b[0x1E] = static_cast<uint8_t>(channels);
    std::copy(name.begin(), name.end(), b.begin() + 0x20);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// The independent decoder: de-interleaves the rows, decodes each channel until flags 7.
std::vector<float> ReferenceDecode(const Bytes& file, int channels) {
    const Bytes data(file.begin() + 0x30, file.end());
    std::vector<Bytes> split(channels);
    for (size_t at = 0; at < data.size();) {
        const size_t part = std::min(kInterleave, (data.size() - at) / channels);
        for (int c = 0; c < channels; ++c, at += part)
            split[c].insert(split[c].end(), data.begin() + at, data.begin() + at + part);
    }
    std::vector<std::vector<int>> decoded(channels);
    for (int c = 0; c < channels; ++c) {
        Channel state;
        for (size_t b = 0; b + 16 <= split[c].size() && split[c][b + 1] != 7; b += 16)
            for (int i = 0; i < 28; ++i) {
                const int nibble = split[c][b + 2 + i / 2] >> (i % 2 * 4) & 15;
                decoded[c].push_back(Predict(state, split[c][b] >> 4, nibble, split[c][b] & 15));
            }
    }
    std::vector<float> out;
    for (size_t i = 0; i < decoded[0].size(); ++i)
        for (int c = 0; c < channels; ++c) out.push_back(decoded[c][i] / 32768.0f);
    return out;
}

}  // namespace

TEST(Vag, DecodesLikeTheReferenceFromTheStartAndAfterSeeks) {
    // Mono over several rows; stereo with two whole rows and a short one; one block alone.
    struct {
        int channels;
        uint32_t rate;
        size_t blocks;  // per channel
    } const cases[] = {{1, 22050, 700}, {2, 44100, 600}, {2, 8000, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.channels << " channels, " << c.blocks << " blocks");
        const std::vector<float> sine = Sine(440, c.rate, c.channels, static_cast<uint32_t>(c.blocks * 28));
        std::vector<Bytes> parts;
        for (int ch = 0; ch < c.channels; ++ch) parts.push_back(EncodeChannel(sine, c.channels, ch, c.blocks, true));
        const Bytes data = Interleave(parts);
        const Bytes file = VagFile(data, c.channels, c.rate, static_cast<uint32_t>(data.size()), "Ton VAG");
        const std::vector<float> reference = ReferenceDecode(file, c.channels);
        ASSERT_EQ(reference.size(), sine.size());
        EXPECT_GT(SnrDb(sine, reference), 25);  // the test's encoder and decoder agree with the sine

        auto opened = OpenBytes(file);
        ASSERT_EQ(opened->result, FMOD_OK);
        const StreamFormat& f = opened->sound.format;
        EXPECT_EQ(std::tuple(f.type, f.channels, f.sampleRate, f.lengthFrames),
                  std::tuple(FMOD_SOUND_TYPE_VAG, c.channels, c.rate, uint64_t(c.blocks * 28)));
        EXPECT_EQ(TagValue(opened->tags, "TITLE"), "Ton VAG");
        const uint64_t n = f.lengthFrames;
        const uint64_t secondRow = std::min<uint64_t>(7168 + 5, n);
        ExpectDecodesLike(*opened->sound.decoder, reference, 0, {n / 2 + 3, n - 1, secondRow, 0, n}, 9000);
    }
}

TEST(Vag, BentHeadersGiveShorterSoundsOrAreRefused) {
    const std::vector<float> sine = Sine(440, 22050, 1, 20 * 28);
    const Bytes data = EncodeChannel(sine, 1, 0, 20, false);
    Bytes early = data;
    early[16 * 5 + 1] = 7;  // an end block in the middle
    const uint32_t all = static_cast<uint32_t>(data.size());
    const Bytes whole = VagFile(data, 1, 22050, all, "");
    struct Bent {
        const char* what;
        Bytes file;
        FMOD_RESULT result;
        uint64_t frames;
    } cases[] = {
        {"size past the end", VagFile(data, 1, 22050, 0x7FFFFFF0, ""), FMOD_OK, 20 * 28},
        {"size not whole blocks", VagFile(data, 1, 22050, all - 9, ""), FMOD_OK, 19 * 28},
        {"file cut inside a block", VagFile(Bytes(data.begin(), data.end() - 3), 1, 22050, all, ""), FMOD_OK, 19 * 28},
        {"end block early", VagFile(early, 1, 22050, all, ""), FMOD_OK, 5 * 28},
        {"stereo, one block", VagFile(Bytes(data.begin(), data.begin() + 16), 2, 22050, all, ""), FMOD_ERR_FORMAT, 0},
        {"end block first", VagFile(Bytes(early.begin() + 80, early.end()), 1, 22050, all, ""), FMOD_ERR_FORMAT, 0},
        {"size 0", VagFile(data, 1, 22050, 0, ""), FMOD_ERR_FORMAT, 0},
        {"rate 0", VagFile(data, 1, 0, all, ""), FMOD_ERR_FORMAT, 0},
        {"header only", VagFile({}, 1, 22050, all, ""), FMOD_ERR_FORMAT, 0},
        {"header cut", Bytes(whole.begin(), whole.begin() + 40), FMOD_ERR_FORMAT, 0},
    };
    for (const Bent& c : cases) {
        SCOPED_TRACE(c.what);
        auto opened = OpenBytes(c.file);
        ASSERT_EQ(opened->result, c.result);
        if (c.result != FMOD_OK) continue;
        EXPECT_EQ(opened->sound.format.lengthFrames, c.frames);
        EXPECT_EQ(DecodeAll(*opened->sound.decoder).size(), c.frames);
        EXPECT_EQ(TagValue(opened->tags, "TITLE"), "<none>");
    }
}
