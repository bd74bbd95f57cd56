// Damaged input: cut-off files, flipped bits, junk between frames. Decoding ends or skips,
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
        EXPECT_LE(at + f.samples.size(), ref.samples.size());
        if (at + f.samples.size() <= ref.samples.size()) {
            EXPECT_TRUE(std::equal(f.samples.begin(), f.samples.end(), ref.samples.begin() + ptrdiff_t(at)))
                << "frame at sample " << f.header.firstSample;
        }
        c.samplesOut += f.header.blockSize;
    });
    c.skipped = decoder.skippedFrames();
    return c;
}

class FlacDamage : public testing::Test {
protected:
    void SetUp() override {
        file = ReadFixture("s16_stereo_44k");
        ref = DecodeWithLibFlac(file);
        ASSERT_TRUE(ref.ok);
        ASSERT_EQ(flac::ReadMetadata(file.data(), file.size(), meta), flac::Result::Ok);
    }
    std::vector<uint8_t> file;
    ReferenceAudio ref;
    flac::Metadata meta;
};

TEST_F(FlacDamage, CutOffFileGivesAShorterTrack) {
    std::mt19937 random(7);
    std::vector<size_t> cuts = {size_t(meta.audioOffset), size_t(meta.audioOffset) + 1, file.size() - 1, file.size() - 2};
    for (int i = 0; i < 12; ++i)
        cuts.push_back(size_t(meta.audioOffset) + random() % (file.size() - meta.audioOffset));
    for (size_t cut : cuts) {
        std::vector<uint8_t> part(file.begin(), file.begin() + ptrdiff_t(cut));
        for (size_t chunk : {size_t(4096), part.size()}) {
            Checked c = DecodeAndCheckFrames(part, ref, chunk);
            EXPECT_EQ(c.result, flac::Result::EndOfStream) << "cut " << cut;
            EXPECT_LT(c.samplesOut, meta.info.totalSamples) << "cut " << cut;
            // Only the frame the cut went through is lost.
            EXPECT_GT(c.samplesOut + 2 * meta.info.maxBlockSize, meta.info.totalSamples * (cut - meta.audioOffset) /
                                                                      (file.size() - meta.audioOffset))
                << "cut " << cut;
        }
    }
}

TEST_F(FlacDamage, CutInsideTheHeadersIsAnError) {
    for (size_t cut : {size_t(0), size_t(3), size_t(20), size_t(meta.audioOffset - 1)}) {
        std::vector<uint8_t> part(file.begin(), file.begin() + ptrdiff_t(cut));
        OurDecode d = DecodeWithOurs(part, 100);
        EXPECT_TRUE(d.result == flac::Result::NotFlac || d.result == flac::Result::BadMetadata) << cut;
        EXPECT_TRUE(d.samples.empty());
    }
}

TEST_F(FlacDamage, FlippedBitsCostOnlyTheFramesTheyHit) {
    std::mt19937 random(11);
    for (int trial = 0; trial < 20; ++trial) {
        std::vector<uint8_t> damaged = file;
        int flips = 1 + trial % 5;
        for (int i = 0; i < flips; ++i) {
            size_t at = size_t(meta.audioOffset) + random() % (file.size() - meta.audioOffset);
            damaged[at] ^= uint8_t(1u << (random() % 8));
        }
        Checked c = DecodeAndCheckFrames(damaged, ref, 3000);
        EXPECT_EQ(c.result, flac::Result::EndOfStream);
        EXPECT_GE(c.skipped, 1u);
        EXPECT_LT(c.samplesOut, meta.info.totalSamples);
        EXPECT_GE(c.samplesOut + uint64_t(flips) * meta.info.maxBlockSize, meta.info.totalSamples);
    }
}

TEST_F(FlacDamage, JunkBetweenFramesIsSkipped) {
    // Junk that even contains sync codes, after the headers and between the first two frames.
    flac::FrameScratch scratch;
    flac::DecodedFrame frame;
    ASSERT_EQ(flac::DecodeFrame(&file[meta.audioOffset], file.size() - meta.audioOffset, meta.info, scratch, frame),
              flac::Result::Ok);
    std::vector<uint8_t> junk = {0xFF, 0xF8, 0x12, 0x34, 0x00, 0xFF, 0xFF, 0xF9, 0xC9, 0x18, 0x00, 0xC2, 0xFF};
    std::vector<uint8_t> damaged = file;
    damaged.insert(damaged.begin() + ptrdiff_t(meta.audioOffset + frame.frameBytes), junk.begin(), junk.end());
    damaged.insert(damaged.begin() + ptrdiff_t(meta.audioOffset), junk.begin(), junk.end());
    Checked c = DecodeAndCheckFrames(damaged, ref, 5000);
    EXPECT_EQ(c.result, flac::Result::EndOfStream);
    EXPECT_EQ(c.samplesOut, meta.info.totalSamples);
}

TEST_F(FlacDamage, FrameChecksumsAreChecked) {
    flac::FrameScratch scratch;
    flac::DecodedFrame frame;
    const uint8_t* first = &file[meta.audioOffset];
    size_t rest = file.size() - meta.audioOffset;
    ASSERT_EQ(flac::DecodeFrame(first, rest, meta.info, scratch, frame), flac::Result::Ok);
    size_t frameBytes = frame.frameBytes;

    std::vector<uint8_t> copy(first, first + rest);
    copy[frameBytes - 1] ^= 1;  // CRC-16
    EXPECT_EQ(flac::DecodeFrame(copy.data(), copy.size(), meta.info, scratch, frame), flac::Result::CrcMismatch);

    copy.assign(first, first + rest);
    copy[2] ^= 0x01;  // a header field, so the CRC-8 disagrees
    EXPECT_EQ(flac::DecodeFrame(copy.data(), copy.size(), meta.info, scratch, frame), flac::Result::BadFrame);

    EXPECT_EQ(flac::DecodeFrame(first, frameBytes - 1, meta.info, scratch, frame), flac::Result::NeedMoreData);
    EXPECT_EQ(flac::DecodeFrame(first, 3, meta.info, scratch, frame), flac::Result::NeedMoreData);
}

TEST(FlacBadInput, OtherDataIsNotFlacAndNoiseAfterTheMarkerGivesNoFrames) {
    std::vector<uint8_t> wav = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    wav.resize(2000, 0xFF);
    EXPECT_EQ(DecodeWithOurs(wav, 64).result, flac::Result::NotFlac);
    std::vector<uint8_t> file = ReadFixture("s8_mono");
    flac::Metadata meta;
    ASSERT_EQ(flac::ReadMetadata(file.data(), file.size(), meta), flac::Result::Ok);
    file.resize(size_t(meta.audioOffset));
    std::mt19937 random(5);
    for (int i = 0; i < 200000; ++i)
        file.push_back(i % 97 == 0 ? 0xFF : uint8_t(random()));
    OurDecode d = DecodeWithOurs(file, 10000);
    EXPECT_EQ(d.result, flac::Result::EndOfStream);
    EXPECT_TRUE(d.samples.empty());
    file[0] = 'x';
    EXPECT_EQ(DecodeWithOurs(file, 4096).result, flac::Result::NotFlac);
}

}  // namespace
