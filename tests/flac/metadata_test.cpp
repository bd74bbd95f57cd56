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

// (Stream facts are compared with libFLAC's in decode_test, the tags through the engine.)
TEST(FlacMetadata, SeekTableAndCommentsOfAFixture) {
    std::vector<uint8_t> file = ReadFixture("s16_stereo_44k");
    flac::Metadata meta;
    ASSERT_EQ(flac::ReadMetadata(file.data(), file.size(), meta), flac::Result::Ok);
    EXPECT_EQ(meta.info.sampleRate, 44100u);
    EXPECT_NE(meta.vendor.find("reference libFLAC"), std::string::npos);
    EXPECT_EQ(meta.comments.back(), "ALBUM=Quendra");
    // The fixture asks for a point every second; a frame begins at the first byte after the blocks.
    ASSERT_EQ(meta.seekTable.size(), 10u);
    EXPECT_EQ(meta.seekTable[0].sample, 0u);
    EXPECT_EQ(meta.seekTable[0].byteOffset, 0u);
    EXPECT_EQ(file[meta.audioOffset], 0xFF);
    EXPECT_EQ(file[meta.audioOffset + 1] & 0xFE, 0xF8);
}

TEST(FlacMetadata, WhatComesBeforeTheMarkerAndOtherBlocksIsSkipped) {
    std::vector<uint8_t> file = ReadFixture("s8_mono");
    flac::Metadata plain;
    ASSERT_EQ(flac::ReadMetadata(file.data(), file.size(), plain), flac::Result::Ok);
    std::vector<uint8_t> blocks;
    for (uint8_t type : {1, 2, 5, 6}) {  // padding, application, cue sheet, picture
        std::vector<uint8_t> h = BlockHeader(false, type, 40);
        blocks.insert(blocks.end(), h.begin(), h.end());
        blocks.resize(blocks.size() + 40, 0xFF);
    }
    const std::pair<std::vector<uint8_t>, size_t> cases[] = {  // file, bytes added before the frames
        {WithBlockAfterStreamInfo(file, blocks), blocks.size()},
        {Id3v2Tag(300, false), 310}, {Id3v2Tag(300, true), 320},
    };
    const OurDecode expected = DecodeWithOurs(file, 777);
    for (auto [bytes, added] : cases) {
        if (bytes[0] == 'I') bytes.insert(bytes.end(), file.begin(), file.end());
        flac::Metadata meta;
        ASSERT_EQ(flac::ReadMetadata(bytes.data(), bytes.size(), meta), flac::Result::Ok);
        EXPECT_EQ(meta.audioOffset, plain.audioOffset + added);
        EXPECT_EQ(meta.info.totalSamples, plain.info.totalSamples);
        const OurDecode got = DecodeWithOurs(bytes, 777);
        EXPECT_EQ(got.result, flac::Result::EndOfStream);
        EXPECT_TRUE(got.samples == expected.samples);
    }
    EXPECT_TRUE(DecodeWithOurs(ReadFixture("s16_no_seektable"), 1 << 20).meta.seekTable.empty());
}

TEST(FlacMetadata, ABrokenCommentBlockCostsOnlyTheTags) {
    const std::vector<uint8_t> file = ReadFixture("s8_mono");
    // A vendor length past the block, and a count of a billion fields in a 12-byte block
    // (nothing is allocated for them): the file's own comment block follows and is reported.
    const std::vector<uint8_t> broken[] = {{0xFF, 0xFF, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 0, 0x00, 0xCA, 0x9A, 0x3B, 0, 0, 0, 0}};
    for (const std::vector<uint8_t>& body : broken) {
        std::vector<uint8_t> block = BlockHeader(false, 4, uint32_t(body.size()));
        block.insert(block.end(), body.begin(), body.end());
        std::vector<uint8_t> damaged = WithBlockAfterStreamInfo(file, block);
        flac::Metadata meta;
        ASSERT_EQ(flac::ReadMetadata(damaged.data(), damaged.size(), meta), flac::Result::Ok);
        EXPECT_TRUE(meta.comments.empty());
        EXPECT_NE(meta.vendor.find("libFLAC"), std::string::npos);
        EXPECT_EQ(meta.info.totalSamples, 33075u);
    }
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
