// FLAC in Ogg: bit-exact against libFLAC's Ogg decoder, seeking by granule positions.
// Damaged and cut-off pages are the shared Ogg reader's (tests/containers).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "fixtures.h"
#include "flac/ogg_flac.h"
#include "reference_decoder.h"

namespace {

struct OggDecode {
    flac::Result result = flac::Result::Ok;
    flac::Metadata meta;
    std::vector<int32_t> samples;
    uint64_t skipped = 0;
};

// Decodes in pieces.
OggDecode DecodeOgg(const std::vector<uint8_t>& file, size_t chunk) {
    OggDecode out;
    flac::OggFlacDecoder decoder;
    out.result = FeedInChunks(decoder, file, chunk, [&](const flac::DecodedFrame& f) {
        out.samples.insert(out.samples.end(), f.samples.begin(), f.samples.end());
    });
    out.meta = decoder.metadata();
    out.skipped = decoder.skippedFrames();
    return out;
}

class OggFlacFixture : public testing::TestWithParam<std::string> {};

TEST_P(OggFlacFixture, DecodesBitExactlyLikeLibFlacInAnyPieces) {
    std::vector<uint8_t> file = ReadFixtureFile(GetParam() + ".oga");
    ReferenceAudio ref = DecodeWithLibFlac(file, true);
    ASSERT_TRUE(ref.ok);
    ASSERT_EQ(ref.errors, 0u);
    for (size_t chunk : {file.size(), size_t(4096), size_t(333)}) {
        OggDecode ours = DecodeOgg(file, chunk);
        EXPECT_EQ(ours.result, flac::Result::EndOfStream) << flac::ResultName(ours.result);
        EXPECT_EQ(ours.skipped, 0u);
        EXPECT_EQ(ours.meta.info.totalSamples, ref.totalSamples);
        EXPECT_EQ(ours.samples.size(), ref.totalSamples * ref.channels);
        EXPECT_TRUE(ours.samples == ref.samples) << "chunk " << chunk;
    }
}

TEST_P(OggFlacFixture, SeeksLandOnTheExactSample) {
    std::vector<uint8_t> file = ReadFixtureFile(GetParam() + ".oga");
    ReferenceAudio ref = DecodeWithLibFlac(file, true);
    flac::OggFlacDecoder headers;
    headers.Feed(file.data(), std::min<size_t>(file.size(), 100000));
    ASSERT_EQ(headers.ReadHeaders(), flac::Result::Ok);
    const uint64_t total = headers.metadata().info.totalSamples;
    const unsigned channels = headers.metadata().info.channels;

    std::vector<uint64_t> targets = {0, 1, 4095, 4096, 16384, total - 1, total};
    std::mt19937_64 random(total);
    for (int i = 0; i < 20; ++i)
        targets.push_back(random() % total);
    for (uint64_t target : targets) {
        SCOPED_TRACE("target " + std::to_string(target));
        flac::MemorySource source(file.data(), file.size());
        flac::SeekTarget where;
        ASSERT_EQ(headers.FindSeekTarget(source, target, where), flac::Result::Ok);
        if (target >= total) {
            EXPECT_EQ(where.byteOffset, file.size());
            continue;
        }
        ASSERT_LE(where.frameSample, target);
        // Nothing is decoded needlessly: the restart is within a few pages of the target.
        EXPECT_LT(target - where.frameSample, 3 * 16384u);

        flac::OggFlacDecoder decoder = headers;
        const size_t want = size_t(std::min<uint64_t>(2000, total - target) * channels);
        const std::vector<int32_t> got = DecodeAfterSeek(decoder, file, where, (target - where.frameSample) * channels, want);
        ASSERT_EQ(got.size(), want);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), ref.samples.begin() + ptrdiff_t(target * channels)));
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, OggFlacFixture, testing::Values("ogg_s16", "ogg_s24", "ogg_s8_block192"),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(OggFlac, CommentsComeFromTheHeaderPackets) {
    OggDecode d = DecodeOgg(ReadFixtureFile("ogg_s16.oga"), 1 << 20);
    EXPECT_EQ(d.meta.comments, std::vector<std::string>{"ARTIST=Ogg \xC3\x84rtist"});
    EXPECT_EQ(d.meta.info.sampleRate, 44100u);
    EXPECT_TRUE(d.meta.seekTable.empty());
}

TEST(OggFlac, OtherStreamsAreNotOggFlac) {
    EXPECT_EQ(DecodeOgg(ReadFixtureFile("vorbis.ogg"), 4096).result, flac::Result::NotFlac);
    EXPECT_EQ(DecodeOgg(ReadFixture("s8_mono"), 4096).result, flac::Result::NotFlac);
}

}  // namespace
