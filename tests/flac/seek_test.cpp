// Seeking, native and in Ogg: the frame the search names, decoded from its offset with the
// leading samples dropped, continues exactly like libFLAC's whole decode at the target sample.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "fixtures.h"
#include "flac/ogg_flac.h"
#include "reference_decoder.h"

namespace {

// A source that counts its reads, to see that the search does not crawl through the file.
class CountingSource : public flac::MemorySource {
public:
    using MemorySource::MemorySource;
    size_t ReadAt(uint64_t offset, uint8_t* dst, size_t size) override {
        ++reads;
        return MemorySource::ReadAt(offset, dst, size);
    }
    int reads = 0;
};

// `find(source, target, where)` runs the search; `decoder` has read the headers.
template <typename Decoder, typename Find>
void ExpectSeeksMatch(const std::string& name, const std::vector<uint8_t>& file, const ReferenceAudio& ref,
                      const Decoder& decoder, Find find) {
    const uint64_t total = decoder.metadata().info.totalSamples, block = decoder.metadata().info.maxBlockSize;
    const unsigned channels = decoder.metadata().info.channels;
    std::vector<uint64_t> targets = {0, 1, block - 1, block, block + 1, 5 * block, total - block, total - 1, total,
                                     total + 12345};
    std::mt19937_64 random(std::hash<std::string>()(name));
    for (int i = 0; i < 10; ++i)
        targets.push_back(random() % total);
    for (uint64_t target : targets) {
        SCOPED_TRACE(name + " target " + std::to_string(target));
        CountingSource source(file.data(), file.size());
        flac::SeekTarget where;
        ASSERT_EQ(find(source, target, where), flac::Result::Ok);
        EXPECT_LE(source.reads, 24);  // halving the range, not crawling through it
        if (target >= total) {
            EXPECT_EQ(where.byteOffset, file.size());
            continue;
        }
        ASSERT_LE(where.frameSample, target);
        Decoder copy = decoder;
        const size_t want = size_t(std::min<uint64_t>(3000, total - target) * channels);
        const std::vector<int32_t> got = DecodeAfterSeek(copy, file, where, (target - where.frameSample) * channels, want);
        ASSERT_EQ(got.size(), want);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), ref.samples.begin() + ptrdiff_t(target * channels)));
    }
}

TEST(FlacSeek, EveryLayoutLandsOnTheExactSampleWithOrWithoutSeekTable) {
    // "lying seek table": every point's offset moved into the middle of another frame.
    for (std::string name : {"s16_stereo_44k", "s16_no_seektable", "s8_mono_no_seektable", "s16_block192",
                             "s16_block16384", "s24_96k", "six_channels", "s32_stereo", "lying seek table"}) {
        const bool lying = name == "lying seek table";
        const std::vector<uint8_t> file = ReadFixture(lying ? "s16_stereo_44k" : name);
        flac::Metadata meta;
        ASSERT_EQ(flac::ReadMetadata(file.data(), file.size(), meta), flac::Result::Ok);
        if (lying) {
            ASSERT_GE(meta.seekTable.size(), 3u);
            for (flac::SeekPoint& point : meta.seekTable) point.byteOffset += 1234;
        }
        flac::StreamDecoder decoder;
        decoder.Feed(file.data(), size_t(meta.audioOffset));
        ASSERT_EQ(decoder.ReadHeaders(), flac::Result::Ok);
        ExpectSeeksMatch(name, file, DecodeWithLibFlac(file), decoder, [&](flac::ByteSource& s, uint64_t t, flac::SeekTarget& w) {
            return flac::FindSeekTarget(s, meta, t, w);
        });
    }
    for (const char* name : {"ogg_s16", "ogg_s24", "ogg_s8_block192"}) {
        const std::vector<uint8_t> file = ReadFixtureFile(std::string(name) + ".oga");
        flac::OggFlacDecoder decoder;
        decoder.Feed(file.data(), std::min<size_t>(file.size(), 100000));
        ASSERT_EQ(decoder.ReadHeaders(), flac::Result::Ok);
        ExpectSeeksMatch(name, file, DecodeWithLibFlac(file, true), decoder,
                         [&](flac::ByteSource& s, uint64_t t, flac::SeekTarget& w) { return decoder.FindSeekTarget(s, t, w); });
    }
}

}  // namespace
