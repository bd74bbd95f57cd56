#include "tags/id3v1.h"

#include <cstring>
#include <string_view>

#include "text/utf8.h"

namespace engine {
namespace {

const char* const kGenres[] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal",
    "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip",
    "Gospel", "Noise", "Alternative Rock", "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop",
    "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk",
    "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40", "Christian Rap", "Pop/Funk",
    "Jungle", "Native American", "Cabaret", "New Wave", "Psychedelic", "Rave", "Showtunes", "Trailer", "Lo-Fi",
    "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock",
    // The numbers taggers added later; files written since carry them as well.
    "Folk", "Folk-Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic",
    "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock", "Symphonic Rock",
    "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera",
    "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club",
    "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock",
    "Drum Solo", "A capella", "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore",
    "Terror", "Indie", "BritPop", "Afro-Punk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal",
    "Black Metal", "Crossover", "Contemporary Christian", "Christian Rock", "Merengue", "Salsa",
    "Thrash Metal", "Anime", "JPop", "Synthpop",
};

void AddField(TagList& tags, const char* name, const uint8_t* field, size_t size) {
    std::string_view text = TrimFixedField({reinterpret_cast<const char*>(field), size});
    if (!text.empty()) tags.Add(FMOD_TAGTYPE_ID3V1, name, AnyTextToUtf8(text));
}

}  // namespace

std::string Id3GenreName(int number) {
    if (number < 0 || number >= static_cast<int>(std::size(kGenres))) return {};
    return kGenres[number];
}

std::string ResolveId3Genre(const std::string& text) {
    size_t start = 0, end = text.size();
    if (!text.empty() && text[0] == '(') {
        start = 1;
        end = text.find(')');
        if (end == std::string::npos) return text;
        // "(17)Rock": the refinement after the number is the better name.
        if (end + 1 < text.size()) return text.substr(end + 1);
    }
    if (end == start || end - start > 3) return text;
    int number = 0;
    for (size_t i = start; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return text;
        number = number * 10 + (text[i] - '0');
    }
    std::string name = Id3GenreName(number);
    return name.empty() ? text : name;
}

bool ReadId3v1(const uint8_t* tag, TagList& tags) {
    if (std::memcmp(tag, "TAG", 3) != 0) return false;
    AddField(tags, "TITLE", tag + 3, 30);
    AddField(tags, "ARTIST", tag + 33, 30);
    AddField(tags, "ALBUM", tag + 63, 30);
    AddField(tags, "YEAR", tag + 93, 4);
    const bool hasTrack = tag[125] == 0 && tag[126] != 0;  // ID3v1.1
    AddField(tags, "COMMENT", tag + 97, hasTrack ? 28 : 30);
    if (hasTrack) tags.Add(FMOD_TAGTYPE_ID3V1, "TRACK", std::to_string(tag[126]));
    std::string genre = Id3GenreName(tag[127]);
    if (!genre.empty()) tags.Add(FMOD_TAGTYPE_ID3V1, "GENRE", genre);
    return true;
}

}  // namespace engine
