#include <gtest/gtest.h>

#include <cstring>

#include "audio_builders.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"

using namespace engine;
using namespace enginetest;

namespace {

std::vector<uint8_t> Id3v1(const char* title, const char* comment, int track, int genre) {
    std::vector<uint8_t> tag(128, 0);
    std::memcpy(tag.data(), "TAG", 3);
    std::memcpy(&tag[3], title, std::strlen(title));
    std::memcpy(&tag[33], "Art  ", 5);
    std::memcpy(&tag[93], "1999", 4);
    std::memcpy(&tag[97], comment, std::strlen(comment));
    if (track >= 0) tag[126] = static_cast<uint8_t>(track);
    tag[127] = static_cast<uint8_t>(genre);
    return tag;
}

}  // namespace

TEST(Id3v1, FieldsTrackAndGenre) {
    TagList tags;
    ASSERT_TRUE(ReadId3v1(Id3v1("Tr\xE4umerei", "nice", 7, 17).data(), tags));
    auto list = *tags.Snapshot();
    ASSERT_EQ(list.size(), 6u);  // no album: empty fields are left out
    EXPECT_EQ(list[0].name, "TITLE");
    EXPECT_EQ(list[0].data, "Tr\xC3\xA4umerei");
    EXPECT_EQ(list[1].name, "ARTIST");
    EXPECT_EQ(list[1].data, "Art");
    EXPECT_EQ(list[2].name, "YEAR");
    EXPECT_EQ(list[3].name, "COMMENT");
    EXPECT_EQ(list[4].name, "TRACK");
    EXPECT_EQ(list[4].data, "7");
    EXPECT_EQ(list[5].name, "GENRE");
    EXPECT_EQ(list[5].data, "Rock");
    EXPECT_EQ(list[5].type, FMOD_TAGTYPE_ID3V1);
}

TEST(Id3v1, VersionOneCommentsAndUnknownGenres) {
    TagList tags;
    // A 30-character comment leaves no room for a track number.
    ASSERT_TRUE(ReadId3v1(Id3v1("T", "abcdefghijklmnopqrstuvwxyz0123", -1, 255).data(), tags));
    auto list = *tags.Snapshot();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[3].data, "abcdefghijklmnopqrstuvwxyz0123");
    std::vector<uint8_t> notTag(128, 'x');
    EXPECT_FALSE(ReadId3v1(notTag.data(), tags));
}

TEST(Id3v1, NumberedGenresInId3v2AreNamed) {
    EXPECT_EQ(ResolveId3Genre("(17)"), "Rock");
    EXPECT_EQ(ResolveId3Genre("8"), "Jazz");
    EXPECT_EQ(ResolveId3Genre("(9)Heavy"), "Heavy");
    EXPECT_EQ(ResolveId3Genre("(200)"), "(200)");
    EXPECT_EQ(ResolveId3Genre("Synthwave"), "Synthwave");
    EXPECT_EQ(ResolveId3Genre("(12"), "(12");
    EXPECT_EQ(ResolveId3Genre(""), "");
    TagList tags;
    Bytes tag = MakeId3v23({{"TCON", Bytes{0, '(', '3', '1', ')'}}});
    ReadId3v2(tag.data(), tag.size(), tags);
    ASSERT_EQ(tags.Count(), 1u);
    EXPECT_EQ((*tags.Snapshot())[0].data, "Trance");
}
