// ADTS frames written here: header fields, bounds and decoder configuration; the splitter
// fed in pieces through garbage, a false sync, a CRC and a cut-off end; the probe.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "formats/adts_frames.h"
#include "formats/system_decoders.h"

using namespace engine;
using namespace enginetest;

namespace {

struct FrameFields {
    int profile = 1, rateIndex = 4, channelConfig = 2;  // LC, 44.1 kHz, stereo
    size_t payload = 20;
    bool crc = false;
    int rawBlocks = 1, layer = 0;
    uint8_t fill = 0x11;
};

// 12 sync bits, ID, layer, protection absent, profile, rate, private, channels, 4 flags,
// 13-bit length, 11-bit fullness (all ones), raw blocks less one; the CRC; the payload.
Bytes Frame(const FrameFields& s) {
    const size_t length = (s.crc ? 9 : 7) + s.payload;
    Bytes f = {0xFF, uint8_t(0xF0 | s.layer << 1 | !s.crc), uint8_t(s.profile << 6 | s.rateIndex << 2 | s.channelConfig >> 2),
               uint8_t((s.channelConfig & 3) << 6 | length >> 11), uint8_t(length >> 3), uint8_t((length & 7) << 5 | 0x1F),
               uint8_t(0xFC | (s.rawBlocks - 1))};
    if (s.crc) f.insert(f.end(), {0xAB, 0xCD});
    f.insert(f.end(), s.payload, s.fill);
    return f;
}

}  // namespace

TEST(AdtsFrames, HeaderFieldsBoundsAndDecoderConfiguration) {
    // The configurations are those MP4 writers store for these streams (LC 44.1 kHz stereo: 12 10).
    const struct {
        FrameFields fields;
        int channels;
        uint32_t rate;
        size_t headerBytes;
        std::array<uint8_t, 2> config;
    } good[] = {{{}, 2, 44100, 7, {0x12, 0x10}},
                {{.profile = 0, .rateIndex = 3, .channelConfig = 1, .crc = true}, 1, 48000, 9, {0x09, 0x88}},
                {{.rateIndex = 7, .payload = 2 * 768}, 2, 22050, 7, {0x13, 0x90}},
                {{.rateIndex = 12, .channelConfig = 7, .payload = 8 * 768}, 8, 7350, 7, {0x16, 0x38}}};
    for (const auto& c : good) {
        AdtsHeader h;
        ASSERT_TRUE(ParseAdtsHeader(Frame(c.fields).data(), h)) << c.rate;
        uint8_t config[2];
        AdtsDecoderConfig(h, config);
        EXPECT_EQ(std::tuple(h.channels, h.sampleRate, h.headerBytes, h.frameBytes, config[0], config[1]),
                  std::tuple(c.channels, c.rate, c.headerBytes, Frame(c.fields).size(), c.config[0], c.config[1]));
    }
    // Longer than one channel's raw frame can be, empty, a reserved rate, the layout in the payload, layer 1.
    const FrameFields bad[] = {{.channelConfig = 1, .payload = 771}, {.payload = 0}, {.rateIndex = 13}, {.channelConfig = 0},
                             {.layer = 1}};
    for (const FrameFields& fields : bad) {
        AdtsHeader h;
        EXPECT_FALSE(ParseAdtsHeader(Frame(fields).data(), h)) << fields.payload << " " << fields.rateIndex;
    }
}

TEST(AdtsFrames, SplitterFindsEveryFrameInPiecesThroughDamage) {
    // Garbage with a false sync (length 16, nothing behind it), frames (one with a CRC, one of
    // two raw frames, which is left out), garbage, and a last frame cut off by the end.
    Bytes stream = {0x00, 0xFF, 0xF1, 0x50, 0x80, 0x02, 0x1F, 0xFC, 0x42}, cut = Frame({.payload = 100});
    const size_t garbage = stream.size() + 4;
    std::vector<Bytes> payloads;
    for (int i = 0; i < 12; ++i) {
        const FrameFields fields{.payload = size_t(10 + 37 * i % 200), .crc = i == 3, .rawBlocks = i == 5 ? 2 : 1, .fill = uint8_t(i)};
        if (i == 8) stream.insert(stream.end(), {0xFF, 0xFF, 0x12, 0x34});
        const Bytes f = Frame(fields);
        stream.insert(stream.end(), f.begin(), f.end());
        if (i != 5) payloads.push_back(Bytes(fields.payload, uint8_t(i)));
    }
    EXPECT_EQ(ProbeAdts(stream.data(), stream.size()), 45);  // a run of three, not from the first byte
    EXPECT_EQ(ProbeAdts(stream.data() + 9, stream.size() - 9), 60);
    stream.insert(stream.end(), cut.begin(), cut.begin() + 50);
    for (size_t piece : {size_t(1), size_t(7), size_t(333), stream.size()}) {
        AdtsSplitter splitter;
        std::vector<Bytes> got;
        AdtsFrame frame;
        for (size_t at = 0; at <= stream.size(); at += piece) {
            splitter.Push(stream.data() + at, std::min(piece, stream.size() - at));
            while (splitter.Next(frame, at + piece > stream.size())) got.emplace_back(frame.payload, frame.payload + frame.payloadBytes);
        }
        EXPECT_EQ(got, payloads) << piece;
        EXPECT_EQ(std::tuple(splitter.DroppedFrames(), splitter.SkippedBytes()), std::tuple(1u, garbage + 50)) << piece;
    }
}
