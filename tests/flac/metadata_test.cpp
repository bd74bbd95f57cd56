// What comes before the first frame: stream facts, tags, seek table, and the ways it can break.
#include <gtest/gtest.h>

#include "fixtures.h"

namespace {

// Metadata block header: last flag, type, 24-bit length.
std::vector<uint8_t> BlockHeader(bool last, uint8_t type, uint32_t length) {
    return {uint8_t((last ? 0x80 : 0) | type), uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length)};
}

// The fixture's bytes with its first metadata block (STREAMINFO) followed by `inserted`.
std::vector<uint8_t> WithBlockAfterStreamInfo(const std::vector<uint8_t>& file, const std::vector<uint8_t>& inserted) {
    std::vector<uint8_t> out(file.begin(), file.begin() + 4 + 4 + 34);
    out[4] &= 0x7F;  // STREAMINFO is no longer the last block
    out.insert(out.end(), inserted.begin(), inserted.end());
    out.insert(out.end(), file.begin() + 4 + 4 + 34, file.end());
    return out;
}

std::vector<uint8_t> Id3v2Tag(uint32_t bodySize, bool footer) {
    std::vector<uint8_t> tag = {'I', 'D', '3', 4, 0, uint8_t(footer ? 0x10 : 0),
                                uint8_t((bodySize >> 21) & 0x7F), uint8_t((bodySize >> 14) & 0x7F),
                                uint8_t((bodySize >> 7) & 0x7F), uint8_t(bodySize & 0x7F)};
    tag.resize(10 + bodySize + (footer ? 10 : 0), 0xFF);  // 0xFF bytes look like frame syncs
    return tag;
}

TEST(FlacMetadata, StreamInfoAndTagsOfAFixture) {
    std::vector<uint8_t> file = ReadFixture("s16_stereo_44k");
    flac::Metadata meta;
    ASSERT_EQ(flac::ReadMetadata(file.data(), file.size(), meta), flac::Result::Ok);
    EXPECT_EQ(meta.info.sampleRate, 44100u);
    EXPECT_EQ(meta.info.channels, 2u);
    EXPECT_EQ(meta.info.bitsPerSample, 16u);
    EXPECT_EQ(meta.info.totalSamples, 264600u);
    EXPECT_EQ(meta.info.maxBlockSize, 4096u);
    ASSERT_TRUE(meta.hasVorbisComment);
    EXPECT_NE(meta.vendor.find("reference libFLAC"), std::string::npos);
    std::vector<std::string> expected = {"ARTIST=J\xC3\xBCrgen Wei\xC3\x9F",
                                         "TITLE=Gr\xC3\xBC\xC3\x9F" "e \xE2\x80\x93 \xE2\x98\x83 \xE6\x97\xA5\xE6\x9C\xAC",
                                         "ALBUM=Quendra"};
    EXPECT_EQ(meta.comments, expected);
    // The fixture asks for a point every second; a frame begins at the first byte after the blocks.
    ASSERT_FALSE(meta.seekTable.empty());
    EXPECT_EQ(meta.seekTable[0].sample, 0u);
    EXPECT_EQ(meta.seekTable[0].byteOffset, 0u);
    EXPECT_EQ(meta.seekTable.size(), 6u);
    EXPECT_EQ(file[meta.audioOffset], 0xFF);
    EXPECT_EQ(file[meta.audioOffset + 1] & 0xFE, 0xF8);
}

TEST(FlacMetadata, NoSeekTableOptionLeavesItOut) {
    std::vector<uint8_t> file = ReadFixture("s16_no_seektable");
    flac::Metadata meta;
    ASSERT_EQ(flac::ReadMetadata(file.data(), file.size(), meta), flac::Result::Ok);
    EXPECT_TRUE(meta.seekTable.empty());
}

TEST(FlacMetadata, Id3v2TagBeforeTheMarkerIsSkippedBySize) {
    std::vector<uint8_t> file = ReadFixture("s8_mono");
    for (bool footer : {false, true}) {
        std::vector<uint8_t> tagged = Id3v2Tag(300, footer);
        size_t tagBytes = tagged.size();
        tagged.insert(tagged.end(), file.begin(), file.end());
        flac::Metadata plain, meta;
        ASSERT_EQ(flac::ReadMetadata(file.data(), file.size(), plain), flac::Result::Ok);
        ASSERT_EQ(flac::ReadMetadata(tagged.data(), tagged.size(), meta), flac::Result::Ok);
        EXPECT_EQ(meta.audioOffset, plain.audioOffset + tagBytes);
        OurDecode a = DecodeWithOurs(file, 777), b = DecodeWithOurs(tagged, 777);
        EXPECT_EQ(b.result, flac::Result::EndOfStream);
        EXPECT_TRUE(a.samples == b.samples);
    }
}

TEST(FlacMetadata, OtherBlocksAreSkipped) {
    std::vector<uint8_t> file = ReadFixture("s8_mono");
    std::vector<uint8_t> blocks;
    for (uint8_t type : {1, 2, 5, 6}) {  // padding, application, cue sheet, picture
        std::vector<uint8_t> h = BlockHeader(false, type, 40);
        blocks.insert(blocks.end(), h.begin(), h.end());
        blocks.resize(blocks.size() + 40, 0xFF);
    }
    std::vector<uint8_t> extended = WithBlockAfterStreamInfo(file, blocks);
    flac::Metadata meta;
    ASSERT_EQ(flac::ReadMetadata(extended.data(), extended.size(), meta), flac::Result::Ok);
    EXPECT_EQ(meta.info.totalSamples, 55125u);
    EXPECT_TRUE(DecodeWithOurs(extended, 4096).samples == DecodeWithOurs(file, 4096).samples);
}

TEST(FlacMetadata, BrokenCommentBlockCostsOnlyTheTags) {
    std::vector<uint8_t> file = ReadFixture("s8_mono");
    // Vendor length claims more bytes than the block holds.
    std::vector<uint8_t> block = BlockHeader(false, 4, 8);
    block.insert(block.end(), {0xFF, 0xFF, 0, 0, 1, 0, 0, 0});
    std::vector<uint8_t> damaged = WithBlockAfterStreamInfo(file, block);
    flac::Metadata meta;
    ASSERT_EQ(flac::ReadMetadata(damaged.data(), damaged.size(), meta), flac::Result::Ok);
    EXPECT_TRUE(meta.comments.empty());
    EXPECT_NE(meta.vendor.find("libFLAC"), std::string::npos);  // from the file's own block
    EXPECT_EQ(meta.info.totalSamples, 55125u);
}

TEST(FlacMetadata, CommentCountBeyondTheBlockIsRefused) {
    std::vector<uint8_t> file = ReadFixture("s8_mono");
    // Empty vendor, then a count of a billion fields in a 12-byte block: nothing is allocated for them.
    std::vector<uint8_t> block = BlockHeader(false, 4, 12);
    block.insert(block.end(), {0, 0, 0, 0, 0x00, 0xCA, 0x9A, 0x3B, 0, 0, 0, 0});
    std::vector<uint8_t> damaged = WithBlockAfterStreamInfo(file, block);
    flac::Metadata meta;
    ASSERT_EQ(flac::ReadMetadata(damaged.data(), damaged.size(), meta), flac::Result::Ok);
    // The file's own comment block (vendor only) follows and is the one reported.
    EXPECT_TRUE(meta.hasVorbisComment);
    EXPECT_NE(meta.vendor.find("libFLAC"), std::string::npos);
    EXPECT_TRUE(meta.comments.empty());
}

TEST(FlacMetadata, StructuralDamageIsAnError) {
    std::vector<uint8_t> file = ReadFixture("s8_mono");
    flac::Metadata meta;

    std::vector<uint8_t> wrongMarker = file;
    wrongMarker[1] = 'X';
    EXPECT_EQ(flac::ReadMetadata(wrongMarker.data(), wrongMarker.size(), meta), flac::Result::NotFlac);

    std::vector<uint8_t> noStreamInfo = file;
    noStreamInfo[4] = (noStreamInfo[4] & 0x80) | 1;  // first block claims to be padding
    EXPECT_EQ(flac::ReadMetadata(noStreamInfo.data(), noStreamInfo.size(), meta), flac::Result::BadMetadata);

    std::vector<uint8_t> shortStreamInfo = file;
    shortStreamInfo[7] = 20;  // STREAMINFO of 20 bytes cannot hold its fields
    EXPECT_EQ(flac::ReadMetadata(shortStreamInfo.data(), shortStreamInfo.size(), meta), flac::Result::BadMetadata);

    std::vector<uint8_t> zeroRate = file;
    zeroRate[8 + 10] = zeroRate[8 + 11] = 0;
    zeroRate[8 + 12] &= 0x0F;
    EXPECT_EQ(flac::ReadMetadata(zeroRate.data(), zeroRate.size(), meta), flac::Result::BadMetadata);
}

TEST(FlacMetadata, CutOffHeadersAskForMoreAndSayHowMuch) {
    std::vector<uint8_t> file = ReadFixture("s16_stereo_44k");
    flac::Metadata full;
    ASSERT_EQ(flac::ReadMetadata(file.data(), file.size(), full), flac::Result::Ok);
    for (size_t size = 0; size < full.audioOffset; size += 7) {
        flac::Metadata meta;
        ASSERT_EQ(flac::ReadMetadata(file.data(), size, meta), flac::Result::NeedMoreData) << size;
        EXPECT_GT(meta.audioOffset, size);
        EXPECT_LE(meta.audioOffset, full.audioOffset);
    }
}

TEST(FlacMetadata, HugeId3SizeIsRefusedByThePushDecoder) {
    std::vector<uint8_t> tag = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};  // 256 MB claimed
    flac::StreamDecoder decoder;
    decoder.Feed(tag.data(), tag.size());
    EXPECT_EQ(decoder.ReadHeaders(), flac::Result::BadMetadata);
}

}  // namespace
