// Every fixture, native and in Ogg, decodes bit-exactly like libFLAC, whatever the size of the
// pieces it comes in; a leading ID3v2 tag is skipped, an impossible one refused.
#include <gtest/gtest.h>

#include "fixtures.h"
#include "flac/ogg_flac.h"
#include "reference_decoder.h"

namespace {

bool IsOgg(const std::string& name) { return name.rfind("ogg_", 0) == 0; }

std::vector<std::string> NativeAndOggFixtures() {
    std::vector<std::string> names = AllFixtureNames();
    names.insert(names.end(), {"ogg_s16", "ogg_s24", "ogg_s8_block192"});
    return names;
}

class FixtureDecode : public testing::TestWithParam<std::string> {};

TEST_P(FixtureDecode, MatchesLibFlacBitExactlyInAnyPieces) {
    const bool ogg = IsOgg(GetParam());
    std::vector<uint8_t> file = ReadFixtureFile(GetParam() + (ogg ? ".oga" : ".flac"));
    ASSERT_FALSE(file.empty());
    ReferenceAudio ref = DecodeWithLibFlac(file, ogg);
    ASSERT_TRUE(ref.ok);
    ASSERT_EQ(ref.errors, 0u);
    for (size_t chunk : {file.size(), size_t(1), size_t(7), size_t(4099)}) {
        if (chunk == 1 && file.size() > 300000)
            continue;  // byte by byte takes long on the big files; the small ones cover it
        flac::OggFlacDecoder oggDecoder;
        flac::StreamDecoder nativeDecoder;
        OurDecode ours = ogg ? DecodeWithOurs(oggDecoder, file, chunk) : DecodeWithOurs(nativeDecoder, file, chunk);
        EXPECT_EQ(ours.result, flac::Result::EndOfStream) << flac::ResultName(ours.result) << " chunk " << chunk;
        EXPECT_EQ(ours.skippedFrames, 0u);
        EXPECT_EQ(ours.meta.info.channels, ref.channels);
        EXPECT_EQ(ours.meta.info.bitsPerSample, ref.bitsPerSample);
        EXPECT_EQ(ours.meta.info.totalSamples, ref.totalSamples);
        EXPECT_TRUE(ours.samples == ref.samples) << "chunk " << chunk;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureDecode, testing::ValuesIn(NativeAndOggFixtures()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(FlacId3, LeadingTagIsSkippedAndAnImpossibleOneRefused) {
    const std::vector<uint8_t> file = ReadFixture("s8_mono");
    const OurDecode plain = DecodeWithOurs(file, 777);
    for (bool footer : {false, true}) {
        std::vector<uint8_t> tagged = {'I', 'D', '3', 4, 0, uint8_t(footer ? 0x10 : 0), 0, 0, 2, 44};  // 300 bytes
        tagged.resize(tagged.size() + 300 + (footer ? 10 : 0), 0xFF);  // 0xFF bytes look like frame syncs
        tagged.insert(tagged.end(), file.begin(), file.end());
        const OurDecode got = DecodeWithOurs(tagged, 777);
        EXPECT_EQ(got.result, flac::Result::EndOfStream);
        EXPECT_TRUE(got.samples == plain.samples);
    }
    const std::vector<uint8_t> huge = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};  // 256 MB claimed
    flac::StreamDecoder decoder;
    decoder.Feed(huge.data(), huge.size());
    EXPECT_EQ(decoder.ReadHeaders(), flac::Result::BadMetadata);
}

}  // namespace
