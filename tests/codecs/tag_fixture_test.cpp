// Tags written by real taggers (lame, eyeD3, id3v2, mid3v2, mutagen, flac, oggenc) read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "engine_support.h"
#include "tags/id3v1.h"

using namespace enginetest;

TEST(TagFixtures, EveryTaggersFramesReadBack) {
    constexpr FMOD_TAGTYPE V2 = FMOD_TAGTYPE_ID3V2, V1 = FMOD_TAGTYPE_ID3V1, VC = FMOD_TAGTYPE_VORBISCOMMENT;
    struct Case {
        const char* file;
        FMOD_TAGTYPE type;
        const char *name, *value;
    } const cases[] = {
        {"tag_lame.mp3", V2, "TITLE", "Lame Title"}, {"tag_lame.mp3", V2, "ARTIST", "Lame Artist"},
        {"tag_lame.mp3", V2, "ALBUM", "Lame Album"}, {"tag_lame.mp3", V2, "YEAR", "2004"},
        {"tag_lame.mp3", V2, "TRACK", "7"}, {"tag_lame.mp3", V2, "GENRE", "Jazz"},
        {"tag_lame.mp3", V2, "COMMENT", "Lame comment"}, {"tag_lame.mp3", V1, "GENRE", "Jazz"},
        {"tag_v23_utf16.mp3", V2, "ARTIST", "Künstler ☺"}, {"tag_v23_utf16.mp3", V2, "TITLE", "Grüße"},
        {"tag_v23_utf16.mp3", V2, "ALBUM", "Album Ω"}, {"tag_v23_utf16.mp3", V2, "TRACK", "03"},
        {"tag_v23_utf16.mp3", V2, "GENRE", "Rock"}, {"tag_v23_utf16.mp3", V2, "REPLAYGAIN_TRACK_GAIN", "-6.54 dB"},
        {"tag_v23_utf16.mp3", V1, "ALBUM", "V1 Album"}, {"tag_v23_utf16.mp3", V1, "YEAR", "1987"},
        {"tag_v23_utf16.mp3", V1, "COMMENT", "V1 comment"}, {"tag_v23_utf16.mp3", V1, "TRACK", "5"},
        {"tag_v24_utf8.mp3", V2, "ARTIST", "Ärzte ünd Söhne"}, {"tag_v24_utf8.mp3", V2, "TITLE", "日本語のタイトル"},
        {"tag_v24_utf8.mp3", V2, "GENRE", "Jazz"}, {"tag_v24_utf8.mp3", V2, "TRACK", "4/12"},
        {"tag_v24_utf8.mp3", V2, "COMMENT", "Ein Kommentar"}, {"tag_v24_utf8.mp3", V2, "REPLAYGAIN_TRACK_GAIN", "+1.25 dB"},
        {"tag_v1_ape.mp3", V1, "ARTIST", "Only V1"}, {"tag_v1_ape.mp3", V1, "GENRE", "Electronic"},
        {"tag_v1_ape.mp3", FMOD_TAGTYPE_UNKNOWN, "Title", "<none>"},  // the APE tag is not reported
        {"s16_stereo_44k.flac", VC, "TITLE", "Grüße – ☃ 日本"}, {"s16_stereo_44k.flac", VC, "ARTIST", "Jürgen Weiß"},
        {"ogg_s16.oga", VC, "ARTIST", "Ogg Ärtist"}, {"v_stereo.ogg", VC, "TITLE", "Vorbis Tïtel"},
        {"v_stereo.ogg", VC, "REPLAYGAIN_TRACK_GAIN", "-2.00 dB"},
    };
    for (const Case& c : cases) {
        auto opened = OpenBytes(ReadFixture(c.file));
        ASSERT_EQ(opened->result, FMOD_OK) << c.file;
        EXPECT_EQ(TagValue(opened->tags, c.name, c.type), c.value) << c.file << " " << c.name;
    }
    // ID3v1 comes before ID3v2, so the player, keeping the last value, shows the fuller text.
    std::vector<std::string> artists;
    for (const auto& [name, value] : TagFields(OpenBytes(ReadFixture("tag_v23_utf16.mp3"))->tags))
        if (name == "ARTIST") artists.push_back(value);
    EXPECT_EQ(artists, (std::vector<std::string>{"V1 Artist", "Künstler ☺"}));
}

// Our genre table against the one id3v2 prints (three names are spelt differently there).
TEST(TagFixtures, GenreNamesAgreeWithTheTaggersTable) {
    std::ifstream in(FixturePath("genres.txt"));
    auto lower = [](std::string s) {  // and without trailing blanks
        s.erase(s.find_last_not_of(' ') + 1);
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char ch) { return std::tolower(ch); });
        return s;
    };
    int compared = 0, number;
    char name[64];
    for (std::string line; std::getline(in, line);) {
        if (std::sscanf(line.c_str(), " %d : %63[^\n]", &number, name) != 2) continue;
        if (number == 40 || number == 132 || number == 133 || number > 147) continue;
        EXPECT_EQ(lower(engine::Id3GenreName(number)), lower(name)) << number;
        ++compared;
    }
    EXPECT_EQ(compared, 145);
}
