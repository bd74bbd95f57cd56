// Every fixture decodes bit-exactly like libFLAC, whatever the size of the pieces it comes in.
#include <gtest/gtest.h>

#include "fixtures.h"
#include "reference_decoder.h"

namespace {

class FixtureDecode : public testing::TestWithParam<std::string> {};

TEST_P(FixtureDecode, WholeFileMatchesLibFlacBitExactly) {
    std::vector<uint8_t> file = ReadFixture(GetParam());
    ASSERT_FALSE(file.empty());
    ReferenceAudio ref = DecodeWithLibFlac(file);
    ASSERT_TRUE(ref.ok);
    ASSERT_EQ(ref.errors, 0u);

    OurDecode ours = DecodeWithOurs(file, file.size());
    EXPECT_EQ(ours.result, flac::Result::EndOfStream) << flac::ResultName(ours.result);
    EXPECT_EQ(ours.skippedFrames, 0u);
    EXPECT_EQ(ours.meta.info.channels, ref.channels);
    EXPECT_EQ(ours.meta.info.bitsPerSample, ref.bitsPerSample);
    EXPECT_EQ(ours.meta.info.totalSamples, ref.totalSamples);
    ASSERT_EQ(ours.samples.size(), ref.totalSamples * ref.channels);
    ASSERT_EQ(ours.samples.size(), ref.samples.size());
    for (size_t i = 0; i < ref.samples.size(); ++i)
        ASSERT_EQ(ours.samples[i], ref.samples[i]) << "sample " << i / ref.channels << " channel " << i % ref.channels;
}

TEST_P(FixtureDecode, SmallAndOddPiecesGiveTheSameSamples) {
    std::vector<uint8_t> file = ReadFixture(GetParam());
    OurDecode whole = DecodeWithOurs(file, file.size());
    for (size_t chunk : {size_t(1), size_t(7), size_t(1000), size_t(4099)}) {
        if (chunk == 1 && file.size() > 300000)
            continue;  // byte by byte takes long on the big files; the small ones cover it
        OurDecode pieces = DecodeWithOurs(file, chunk);
        EXPECT_EQ(pieces.result, flac::Result::EndOfStream) << "chunk " << chunk;
        EXPECT_EQ(pieces.frames, whole.frames) << "chunk " << chunk;
        EXPECT_TRUE(pieces.samples == whole.samples) << "chunk " << chunk;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureDecode, testing::ValuesIn(AllFixtureNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
