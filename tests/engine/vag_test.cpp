// VAG files written here, decoded exactly as the test's own decoder does, mono and stereo; headers bent.
#include <gtest/gtest.h>

#include <tuple>

#include "engine_support.h"

using namespace engine;
using namespace enginetest;

namespace {

// PlayStation ADPCM: 16-byte blocks, byte 0 = filter << 4 | shift, byte 1 = flags (7: end), then
// 28 nibbles, low first. Sample = (nibble << 12 as int16) >> shift + (s1 * f0 + s2 * f1) >> 6.
const int kF[5][2] = {{0, 0}, {60, 0}, {115, -52}, {98, -55}, {122, -60}};
struct History { int s1 = 0, s2 = 0; };

int Predict(History& h, int filter, int nibble, int shift) {
    int v = (static_cast<int16_t>(nibble << 12) >> shift) + ((h.s1 * kF[filter][0] + h.s2 * kF[filter][1]) >> 6);
    v = std::clamp(v, -32768, 32767);
    return h.s2 = h.s1, h.s1 = v;
}

// `blocks` blocks of pseudo-random nibbles (clamping often), filter and shift taking every
// value in turn, then an end block unless `end` is false.
Bytes Blocks(size_t blocks, bool end, uint32_t seed) {
    Bytes out(16 * (blocks + end));
    for (uint8_t& byte : out) byte = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 16);
    for (size_t b = 0; b < blocks; ++b) out[16 * b] = static_cast<uint8_t>(b % 5 << 4 | b % 13), out[16 * b + 1] = 0;
    if (end) out[16 * blocks + 1] = 7;
    return out;
}

// The test's decoder, per channel until the end block; interleaved floats.
std::vector<float> ReferenceDecode(const std::vector<Bytes>& parts) {
    std::vector<float> out;
    for (size_t c = 0; c < parts.size(); ++c) {
        History h;
        size_t at = c;
        for (size_t b = 0; b + 16 <= parts[c].size() && parts[c][b + 1] != 7; b += 16)
            for (int i = 0; i < 28; ++i, at += parts.size()) {
                if (at >= out.size()) out.resize(at + 1);
                out[at] = Predict(h, parts[c][b] >> 4, parts[c][b + 2 + i / 2] >> (i % 2 * 4) & 15, parts[c][b] & 15) / 32768.0f;
            }
    }
    return out;
}

// Header, then rows of 0x1000 bytes per channel (a shorter last row split evenly).
Bytes VagFile(const std::vector<Bytes>& parts, uint32_t rate, uint32_t declared, const std::string& name = "") {
    Bytes b{'V', 'A', 'G', 'p'};
    for (uint32_t v : {0x20u, 0u, declared, rate}) PutBe32(b, v);
    b.resize(0x30);
    b[0x1E] = static_cast<uint8_t>(parts.size());
    std::copy(name.begin(), name.end(), b.begin() + 0x20);
    for (size_t at = 0; at < parts[0].size(); at += 0x1000)
        for (const Bytes& p : parts) b.insert(b.end(), p.begin() + at, p.begin() + std::min(p.size(), at + 0x1000));
    return b;
}

}  // namespace

TEST(Vag, DecodesLikeTheReferenceFromTheStartAndAfterSeeks) {
    // Mono over several rows; stereo with two whole rows and a short one; one block alone.
    const std::tuple<int, uint32_t, size_t> cases[] = {{1, 22050, 700}, {2, 44100, 600}, {2, 8000, 1}};
    for (const auto& [channels, rate, blocks] : cases) {
        SCOPED_TRACE(testing::Message() << channels << " channels, " << blocks << " blocks");
        std::vector<Bytes> parts;
        for (int ch = 0; ch < channels; ++ch) parts.push_back(Blocks(blocks, true, 17 + ch));
        const std::vector<float> reference = ReferenceDecode(parts);
        auto opened = OpenBytes(VagFile(parts, rate, static_cast<uint32_t>(parts[0].size() * channels), "Ton VAG"));
        ASSERT_EQ(opened->result, FMOD_OK);
        const StreamFormat& f = opened->sound.format;
        EXPECT_EQ(std::tuple(f.type, f.channels, f.sampleRate, f.lengthFrames),
                  std::tuple(FMOD_SOUND_TYPE_VAG, channels, rate, uint64_t(blocks * 28)));
        EXPECT_EQ(TagValue(opened->tags, "TITLE"), "Ton VAG");
        const uint64_t n = f.lengthFrames, secondRow = std::min<uint64_t>(7168 + 5, n);
        ExpectDecodesLike(*opened->sound.decoder, reference, 0, {n / 2 + 3, n - 1, secondRow, 0, n}, 9000);
    }
}

TEST(Vag, BentHeadersGiveShorterSoundsOrAreRefused) {
    const Bytes data = Blocks(20, false, 5);
    Bytes early = data;
    early[16 * 5 + 1] = 7;  // an end block in the middle
    const uint32_t all = static_cast<uint32_t>(data.size());
    const Bytes whole = VagFile({data}, 22050, all), half(data.begin(), data.begin() + 8);
    const std::tuple<const char*, Bytes, FMOD_RESULT, uint64_t> cases[] = {
        {"size past the end", VagFile({data}, 22050, 0x7FFFFFF0), FMOD_OK, 20 * 28},
        {"size not whole blocks", VagFile({data}, 22050, all - 9), FMOD_OK, 19 * 28},
        {"file cut inside a block", Bytes(whole.begin(), whole.end() - 3), FMOD_OK, 19 * 28},
        {"end block early", VagFile({early}, 22050, all), FMOD_OK, 5 * 28},
        {"stereo, one block", VagFile({half, half}, 22050, all), FMOD_ERR_FORMAT, 0},
        {"end block first", VagFile({Bytes(early.begin() + 80, early.end())}, 22050, all), FMOD_ERR_FORMAT, 0},
        {"size 0", VagFile({data}, 22050, 0), FMOD_ERR_FORMAT, 0},
        {"rate 0", VagFile({data}, 0, all), FMOD_ERR_FORMAT, 0},
        {"header only", VagFile({{}}, 22050, all), FMOD_ERR_FORMAT, 0},
        {"header cut", Bytes(whole.begin(), whole.begin() + 40), FMOD_ERR_FORMAT, 0},
    };
    for (const auto& [what, file, result, frames] : cases) {
        SCOPED_TRACE(what);
        auto opened = OpenBytes(file);
        ASSERT_EQ(opened->result, result);
        if (result != FMOD_OK) continue;
        EXPECT_EQ(std::pair(opened->sound.format.lengthFrames, uint64_t(DecodeAll(*opened->sound.decoder).size())),
                  std::pair(frames, frames));
        EXPECT_EQ(TagValue(opened->tags, "TITLE"), "<none>");
    }
}
