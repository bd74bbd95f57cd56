// The playlist: entries, rows, removing, shuffling, the next and previous entry, files
// picked in the dialog, stream addresses and answers, list texts, PLS files, CD drives.
#include <gtest/gtest.h>

#include <map>

#include "playlist/audio_cd.h"
#include "playlist/entry_index.h"
#include "playlist/open_files.h"
#include "playlist/open_stream.h"
#include "playlist/playlist.h"
#include "playlist/playlist_conversion.h"
#include "playlist/pls_writer.h"

namespace {
PlaylistEntry Entry(const std::string& path, const std::string& artist = "", const std::string& title = "") {
    PlaylistEntry entry;
    entry.path = path, entry.artist = artist, entry.title = title, entry.durationText = "03:12";
    return entry;
}
std::string Paths(const Playlist& list) {
    std::string paths;
    for (const PlaylistEntry& entry : list) paths += entry.path;
    return paths;
}
} // namespace

// Paths compare without case; of two entries with one path the later is the current one.
TEST(Playlist, CurrentNextAndPreviousEntries) {
    const Playlist list = {Entry("a.mp3"), Entry("B.mp3"), Entry("c.mp3"), Entry("b.MP3")};
    for (const auto& [path, index] : {std::pair{"b.mp3", 3}, {"A.MP3", 0}, {"d.mp3", -1}, {"", -1}})
        EXPECT_EQ(LastIndexOfPath(list, path), index) << path;
    const Playlist abc = {Entry("A"), Entry("B"), Entry("C")}, duplicate = {Entry("A"), Entry("B"), Entry("A"), Entry("C")};
    const struct { const Playlist* list; const char* current; int repeat, force, expected; } next[] = {
        {&abc, "A", 0, 0, 1},  {&abc, "b", 0, 0, 2},
        {&abc, "C", 0, 0, -1}, {&abc, "C", 1, 0, 0}, {&abc, "C", 0, 1, 0},  // past the end
        {&abc, "", 0, 0, 0},   {&abc, "removed.mp3", 0, 0, 0},              // no current entry: the first
        {&duplicate, "A", 0, 0, 3},
    };
    for (const auto& c : next)
        EXPECT_EQ(NextEntryIndex(*c.list, c.current, c.repeat, c.force), c.expected) << c.current << c.repeat << c.force;
    // Back, and always round.
    const std::pair<const char*, int> previous[] = {{"C", 1}, {"A", 2}, {"gone", 2}};
    for (const auto& [current, expected] : previous) EXPECT_EQ(PreviousEntryIndex(abc, current), expected) << current;
    EXPECT_EQ(PreviousEntryIndex({Entry("A"), Entry("B"), Entry("A")}, "a"), 1);
    EXPECT_EQ(PreviousEntryIndex(Playlist{}, "A"), -1);
}

TEST(PlaylistRow, Table) {
    PlaylistEntry stream = Entry("http://radio.example.org:8000/live", "ignored");
    stream.tagType = 4, stream.bitrateText = "128";
    PlaylistEntry namedStream = stream;
    namedStream.streamName = "Radio Eins";
    const struct { PlaylistEntry entry; const char *title, *time; } cases[] = {
        {Entry("C:\\Musik\\Lied.mp3"), "Lied.mp3", "03:12"},
        {Entry("C:\\Musik\\Lied.mp3", "", "Titel"), " - Titel", "03:12"},
        {Entry("C:\\Musik\\Lied.mp3", "K\xFCnstler", "Titel"), "K\xFCnstler - Titel", "03:12"},
        {stream, "http://radio.example.org:8000/live", "128"},
        {namedStream, "Radio Eins", "128"},
        {Entry("C:/Musik/Lied.mp3", "A", "T"), "C:/Musik/Lied.mp3", ""}, // a slash reads as a stream
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::make_pair(RowTextOf(c.entry).title, RowTextOf(c.entry).time), std::make_pair(std::string(c.title), std::string(c.time)));
}

TEST(Playlist, RemovingKeepsTheRestInOrder) {
    Playlist list = {Entry("0"), Entry("1"), Entry("2"), Entry("3"), Entry("4")};
    RemoveEntries(list, {false, true, false, true, false});
    EXPECT_EQ(Paths(list), "024");
    for (const PlaylistEntry& entry : list) EXPECT_EQ(entry.mark, 0);
    RemoveEntries(list, {true}); // a short selection touches only the rows it covers
    EXPECT_EQ(Paths(list), "24");
}

TEST(Playlist, ShuffleIsAUniformPermutationAndClearsTheKeys) {
    // Each of the 6 orders of three entries should come up about 1/6 of the time.
    std::mt19937 random(99);
    std::map<std::string, int> orders;
    for (int round = 0; round < 6000; ++round) {
        Playlist list = {Entry("a"), Entry("b"), Entry("c")};
        ShuffleWithRandomKeys(list, random);
        for (const PlaylistEntry& entry : list) ASSERT_EQ(entry.mark, 0);
        orders[Paths(list)]++;
    }
    ASSERT_EQ(orders.size(), 6u);
    for (const auto& [order, count] : orders) EXPECT_TRUE(count > 850 && count < 1150) << order << ": " << count;
}

TEST(OpenFiles, DialogExtensionsSelectedPathsAndNamesUpToTheFirstPlaylist) {
    const std::pair<const char*, const char*> extensions[] = {  // after the last dot, ending at a quote
        {"C:\\m\\a.mp3", "mp3"}, {"C:\\m.d\\a", ""}, {"C:/m.d/a", ""}, {"a.tar.M3U", "M3U"},
        {"\"C:\\m\\b.pls\" \"x", "pls"}, {"noext", ""}, {"C:\\m\\a.", ""}};
    for (const auto& [name, extension] : extensions) EXPECT_EQ(DialogExtension(name), extension) << name;
    const std::pair<std::string, std::vector<std::string>> buffers[] = {
        {std::string("C:\\m\\a.wav\0\0", 13), {"C:\\m\\a.wav"}},
        {std::string("C:\\m\0b.wav\0a.m3u\0\0garbage", 26), {"C:\\m\\b.wav", "C:\\m\\a.m3u"}},
        {std::string("C:\\\0a.wav\0b.wav\0\0", 18), {"C:\\a.wav", "C:\\b.wav"}},
        {std::string("\0\0", 3), {}},  // cancelled
        {std::string("a\0b", 3), {"a\\b"}},  // unterminated
    };
    for (const auto& [buffer, paths] : buffers) EXPECT_EQ(SelectedPaths(buffer.data(), buffer.size()), paths) << buffer;
    const struct { std::vector<std::string> selected, names; bool playlist; } selections[] = {
        {{"a.wav", "b.mp3"}, {"a.wav", "b.mp3"}, false},
        {{"a.wav", "L.M3U", "b.mp3", "c.pls"}, {"a.wav", "L.M3U"}, true},
        {{"x.Pls", "a.wav"}, {"x.Pls"}, true},
        {{"a.asx"}, {"a.asx"}, true},
        {{"a.wax", "b.tmp"}, {"a.wax"}, true},
        {{"a.m3u8", "b.wav"}, {"a.m3u8", "b.wav"}, false},
        {{"a.wav", "", "b.wav"}, {"a.wav"}, false},
        {{}, {}, false},
    };
    for (const auto& c : selections)
        EXPECT_EQ(std::make_pair(NamesToOpen(c.selected).names, NamesToOpen(c.selected).playlist), std::make_pair(c.names, c.playlist));
}

TEST(OpenStream, OnlyAnAddressWithAnExtensionIsDownloadedAndAnswersAreToldApart) {
    for (const char* address : {"http://stream:port/", "http://radio.example/live", ""})
        EXPECT_FALSE(StreamAddressNeedsDownload(address)) << address;
    EXPECT_TRUE(StreamAddressNeedsDownload("http://radio.example/list.PLS"));
    EXPECT_TRUE(StreamAddressNeedsDownload("http://10.0.0.1:8000"));  // the port follows the last dot
    const struct { const char *type, *bytes; AnswerKind kind; } answers[] = {
        {"", "[playlist]\nFile1=http://a/\n", AnswerKind::List},
        {"", "\xEF\xBB\xBF  #EXTM3U\n", AnswerKind::List},
        {"", "http://a:8000/\n", AnswerKind::List},
        {"", "<ASX version=\"3.0\">", AnswerKind::List},
        {"text/plain", "[Reference]\nRef1=http://a/", AnswerKind::List},
        {"audio/x-scpls", "[playlist]\n", AnswerKind::List},
        {"audio/x-mpegurl", "", AnswerKind::List},
        {"audio/mpeg", "[playlist]\n", AnswerKind::Audio},  // the content type wins
        {"application/ogg", "OggS", AnswerKind::Audio},
        {"application/octet-stream", "\xFF\xFB\x90\x64", AnswerKind::Audio},
        {"", "ID3\x04", AnswerKind::Audio},
        {"", "\xFF\x0B", AnswerKind::Neither},  // no frame sync
        {"text/html", "<html><body>404", AnswerKind::Neither},
        {"", "", AnswerKind::Neither},
    };
    for (const auto& c : answers) EXPECT_EQ(KindOfAnswer(c.type, c.bytes, std::char_traits<char>::length(c.bytes)), c.kind) << c.bytes;
}

TEST(PlaylistConversion, LinesEndInCrLfLatin1BecomesUtf8AndAPartEndsAtItsLastCompleteLine) {
    const std::string cases[][2] = {
        {"a\nb\r\nc\rd", "a\r\nb\r\nc\r\nd\r\n"},       // every line ending becomes CR LF
        {std::string("a\0b", 3), "a\r\nb\r\n"},            // so does a zero byte
        {"a\n\nb\n", "a\r\n\r\nb\r\n"},                   // empty lines stay, none added
        {"", ""},
        {"\r\r", "\r\n\r\n"},
        {"File1=C:\\M\xFCsik\\\xC4.mp3", "File1=C:\\M\xC3\xBCsik\\\xC3\x84.mp3\r\n"},  // Latin-1 to UTF-8
        {"\xE2\x82\xAC.mp3", "\xE2\x82\xAC.mp3\r\n"},     // UTF-8 is not encoded twice
        {"\xEF\xBB\xBF#EXTM3U\nM\xC3\xBCsik.mp3\n", "#EXTM3U\r\nM\xC3\xBCsik.mp3\r\n"},  // mark dropped
        {"\xC3\xBC\n\xFC\n", "\xC3\xBC\r\n\xC3\xBC\r\n"},  // each line judged on its own
    };
    for (const auto& c : cases) EXPECT_EQ(ConvertPlaylistText(c[0]), c[1]) << c[0];
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x8E\xB5"));
    // overlong (two and three bytes), surrogate, past U+10FFFF, cut short, lone continuation
    for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3", "\xBF"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    const std::string parts[][2] = {{"C:\\a.mp3\r\nC:\\b.mp3\r\nC:\\lo", "C:\\a.mp3\r\nC:\\b.mp3\r\n"},
                                    {"a\rb", "a\r"}, {std::string("a\0b", 3), std::string("a\0", 2)}, {"C:\\lo", ""}};
    for (const auto& p : parts) EXPECT_EQ(CompleteLines(p[0]), p[1]) << p[0];
}

TEST(PlsWriter, PathsUnchangedNumberedFromOneAndTheFolderPart) {
    EXPECT_EQ(PlsText({}), "[playlist]\r\nNumberOfEntries=0\r\nVersion=2\r\n");
    Playlist list = {Entry("C:\\Musik\\a b=c.mp3"), Entry("http://radio.example.org:8000/live", "A", "not written"),
                     Entry("M\xFCsik.ogg")};
    EXPECT_EQ(PlsText(list), "[playlist]\r\nFile1=C:\\Musik\\a b=c.mp3\r\n"
                             "File2=http://radio.example.org:8000/live\r\nFile3=M\xFCsik.ogg\r\n"
                             "NumberOfEntries=3\r\nVersion=2\r\n");
    const std::pair<const char*, const char*> folders[] = {
        {"C:\\Listen\\Playlist.pls", "C:\\Listen\\"}, {"D:/a/b.pls", "D:/a/"}, {"Playlist.pls", ""}};
    for (const auto& [path, folder] : folders) EXPECT_EQ(FolderPart(path), folder) << path;
}

TEST(AudioCd, RowShowsTheRootAndTheTrimmedLabelOrLeer) {
    const std::pair<std::string, const char*> cases[] = {
        {"MEINE CD", "D:\\ - MEINE CD"}, {"  MEINE CD   ", "D:\\ - MEINE CD"},
        {std::string("AUDIO\0old label", 15), "D:\\ - AUDIO"},  // the label ends at its zero byte
        {"", "D:\\ - Leer"}, {"    ", "D:\\ - Leer"},
        {std::string(255, ' '), "D:\\ - Leer"},  // what a failed label read leaves: no zero byte at all
    };
    for (const auto& [label, row] : cases) EXPECT_EQ(CdDriveRowText('D', label.data(), label.size()), row) << "[" << label << "]";
}
