// ADTS frames written here: header fields, bounds, the decoder's configuration, and the
// splitter fed in pieces through garbage, a false sync, CRCs and a cut-off end.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "formats/adts_frames.h"
#include "formats/system_decoders.h"

using namespace engine;
using namespace enginetest;

namespace {

struct FrameSpec {
    int profile = 1, rateIndex = 4, channelConfig = 2;  // LC, 44.1 kHz, stereo
    size_t payload = 20;
    bool crc = false;
    int rawBlocks = 1;
    uint8_t fill = 0x11;
    int layer = 0;
};

// Header fields packed by hand: 12 sync bits, ID, layer, protection absent, profile, rate,
// private, channels, 4 flag bits, 13-bit length, 11-bit fullness (0x7FF), blocks - 1.
Bytes Frame(const FrameSpec& s) {
    const size_t header = s.crc ? 9 : 7, length = header + s.payload;
    Bytes f = {0xFF, static_cast<uint8_t>(0xF0 | s.layer << 1 | !s.crc),
               static_cast<uint8_t>(s.profile << 6 | s.rateIndex << 2 | s.channelConfig >> 2),
               static_cast<uint8_t>((s.channelConfig & 3) << 6 | length >> 11), static_cast<uint8_t>(length >> 3),
               static_cast<uint8_t>((length & 7) << 5 | 0x1F), static_cast<uint8_t>(0xFC | (s.rawBlocks - 1))};
    if (s.crc) f.push_back(0xAB), f.push_back(0xCD);
    f.insert(f.end(), s.payload, s.fill);
    return f;
}

void Append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

}  // namespace

TEST(AdtsFrames, HeaderFieldsAndBounds) {
    struct Case {
        FrameSpec spec;
        bool ok;
        int objectType, channels;
        uint32_t rate;
        size_t headerBytes;
    };
    const Case cases[] = {
        {{}, true, 2, 2, 44100, 7},
        {{.profile = 0, .rateIndex = 3, .channelConfig = 1, .crc = true}, true, 1, 1, 48000, 9},
        {{.rateIndex = 12, .channelConfig = 7, .payload = 8 * 768}, true, 2, 8, 7350, 7},
        {{.channelConfig = 1, .payload = 768}, true, 2, 1, 44100, 7},
        {{.channelConfig = 1, .payload = 771}, false, 0, 0, 0, 0},  // longer than one channel's raw frame
        {{.payload = 0}, false, 0, 0, 0, 0},                        // nothing behind the header
        {{.rateIndex = 13}, false, 0, 0, 0, 0},
        {{.channelConfig = 0}, false, 0, 0, 0, 0},
        {{.layer = 1}, false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const Bytes f = Frame(c.spec);
        AdtsHeader h;
        ASSERT_EQ(ParseAdtsHeader(f.data(), h), c.ok) << c.spec.rateIndex << " " << c.spec.payload;
        if (!c.ok) continue;
        EXPECT_EQ(std::tuple(h.objectType, h.channels, h.sampleRate, h.headerBytes, h.frameBytes),
                  std::tuple(c.objectType, c.channels, c.rate, c.headerBytes, f.size()));
    }
}

TEST(AdtsFrames, AudioSpecificConfigOfKnownStreams) {
    // LC 44.1 kHz stereo is 12 10 in every MP4 writer's output; LC 48 kHz mono 11 88; LC 22.05 kHz stereo 13 90.
    const std::pair<FrameSpec, std::array<uint8_t, 2>> cases[] = {
        {{}, {0x12, 0x10}}, {{.rateIndex = 3, .channelConfig = 1}, {0x11, 0x88}}, {{.rateIndex = 7}, {0x13, 0x90}}};
    for (const auto& [spec, want] : cases) {
        AdtsHeader h;
        ASSERT_TRUE(ParseAdtsHeader(Frame(spec).data(), h));
        uint8_t config[2];
        AdtsAudioSpecificConfig(h, config);
        EXPECT_EQ((std::array<uint8_t, 2>{config[0], config[1]}), want);
    }
}

TEST(AdtsFrames, SplitterFindsEveryFrameInPiecesThroughDamage) {
    // Garbage with a false sync, frames (one with a CRC, one of two raw frames, which is left
    // out), garbage again, and a last frame cut off by the end.
    Bytes stream = {0x00, 0xFF, 0xF1, 0x50, 0x80, 0x02, 0x1F, 0xFC, 0x42};
    const size_t garbage = stream.size();
    std::vector<Bytes> payloads;
    for (int i = 0; i < 12; ++i) {
        FrameSpec spec{.payload = size_t(10 + 37 * i % 200), .crc = i == 3, .rawBlocks = i == 5 ? 2 : 1,
                       .fill = uint8_t(i)};
        if (i == 8) Append(stream, {0xFF, 0xFF, 0x12, 0x34});
        Append(stream, Frame(spec));
        if (i != 5) payloads.push_back(Bytes(spec.payload, uint8_t(i)));
    }
    Bytes cut = Frame({.payload = 100});
    cut.resize(50);
    Append(stream, cut);
    for (size_t piece : {size_t(1), size_t(7), size_t(333), stream.size()}) {
        SCOPED_TRACE(piece);
        AdtsSplitter splitter;
        std::vector<Bytes> got;
        AdtsFrame frame;
        for (size_t at = 0; at < stream.size(); at += piece) {
            splitter.Push(stream.data() + at, std::min(piece, stream.size() - at));
            while (splitter.Next(frame)) got.emplace_back(frame.payload, frame.payload + frame.payloadBytes);
        }
        while (splitter.Next(frame, true)) got.emplace_back(frame.payload, frame.payload + frame.payloadBytes);
        EXPECT_EQ(got, payloads);
        EXPECT_EQ(splitter.DroppedFrames(), 1u);
        EXPECT_EQ(splitter.SkippedBytes(), garbage + 4 + cut.size());
    }
}

TEST(AdtsFrames, ProbeFromTheStartOrMidStream) {
    Bytes frames;
    for (int i = 0; i < 4; ++i) Append(frames, Frame({.payload = 300}));
    Bytes joined(frames.begin() + 123, frames.end());
    Bytes one = Frame({.payload = 300});
    EXPECT_EQ(ProbeAdts(frames.data(), frames.size()), 60);
    EXPECT_EQ(ProbeAdts(joined.data(), joined.size()), 45);
    EXPECT_EQ(ProbeAdts(one.data(), one.size()), 0);  // no second header to confirm it
}
