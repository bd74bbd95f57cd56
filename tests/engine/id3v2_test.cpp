#include <gtest/gtest.h>

#include "audio_builders.h"
#include "tags/id3v2.h"

using namespace engine;
using namespace enginetest;

namespace {

Bytes Text(uint8_t encoding, const Bytes& payload) {
    Bytes b(payload.size() + 1);
    b[0] = encoding;
    std::copy(payload.begin(), payload.end(), b.begin() + 1);
    return b;
}
Bytes Str(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::vector<Tag> Read(const Bytes& tag) {
    TagList list;
    ReadId3v2(tag.data(), tag.size(), list);
    return *list.Snapshot();
}

}  // namespace

TEST(Id3v2, CommonFramesGetCommonNamesInEveryEncoding) {
    Bytes utf16 = {0xFF, 0xFE, 'B', 0, 0xFC, 0, 0};  // "Bü" with a byte-order mark
    Bytes utf16be = {0, 'X', 0, 'Y'};
    auto tags = Read(MakeId3v23({
        {"TIT2", Text(0, Str("Caf\xE9"))},
        {"TPE1", Text(1, utf16)},
        {"TALB", Text(2, utf16be)},
        {"TCON", Text(3, Str("Jazz\xC3\xA9"))},
        {"TPE2", Text(0, Str("Band"))},
        {"APIC", Str("binary picture data")},
    }));
    ASSERT_EQ(tags.size(), 5u);  // the picture is skipped
    EXPECT_EQ(tags[0].name, "TITLE");
    EXPECT_EQ(tags[0].data, "Caf\xC3\xA9");
    EXPECT_EQ(tags[1].name, "ARTIST");
    EXPECT_EQ(tags[1].data, "B\xC3\xBC");
    EXPECT_EQ(tags[2].name, "ALBUM");
    EXPECT_EQ(tags[2].data, "XY");
    EXPECT_EQ(tags[3].name, "GENRE");
    EXPECT_EQ(tags[4].name, "TPE2");  // no common name: the frame identifier
    EXPECT_EQ(tags[0].type, FMOD_TAGTYPE_ID3V2);
}

TEST(Id3v2, UserTextAndCommentsUseTheirDescriptions) {
    Bytes txxx = Text(0, Str("replaygain_track_gain"));
    txxx.push_back(0);
    Bytes gain = Str("-6.20 dB");
    txxx.insert(txxx.end(), gain.begin(), gain.end());
    Bytes comm = Text(0, Str("eng"));
    comm.push_back(0);  // empty description
    Bytes words = Str("nice");
    comm.insert(comm.end(), words.begin(), words.end());
    auto tags = Read(MakeId3v23({{"TXXX", txxx}, {"COMM", comm}}));
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(tags[0].name, "replaygain_track_gain");
    EXPECT_EQ(tags[0].data, "-6.20 dB");
    EXPECT_EQ(tags[1].name, "COMMENT");
    EXPECT_EQ(tags[1].data, "nice");
}

TEST(Id3v2, FrameSizeThatLiesEndsTheWalkWithoutReadingPastTheTag) {
    Bytes tag = MakeId3v23({{"TIT2", Text(0, Str("ok"))}, {"TPE1", Text(0, Str("cut"))}});
    // The second frame claims 1000 bytes.
    size_t second = 10 + 10 + 3;
    tag[second + 4] = 0;
    tag[second + 5] = 0;
    tag[second + 6] = 0x03;
    tag[second + 7] = 0xE8;
    auto tags = Read(tag);
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0].data, "ok");
    // A header that claims more than the buffer holds.
    Bytes shortBuffer(tag.begin(), tag.begin() + 15);
    EXPECT_TRUE(Read(shortBuffer).empty());
}

TEST(Id3v2, VersionTwoPointTwoAndFourFrames) {
    // ID3v2.2: three-letter identifiers and three-byte sizes.
    Bytes v22 = {'I', 'D', '3', 2, 0, 0, 0, 0, 0, 10, 'T', 'T', '2', 0, 0, 4, 0, 'a', 'b', 'c'};
    auto tags = Read(v22);
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0].name, "TITLE");
    EXPECT_EQ(tags[0].data, "abc");
    // ID3v2.4: sync-safe frame sizes, UTF-8, several values (the first counts).
    Bytes v24 = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 17, 'T', 'P', 'E', '1', 0, 0, 0, 7, 0, 0, 3, 'A', 0, 'B', 'B', 0, 0};
    tags = Read(v24);
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0].data, "A");
}

TEST(Id3v2, UnsynchronisedTagIsRestored) {
    // TIT2 with a 0xFF byte followed by an inserted zero.
    Bytes body = {'T', 'I', 'T', '2', 0, 0, 0, 3, 0, 0, 0, 0xFF, 0x00, 'z'};
    Bytes tag = {'I', 'D', '3', 3, 0, 0x80, 0, 0, 0, static_cast<uint8_t>(body.size())};
    tag.insert(tag.end(), body.begin(), body.end());
    auto tags = Read(tag);
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0].data, "\xC3\xBFz");  // Latin-1 0xFF then 'z'
}
