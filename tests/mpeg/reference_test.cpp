// Our decoder against libmpg123: the fixtures, layer I from our own writer (no common tool
// writes it), free format and intensity stereo made by rewriting headers. Same format and
// sample count, a signal-to-noise floor per layer with and without the SIMD kernels,
// whatever the pieces the bytes arrive in; and the length read from the first 16 kB: exact
// with an Info frame (trimmed, our PCM is the reference's gapless PCM), else within a frame.
#include <gtest/gtest.h>

#include "layer1_writer.h"
#include "mpeg/mpeg_stream.h"
#include "reference_decoder.h"
#include "simd.h"
#include "test_support.h"

namespace {

struct Case {
    std::string name;
    std::vector<uint8_t> data;
    double minSnrDb;
    int channels, sampleRate;
    bool exact;                  // an Info or Xing frame gives the length
    std::vector<size_t> chunks;  // piece sizes that must give the same samples
    std::vector<uint8_t> referenceInput = {};  // what libmpg123 decodes, when not `data`
};

Case Fixture(const char* file, double snr, int channels, int rate, bool exact, std::vector<size_t> chunks = {}) {
    return {file, LoadFixture(file), snr, channels, rate, exact, chunks};
}

Case Layer1(const char* name, mpeg::ChannelMode mode, int modeExtension, int rateIndex, int frames = 200,
            std::vector<size_t> chunks = {}) {
    const int rates[] = {44100, 48000, 32000};
    const std::vector<uint8_t> data = WriteLayer1({rateIndex, mode, modeExtension, frames});
    return {name, data, 96, mode == mpeg::ChannelMode::Mono ? 1 : 2, rates[rateIndex], false, chunks};
}

void ExpectLength(const Case& c, const ReferencePcm& plain, const OurPcm& ours) {
    const size_t ch = static_cast<size_t>(c.channels);
    mpeg::StreamInfo info;  // only the start is at hand, as when a player opens a file without reading it
    ASSERT_TRUE(mpeg::ReadStreamInfo(c.data.data(), std::min<size_t>(c.data.size(), 16384), c.data.size(), info));
    ASSERT_EQ(info.exact, c.exact);
    if (!c.exact) {
        const int64_t off = static_cast<int64_t>(info.length) - static_cast<int64_t>(plain.samples.size() / ch);
        EXPECT_LE(std::llabs(off), info.header.samplesPerFrame) << "estimated length off by " << off;
        return;
    }
    const ReferencePcm gapless = DecodeWithReference(c.data, true);
    EXPECT_EQ(info.length * ch, gapless.samples.size());
    EXPECT_EQ(static_cast<uint64_t>(ours.frames), info.frames);
    ASSERT_GE(ours.samples.size(), (info.skipStart + info.length) * ch);
    const std::vector<float> trimmed(ours.samples.begin() + static_cast<long>(info.skipStart * ch),
                                     ours.samples.begin() + static_cast<long>((info.skipStart + info.length) * ch));
    EXPECT_GE(SnrDb(gapless.samples, trimmed), 90.0);
}

TEST(Reference, EveryStreamMatchesLibmpg123WithAndWithoutSimdAndKnowsItsLength) {
    using M = mpeg::ChannelMode;
    const Case cases[] = {
        Fixture("l3_cbr128.mp3", 90, 2, 44100, true), Fixture("l3_vbr.mp3", 90, 2, 44100, true, {1, 7, 418, 4096}),
        Fixture("l3_notag.mp3", 90, 2, 44100, false), Fixture("l3_stereo48.mp3", 90, 2, 48000, true),
        Fixture("l3_dual.mp3", 90, 2, 44100, true), Fixture("l3_mono.mp3", 90, 1, 44100, true),
        Fixture("l3_mpeg2.mp3", 90, 2, 22050, true),
        Fixture("l3_mpeg25.mp3", 90, 1, 8000, false, {1, 5}),  // frames of 144 bytes leave no room for an Info frame
        Fixture("l3_32k320.mp3", 90, 2, 32000, true), Fixture("l3_crc.mp3", 90, 2, 44100, true),
        Fixture("l2_192.mp2", 96, 2, 44100, false, {1, 13}), Fixture("l2_crc.mp2", 96, 2, 44100, false),
        Fixture("l2_stereo48.mp2", 96, 2, 48000, false), Fixture("l2_dual.mp2", 96, 2, 44100, false),
        Fixture("l2_mono.mp2", 96, 1, 44100, false), Fixture("l2_lowrate.mp2", 96, 2, 44100, false),
        Fixture("l2_mpeg2.mp2", 96, 2, 22050, false),
        // The decoder learns a free-format frame's size from the distance between headers.
        {"l2_192 as free format", Rewritten(LoadFixture("l2_192.mp2"), Rewrite::FreeFormat), 96, 2, 44100, false, {1000},
         LoadFixture("l2_192.mp2")},
        // No encoder at hand writes intensity stereo, but a joint-stereo stream read with the
        // intensity bit set is one: the right channel's scalefactors then act as positions.
        {"l3_cbr128 intensity", Rewritten(LoadFixture("l3_cbr128.mp3"), Rewrite::IntensityStereo), 90, 2, 44100, true},
        Layer1("layer I stereo", M::Stereo, 0, 0), Layer1("layer I joint from 8", M::JointStereo, 1, 0),
        Layer1("layer I joint from 16", M::JointStereo, 3, 0), Layer1("layer I mono", M::Mono, 0, 0),
        Layer1("layer I dual 48k", M::DualChannel, 0, 1), Layer1("layer I 32k", M::Stereo, 0, 2, 40, {1}),
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.data.empty());
        const ReferencePcm reference = DecodeWithReference(c.referenceInput.empty() ? c.data : c.referenceInput, false);
        ASSERT_TRUE(reference.ok);
        for (bool simd : {true, false}) {  // the eight-lane kernels are chosen by processor; the plain ones must match too
            mpeg::SimdAllowed() = simd;
            const OurPcm ours = DecodeWithOurs(c.data);
            mpeg::SimdAllowed() = true;
            EXPECT_EQ(std::tie(ours.channels, ours.sampleRate), std::tie(c.channels, c.sampleRate));
            EXPECT_EQ(reference.channels, ours.channels);
            EXPECT_TRUE(ours.damaged.empty());
            EXPECT_EQ(ours.samples.size(), reference.samples.size());
            EXPECT_GE(SnrDb(reference.samples, ours.samples), c.minSnrDb) << (simd ? "simd" : "plain");
            if (!simd) continue;
            for (size_t chunk : c.chunks) EXPECT_TRUE(DecodeWithOurs(c.data, chunk).samples == ours.samples) << "chunk " << chunk;
            ExpectLength(c, reference, ours);
        }
    }
    const OurPcm free = DecodeWithOurs(LoadFixture("l2_free.mp2"), 100);  // free format as the encoder wrote it
    EXPECT_TRUE(free.frames > 0 && free.damaged.empty());
}

// At low sampling rates the right channel's scalefactors are coded differently under
// intensity stereo, so the rewritten stream has frames whose scalefactors overrun their
// bits. Decoders treat such broken frames each in their own way (we play silence, the
// reference repeats older output); the comparison leaves them and the two frames their
// transforms reach into out.
TEST(Reference, IntensityStereoAtLowRatesMatchesOutsideBrokenFrames) {
    const std::vector<uint8_t> data = Rewritten(LoadFixture("l3_mpeg2.mp3"), Rewrite::IntensityStereo);
    const ReferencePcm reference = DecodeWithReference(data, false);
    const OurPcm ours = DecodeWithOurs(data);
    ASSERT_EQ(ours.samples.size(), reference.samples.size());
    ASSERT_LT(ours.damaged.size(), static_cast<size_t>(ours.frames / 10));
    const long frameFloats = 576 * 2;
    std::vector<float> a, b;
    for (long f = 0; f < ours.frames; ++f) {
        if (std::any_of(ours.damaged.begin(), ours.damaged.end(), [f](int d) { return f >= d && f <= d + 2; })) continue;
        a.insert(a.end(), reference.samples.begin() + f * frameFloats, reference.samples.begin() + (f + 1) * frameFloats);
        b.insert(b.end(), ours.samples.begin() + f * frameFloats, ours.samples.begin() + (f + 1) * frameFloats);
    }
    EXPECT_GE(SnrDb(a, b), 90.0) << ours.damaged.size() << " broken frames left out";
}

}  // namespace
