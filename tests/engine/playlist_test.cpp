#include <gtest/gtest.h>

#include "engine_support.h"
#include "playlists/playlist_readers.h"

using namespace engine;
using namespace enginetest;

namespace {

using Entries = std::vector<std::string>;

Entries EntriesOf(const std::string& text) {
    auto opened = OpenBytes(Bytes(text.begin(), text.end()));
    if (opened->result != FMOD_OK) return {"<not a playlist>"};
    EXPECT_EQ(opened->sound.format.type, FMOD_SOUND_TYPE_PLAYLIST);
    EXPECT_EQ(opened->sound.decoder, nullptr);
    Entries out;
    for (const Tag& tag : *opened->tags.Snapshot()) {
        EXPECT_EQ(tag.type, FMOD_TAGTYPE_PLAYLIST);
        EXPECT_EQ(tag.name, "FILE");
        out.push_back(tag.data);
    }
    return out;
}

}  // namespace

TEST(PlaylistReaders, EveryKindAndEncodingGivesItsEntriesInFileOrder) {
    const std::string asx =
        "<ASX version=\"3.0\">\n"
        "  <!-- <ref href=\"commented.mp3\"/> -->\n"
        "  <Entry><Title>One</Title><REF HREF=\"http://a/x?b=1&amp;c=2\" /></Entry>\n"
        "  <entry><ref href='C:\\M\xC3\xBCsik\\two.wma'/></entry>\n"
        "  <entry><Ref\n   Href = three.mp3 ></entry>\n"
        "  <entry><reference href=\"not-a-ref.mp3\"/><ref href=\"&#252;&#x20AC;.mp3\"/></entry>\n"
        "</asx>\n";
    const char utf16[] = "\xFF\xFE#\0E\0X\0T\0M\0003\0U\0\n\0\xFC\0.\0w\0a\0v\0";
    const std::pair<std::string, Entries> cases[] = {
        // As the player writes it (copied to UTF-8 with CR LF): no titles, no lengths.
        {"[playlist]\r\nFile1=C:\\Musik\\Stra\xC3\x9F" "e.mp3\r\nFile2=D:\\a=b\\two  blanks.wav\r\nNumberOfEntries=2\r\nVersion=2\r\n",
         {"C:\\Musik\\Stra\xC3\x9F" "e.mp3", "D:\\a=b\\two  blanks.wav"}},
        {"[playlist]\r\nNumberOfEntries=0\r\nVersion=2\r\n", {}},
        // Other writers: titles and lengths, any order and letter case, bare CR.
        {"[Playlist]\nfile2=second.mp3\nTitle2=A\nLength2=-1\nFILE1 = first.mp3 \nFileX=no\nFile=no\n", {"second.mp3", "first.mp3"}},
        {"\xEF\xBB\xBF[playlist]\rFile1=a.wav\r", {"a.wav"}},
        {"a.mp3\r\n\r\nsub/b.flac\n# comment\nhttp://host/stream\n", {"a.mp3", "sub/b.flac", "http://host/stream"}},
        {"#EXTM3U\n#EXTINF:123,Artist - Title\nC:\\x\\Song.mp3\n#EXTINF:-1,Radio\nhttp://r/\n", {"C:\\x\\Song.mp3", "http://r/"}},
        {"\xEF\xBB\xBF#EXTM3U\n\xC3\xA4.mp3\n", {"\xC3\xA4.mp3"}},
        {"#EXTM3U\n\xE4rger.mp3\n", {"\xC3\xA4rger.mp3"}},  // Latin-1
        {std::string(utf16, sizeof utf16 - 1), {"\xC3\xBC.wav"}},
        {asx, {"http://a/x?b=1&c=2", "C:\\M\xC3\xBCsik\\two.wma", "three.mp3", "\xC3\xBC\xE2\x82\xAC.mp3"}},
        {"<?xml version=\"1.0\"?>\n<asx><entry><ref href=\"w.wma\"/></entry></asx>", {"w.wma"}},
        {"Dear diary, today was a fine day with a .wav name\n", {"<not a playlist>"}},
        {"<html><body>hello</body></html>", {"<not a playlist>"}},
        {std::string("a.mp3\0\x01\x02", 8), {"<not a playlist>"}},
    };
    for (const auto& [text, entries] : cases) EXPECT_EQ(EntriesOf(text), entries) << text;
    EXPECT_EQ(DetectPlaylist("  \r\n [playlist]"), PlaylistKind::Pls);
}

TEST(PlaylistReaders, UnterminatedAndHugeInputStaysBounded) {
    EXPECT_EQ(ReadAsx("<asx><ref href=\"never closed"), Entries{});
    EXPECT_EQ(ReadAsx("<asx><!-- open comment <ref href=\"x\"/>"), Entries{});
    EXPECT_EQ(ReadAsx("<ref href=\"&#99999999999;\"/>"), Entries{"&#99999999999;"});
    std::string many = "#EXTM3U\n";
    for (int i = 0; i < 150000; ++i) many += "x.mp3\n";
    EXPECT_EQ(ReadM3u(many).size(), kMaxPlaylistEntries);
}
