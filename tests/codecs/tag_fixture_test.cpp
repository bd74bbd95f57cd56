// Tags written by real taggers (lame, eyeD3, id3v2, mid3v2, mutagen, flac, oggenc) read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "codec_support.h"
#include "tags/id3v1.h"

using namespace codectest;

namespace {

struct Expected {
    FMOD_TAGTYPE type;
    const char* name;
    const char* value;
};

void ExpectTags(const char* file, std::initializer_list<Expected> expected) {
    auto opened = OpenFixture(file);
    ASSERT_EQ(opened->result, FMOD_OK) << file;
    for (const Expected& e : expected)
        EXPECT_EQ(TagValue(opened->tags, e.type, e.name), e.value) << file << " " << e.name;
}

TEST(TagFixtures, LameWritesItsOwnFramesAndComment) {
    ExpectTags("tag_lame.mp3", {{FMOD_TAGTYPE_ID3V2, "TITLE", "Lame Title"},
                                {FMOD_TAGTYPE_ID3V2, "ARTIST", "Lame Artist"},
                                {FMOD_TAGTYPE_ID3V2, "ALBUM", "Lame Album"},
                                {FMOD_TAGTYPE_ID3V2, "YEAR", "2004"},
                                {FMOD_TAGTYPE_ID3V2, "TRACK", "7"},
                                {FMOD_TAGTYPE_ID3V2, "GENRE", "Jazz"},
                                {FMOD_TAGTYPE_ID3V2, "COMMENT", "Lame comment"},
                                {FMOD_TAGTYPE_ID3V1, "TITLE", "Lame Title"},
                                {FMOD_TAGTYPE_ID3V1, "GENRE", "Jazz"}});
}

TEST(TagFixtures, Utf16Id3v23WithReplayGainAndId3v11) {
    ExpectTags("tag_v23_utf16.mp3", {{FMOD_TAGTYPE_ID3V2, "ARTIST", "Künstler ☺"},
                                     {FMOD_TAGTYPE_ID3V2, "TITLE", "Grüße"},
                                     {FMOD_TAGTYPE_ID3V2, "ALBUM", "Album Ω"},
                                     {FMOD_TAGTYPE_ID3V2, "TRACK", "03"},
                                     {FMOD_TAGTYPE_ID3V2, "GENRE", "Rock"},
                                     {FMOD_TAGTYPE_ID3V2, "REPLAYGAIN_TRACK_GAIN", "-6.54 dB"},
                                     {FMOD_TAGTYPE_ID3V1, "ARTIST", "V1 Artist"},
                                     {FMOD_TAGTYPE_ID3V1, "TITLE", "V1 Title"},
                                     {FMOD_TAGTYPE_ID3V1, "ALBUM", "V1 Album"},
                                     {FMOD_TAGTYPE_ID3V1, "YEAR", "1987"},
                                     {FMOD_TAGTYPE_ID3V1, "COMMENT", "V1 comment"},
                                     {FMOD_TAGTYPE_ID3V1, "TRACK", "5"},
                                     {FMOD_TAGTYPE_ID3V1, "GENRE", "Rock"}});
}

TEST(TagFixtures, IdThreeVersionOneComesBeforeVersionTwoSoTheFullerTextWins) {
    auto opened = OpenFixture("tag_v23_utf16.mp3");
    ASSERT_EQ(opened->result, FMOD_OK);
    EXPECT_EQ(TagValues(opened->tags, "ARTIST"), (std::vector<std::string>{"V1 Artist", "Künstler ☺"}));
}

TEST(TagFixtures, Utf8Id3v24) {
    ExpectTags("tag_v24_utf8.mp3", {{FMOD_TAGTYPE_ID3V2, "ARTIST", "Ärzte ünd Söhne"},
                                    {FMOD_TAGTYPE_ID3V2, "TITLE", "日本語のタイトル"},
                                    {FMOD_TAGTYPE_ID3V2, "ALBUM", "Über"},
                                    {FMOD_TAGTYPE_ID3V2, "GENRE", "Jazz"},
                                    {FMOD_TAGTYPE_ID3V2, "TRACK", "4/12"},
                                    {FMOD_TAGTYPE_ID3V2, "YEAR", "2021"},
                                    {FMOD_TAGTYPE_ID3V2, "COMMENT", "Ein Kommentar"},
                                    {FMOD_TAGTYPE_ID3V2, "REPLAYGAIN_TRACK_GAIN", "+1.25 dB"}});
}

TEST(TagFixtures, Id3v1GenreNumberBehindAnApeTag) {
    auto opened = OpenFixture("tag_v1_ape.mp3");
    ASSERT_EQ(opened->result, FMOD_OK);
    EXPECT_EQ(TagValue(opened->tags, FMOD_TAGTYPE_ID3V1, "ARTIST"), "Only V1");
    EXPECT_EQ(TagValue(opened->tags, FMOD_TAGTYPE_ID3V1, "GENRE"), "Electronic");
    // The APE tag is neither reported nor played.
    EXPECT_EQ(TagValues(opened->tags, "Title").size(), 0u);
    auto plain = OpenFixture("l3_cbr128.mp3");
    EXPECT_EQ(DecodeRest(*opened->sound.decoder, 4096), DecodeRest(*plain->sound.decoder, 4096));
}

TEST(TagFixtures, VorbisCommentsOfFlacOggFlacAndVorbis) {
    ExpectTags("f16.flac", {{FMOD_TAGTYPE_VORBISCOMMENT, "TITLE", "Flac Tïtel"},
                            {FMOD_TAGTYPE_VORBISCOMMENT, "ARTIST", "Flac Artist"},
                            {FMOD_TAGTYPE_VORBISCOMMENT, "REPLAYGAIN_TRACK_GAIN", "-3.10 dB"}});
    ExpectTags("f16.oga", {{FMOD_TAGTYPE_VORBISCOMMENT, "TITLE", "Ogg Flac"}});
    ExpectTags("v_stereo.ogg", {{FMOD_TAGTYPE_VORBISCOMMENT, "TITLE", "Vorbis Tïtel"},
                                {FMOD_TAGTYPE_VORBISCOMMENT, "ARTIST", "Vorbis Artist"},
                                {FMOD_TAGTYPE_VORBISCOMMENT, "REPLAYGAIN_TRACK_GAIN", "-2.00 dB"}});
}

// Our genre table against the one id3v2 prints (three names are spelt differently there).
TEST(TagFixtures, GenreNamesAgreeWithTheTaggersTable) {
    std::ifstream in(FixturePath("genres.txt"));
    std::string line;
    int compared = 0;
    while (std::getline(in, line)) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const int number = std::stoi(line.substr(0, colon));
        std::string name = line.substr(colon + 1);
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        if (number == 40 || number == 132 || number == 133 || number > 147) continue;
        std::string ours = engine::Id3GenreName(number);
        auto lower = [](std::string s) {
            std::transform(s.begin(), s.end(), s.begin(), [](unsigned char ch) { return std::tolower(ch); });
            return s;
        };
        EXPECT_EQ(lower(ours), lower(name)) << number;
        ++compared;
    }
    EXPECT_EQ(compared, 145);
}

}  // namespace
