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

TEST(PlsReader, ThePlayersOwnLayoutReadsBackExactly) {
    // As the player writes it (then copied to UTF-8 with CR LF): no titles, no lengths.
    const Entries paths = {"C:\\Musik\\Stra\xC3\x9F" "e.mp3", "http://127.0.0.1:8000/live", "D:\\a=b\\two  blanks.wav",
                           "relative/x.flac"};
    std::string pls = "[playlist]\r\n";
    for (size_t i = 0; i < paths.size(); ++i) pls += "File" + std::to_string(i + 1) + "=" + paths[i] + "\r\n";
    pls += "NumberOfEntries=" + std::to_string(paths.size()) + "\r\nVersion=2\r\n";
    EXPECT_EQ(EntriesOf(pls), paths);
    EXPECT_EQ(EntriesOf("[playlist]\r\nNumberOfEntries=0\r\nVersion=2\r\n"), Entries{});
    // Other writers add titles and lengths; they are not entries.
    EXPECT_EQ(EntriesOf("[playlist]\nFile1=a.mp3\nTitle1=A\nLength1=-1\nNumberOfEntries=1\n"), Entries{"a.mp3"});
}

TEST(PlsReader, FollowsFileOrderAndAnyLetterCase) {
    EXPECT_EQ(EntriesOf("[Playlist]\nfile2=second.mp3\nFILE1 = first.mp3 \nFileX=no\nFile=no\n"),
              (Entries{"second.mp3", "first.mp3"}));
    EXPECT_EQ(EntriesOf("\xEF\xBB\xBF[playlist]\rFile1=a.wav\r"), (Entries{"a.wav"}));
}

TEST(M3uReader, PlainExtendedAndByteOrderMarked) {
    EXPECT_EQ(EntriesOf("a.mp3\r\n\r\nsub/b.flac\n# comment\nhttp://host/stream\n"),
              (Entries{"a.mp3", "sub/b.flac", "http://host/stream"}));
    EXPECT_EQ(EntriesOf("#EXTM3U\n#EXTINF:123,Artist - Title\nC:\\x\\Song.mp3\n#EXTINF:-1,Radio\nhttp://r/\n"),
              (Entries{"C:\\x\\Song.mp3", "http://r/"}));
    EXPECT_EQ(EntriesOf("\xEF\xBB\xBF#EXTM3U\n\xC3\xA4.mp3\n"), (Entries{"\xC3\xA4.mp3"}));
}

TEST(M3uReader, Latin1AndUtf16ComeOutAsUtf8) {
    EXPECT_EQ(EntriesOf("#EXTM3U\n\xE4rger.mp3\n"), (Entries{"\xC3\xA4rger.mp3"}));
    const char utf16[] = "\xFF\xFE#\0E\0X\0T\0M\0003\0U\0\n\0\xFC\0.\0w\0a\0v\0";
    std::string text(utf16, sizeof utf16 - 1);
    EXPECT_EQ(EntriesOf(text), (Entries{"\xC3\xBC.wav"}));
}

TEST(AsxReader, RefsInAnyCaseWithEntitiesAndQuotes) {
    const std::string asx =
        "<ASX version=\"3.0\">\n"
        "  <!-- <ref href=\"commented.mp3\"/> -->\n"
        "  <Entry><Title>One</Title><REF HREF=\"http://a/x?b=1&amp;c=2\" /></Entry>\n"
        "  <entry><ref href='C:\\M\xC3\xBCsik\\two.wma'/></entry>\n"
        "  <entry><Ref\n   Href = three.mp3 ></entry>\n"
        "  <entry><reference href=\"not-a-ref.mp3\"/><ref href=\"&#252;&#x20AC;.mp3\"/></entry>\n"
        "</asx>\n";
    EXPECT_EQ(EntriesOf(asx), (Entries{"http://a/x?b=1&c=2", "C:\\M\xC3\xBCsik\\two.wma", "three.mp3",
                                       "\xC3\xBC\xE2\x82\xAC.mp3"}));
    EXPECT_EQ(EntriesOf("<?xml version=\"1.0\"?>\n<asx><entry><ref href=\"w.wma\"/></entry></asx>"),
              (Entries{"w.wma"}));
}

TEST(PlaylistDetection, OrdinaryTextAndBinaryAreNotPlaylists) {
    EXPECT_EQ(EntriesOf("Dear diary, today was a fine day with a .wav name\n"), Entries{"<not a playlist>"});
    EXPECT_EQ(EntriesOf("<html><body>hello</body></html>"), Entries{"<not a playlist>"});
    EXPECT_EQ(EntriesOf(std::string("a.mp3\0\x01\x02", 8)), Entries{"<not a playlist>"});
    EXPECT_EQ(DetectPlaylist(""), PlaylistKind::None);
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
