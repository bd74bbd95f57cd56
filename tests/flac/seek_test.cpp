// Seeking: the frame FindSeekTarget names, decoded from its offset with the leading samples
// dropped, continues exactly like libFLAC's whole decode at the target sample.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "fixtures.h"
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

struct SeekCase {
    std::vector<uint8_t> file;
    ReferenceAudio ref;
    flac::Metadata meta;
};

SeekCase Load(const std::string& name) {
    SeekCase c;
    c.file = ReadFixture(name);
    c.ref = DecodeWithLibFlac(c.file);
    EXPECT_EQ(flac::ReadMetadata(c.file.data(), c.file.size(), c.meta), flac::Result::Ok);
    return c;
}

// Seeks to `target`, decodes `count` samples from there and compares them.
void ExpectSeekMatches(const SeekCase& c, uint64_t target, uint64_t count) {
    SCOPED_TRACE("target " + std::to_string(target));
    const unsigned channels = c.meta.info.channels;
    const uint64_t total = c.meta.info.totalSamples;
    CountingSource source(c.file.data(), c.file.size());
    flac::SeekTarget where;
    ASSERT_EQ(flac::FindSeekTarget(source, c.meta, target, where), flac::Result::Ok);
    EXPECT_LE(source.reads, 16);  // halving the range, not crawling through it
    if (target >= total) {
        EXPECT_EQ(where.byteOffset, c.file.size());
        EXPECT_EQ(where.frameSample, total);
        return;
    }
    ASSERT_LE(where.frameSample, target);

    flac::StreamDecoder decoder;
    decoder.Feed(c.file.data(), size_t(c.meta.audioOffset));
    ASSERT_EQ(decoder.ReadHeaders(), flac::Result::Ok);
    const size_t want = size_t(std::min<uint64_t>(count, total - target) * channels);
    const std::vector<int32_t> got = DecodeAfterSeek(decoder, c.file, where, (target - where.frameSample) * channels, want);
    ASSERT_EQ(got.size(), want);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), c.ref.samples.begin() + ptrdiff_t(target * channels)));
}

void ExpectSeeksMatch(const std::string& name) {
    SeekCase c = Load(name);
    ASSERT_TRUE(c.ref.ok);
    const uint64_t total = c.meta.info.totalSamples;
    const uint64_t block = c.meta.info.maxBlockSize;
    std::vector<uint64_t> targets = {0, 1, block - 1, block, block + 1, 5 * block, total - block, total - 1, total,
                                     total + 12345};
    std::mt19937_64 random(std::hash<std::string>()(name));
    for (int i = 0; i < 10; ++i)
        targets.push_back(random() % total);
    for (uint64_t target : targets)
        ExpectSeekMatches(c, target, 3000);
}

TEST(FlacSeek, EveryLayoutLandsOnTheExactSampleWithOrWithoutSeekTable) {
    for (const char* name : {"s16_stereo_44k", "s16_no_seektable", "s8_mono_no_seektable", "s16_block192", "s16_block16384",
                             "s24_96k", "six_channels", "s32_stereo"})
        ExpectSeeksMatch(name);
}

TEST(FlacSeek, LyingSeekTableStillGivesTheExactSample) {
    SeekCase c = Load("s16_stereo_44k");
    ASSERT_GE(c.meta.seekTable.size(), 3u);
    // Move every point's offset into the middle of some other frame.
    size_t at = 4;
    for (;;) {
        uint8_t type = c.file[at] & 0x7F;
        size_t length = size_t(c.file[at + 1]) << 16 | size_t(c.file[at + 2]) << 8 | c.file[at + 3];
        if (type == 3) {
            for (size_t p = at + 4; p + 18 <= at + 4 + length; p += 18)
                c.file[p + 13] ^= 0x5A;
            break;
        }
        ASSERT_FALSE(c.file[at] & 0x80) << "no seek table";
        at += 4 + length;
    }
    ASSERT_EQ(flac::ReadMetadata(c.file.data(), c.file.size(), c.meta), flac::Result::Ok);
    for (uint64_t target : {uint64_t(0), uint64_t(100000), uint64_t(200001), c.meta.info.totalSamples - 1})
        ExpectSeekMatches(c, target, 2000);
}

// Reads fail from the n-th on, as a file on a vanished drive would.
class FailingSource : public flac::MemorySource {
public:
    FailingSource(const std::vector<uint8_t>& file, int failFrom) : MemorySource(file.data(), file.size()), left_(failFrom) {}
    size_t ReadAt(uint64_t offset, uint8_t* dst, size_t size) override {
        return --left_ > 0 ? MemorySource::ReadAt(offset, dst, size) : 0;
    }

private:
    int left_;
};

TEST(FlacSeek, FailingReadsGiveNotFoundOrAStillCorrectFrame) {
    SeekCase c = Load("s16_no_seektable");
    const uint64_t target = 200000;
    for (int failFrom = 1; failFrom < 20; ++failFrom) {
        FailingSource source(c.file, failFrom);
        flac::SeekTarget where;
        flac::Result r = flac::FindSeekTarget(source, c.meta, target, where);
        ASSERT_TRUE(r == flac::Result::Ok || r == flac::Result::NotFound) << flac::ResultName(r);
        if (r != flac::Result::Ok)
            continue;
        flac::FrameScratch scratch;
        flac::DecodedFrame frame;
        ASSERT_LT(where.byteOffset, c.file.size());
        ASSERT_EQ(flac::DecodeFrame(&c.file[where.byteOffset], c.file.size() - where.byteOffset, c.meta.info, scratch,
                                    frame),
                  flac::Result::Ok);
        EXPECT_EQ(frame.header.firstSample, where.frameSample);
        EXPECT_LE(where.frameSample, target);
        EXPECT_LT(target, where.frameSample + frame.header.blockSize);
    }
}

TEST(FlacSeek, DataWithoutFramesGivesNotFound) {
    SeekCase c = Load("s8_mono");
    std::vector<uint8_t> headersOnly(c.file.begin(), c.file.begin() + ptrdiff_t(c.meta.audioOffset));
    headersOnly.resize(headersOnly.size() + 5000, 0x55);
    flac::MemorySource source(headersOnly.data(), headersOnly.size());
    flac::SeekTarget where;
    EXPECT_EQ(flac::FindSeekTarget(source, c.meta, 1000, where), flac::Result::NotFound);
}

}  // namespace
