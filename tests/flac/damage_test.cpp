// Damaged input: cut-off files, flipped bits, junk between frames. Decoding runs to the end,
// and whatever frames come out are exactly libFLAC's samples at their positions.
#include <gtest/gtest.h>

#include <random>

#include "fixtures.h"
#include "reference_decoder.h"

namespace {

struct Checked {
    flac::Result result = flac::Result::Ok;
    uint64_t samplesOut = 0;  // per channel
    uint64_t skipped = 0;
};

// Decodes in pieces and checks each frame against the reference at the frame's own position.
Checked DecodeAndCheckFrames(const std::vector<uint8_t>& file, const ReferenceAudio& ref, size_t chunk) {
    Checked c;
    flac::StreamDecoder decoder;
    c.result = FeedInChunks(decoder, file, chunk, [&](const flac::DecodedFrame& f) {
        size_t at = size_t(f.header.firstSample) * ref.channels;
        ASSERT_LE(at + f.samples.size(), ref.samples.size());
        EXPECT_TRUE(std::equal(f.samples.begin(), f.samples.end(), ref.samples.begin() + ptrdiff_t(at)))
            << "frame at sample " << f.header.firstSample;
        c.samplesOut += f.header.blockSize;
    });
    c.skipped = decoder.skippedFrames();
    return c;
}

struct Damaged {
    std::string what;
    std::vector<uint8_t> bytes;
    uint64_t minSamples, maxSamples;  // per channel, what may come out
};

TEST(FlacDamage, DecodingLosesOnlyTheFramesTheDamageHits) {
    const std::vector<uint8_t> file = ReadFixture("s16_stereo_44k");
    const ReferenceAudio ref = DecodeWithLibFlac(file);
    ASSERT_TRUE(ref.ok);
    flac::Metadata meta;
    ASSERT_EQ(flac::ReadMetadata(file.data(), file.size(), meta), flac::Result::Ok);
    const size_t audio = size_t(meta.audioOffset);
    const uint64_t total = meta.info.totalSamples, block = meta.info.maxBlockSize;
    std::mt19937 random(7);
    std::vector<Damaged> cases;

    std::vector<size_t> cuts = {audio, audio + 1, file.size() - 1, file.size() - 2};
    for (int i = 0; i < 12; ++i)
        cuts.push_back(audio + random() % (file.size() - audio));
    for (size_t cut : cuts) {  // only the frame the cut went through is lost
        const uint64_t before = total * (cut - audio) / (file.size() - audio);
        cases.push_back({"cut at " + std::to_string(cut), {file.begin(), file.begin() + ptrdiff_t(cut)},
                         before > 2 * block ? before - 2 * block : 0, total - 1});
    }
    for (int flips = 1; flips <= 5; ++flips) {
        Damaged d{std::to_string(flips) + " flipped bits", file, total - flips * block, total - 1};
        for (int i = 0; i < flips; ++i)
            d.bytes[audio + random() % (file.size() - audio)] ^= uint8_t(1u << (random() % 8));
        cases.push_back(d);
    }
    // Junk that even contains sync codes, after the headers and between the first two frames.
    flac::FrameScratch scratch;
    flac::DecodedFrame frame;
    ASSERT_EQ(flac::DecodeFrame(&file[audio], file.size() - audio, meta.info, scratch, frame), flac::Result::Ok);
    const std::vector<uint8_t> junk = {0xFF, 0xF8, 0x12, 0x34, 0x00, 0xFF, 0xFF, 0xF9, 0xC9, 0x18, 0x00, 0xC2, 0xFF};
    Damaged withJunk{"junk", file, total, total};
    withJunk.bytes.insert(withJunk.bytes.begin() + ptrdiff_t(audio + frame.frameBytes), junk.begin(), junk.end());
    withJunk.bytes.insert(withJunk.bytes.begin() + ptrdiff_t(audio), junk.begin(), junk.end());
    cases.push_back(withJunk);

    for (const Damaged& d : cases) {
        for (size_t chunk : {size_t(3000), d.bytes.size()}) {
            SCOPED_TRACE(d.what + ", pieces of " + std::to_string(chunk));
            const Checked c = DecodeAndCheckFrames(d.bytes, ref, chunk);
            EXPECT_EQ(c.result, flac::Result::EndOfStream);
            EXPECT_GE(c.samplesOut, d.minSamples);
            EXPECT_LE(c.samplesOut, d.maxSamples);
        }
    }
}

}  // namespace
