// Every fixture decodes bit-exactly like libFLAC, whatever the size of the pieces it comes in.
#include <gtest/gtest.h>

#include "fixtures.h"
#include "reference_decoder.h"

namespace {

class FixtureDecode : public testing::TestWithParam<std::string> {};

TEST_P(FixtureDecode, MatchesLibFlacBitExactlyInAnyPieces) {
    std::vector<uint8_t> file = ReadFixture(GetParam());
    ASSERT_FALSE(file.empty());
    ReferenceAudio ref = DecodeWithLibFlac(file);
    ASSERT_TRUE(ref.ok);
    ASSERT_EQ(ref.errors, 0u);
    for (size_t chunk : {file.size(), size_t(1), size_t(7), size_t(4099)}) {
        if (chunk == 1 && file.size() > 300000)
            continue;  // byte by byte takes long on the big files; the small ones cover it
        OurDecode ours = DecodeWithOurs(file, chunk);
        EXPECT_EQ(ours.result, flac::Result::EndOfStream) << flac::ResultName(ours.result) << " chunk " << chunk;
        EXPECT_EQ(ours.skippedFrames, 0u);
        EXPECT_EQ(ours.meta.info.channels, ref.channels);
        EXPECT_EQ(ours.meta.info.bitsPerSample, ref.bitsPerSample);
        EXPECT_EQ(ours.meta.info.totalSamples, ref.totalSamples);
        EXPECT_TRUE(ours.samples == ref.samples) << "chunk " << chunk;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureDecode, testing::ValuesIn(AllFixtureNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
