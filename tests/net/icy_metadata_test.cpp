#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/icy_metadata.h"
#include "net/ogg_stream_decoder.h"

using engine::MetadataSplitter;
using engine::StreamTitle;

TEST(StreamTitleText, SplitsAtTheFirstSeparatorOnly) {
    StreamTitle t;
    ASSERT_TRUE(engine::ParseStreamTitle(std::string("StreamTitle='A - B - C';StreamUrl='';\0\0\0", 39), t));
    EXPECT_EQ(t.artist, "A");
    EXPECT_EQ(t.title, "B - C");
}

TEST(StreamTitleText, WithoutSeparatorTheWholeTextIsTheTitle) {
    StreamTitle t{"old", "old"};
    ASSERT_TRUE(engine::ParseStreamTitle("StreamTitle='News at nine';", t));
    EXPECT_EQ(t.artist, "");
    EXPECT_EQ(t.title, "News at nine");
    ASSERT_TRUE(engine::ParseStreamTitle("StreamTitle='';", t));
    EXPECT_EQ(t.title, "");
}

TEST(StreamTitleText, ApostrophesInsideTheTitleSurvive) {
    StreamTitle t;
    ASSERT_TRUE(engine::ParseStreamTitle("StreamTitle='Guns N' Roses - Don't Cry';", t));
    EXPECT_EQ(t.artist, "Guns N' Roses");
    EXPECT_EQ(t.title, "Don't Cry");
}

TEST(StreamTitleText, Latin1BytesBecomeUtf8AndUtf8StaysAsItIs) {
    StreamTitle t;
    ASSERT_TRUE(engine::ParseStreamTitle("StreamTitle='Die \xC4rzte - Sch\xF6n';", t));
    EXPECT_EQ(t.artist, "Die \xC3\x84rzte");
    EXPECT_EQ(t.title, "Sch\xC3\xB6n");
    ASSERT_TRUE(engine::ParseStreamTitle("StreamTitle='Die \xC3\x84rzte - Sch\xC3\xB6n';", t));
    EXPECT_EQ(t.artist, "Die \xC3\x84rzte");
    EXPECT_EQ(t.title, "Sch\xC3\xB6n");
}

TEST(StreamTitleText, BlocksWithoutTitleOrCutShortAreHandled) {
    StreamTitle t;
    EXPECT_FALSE(engine::ParseStreamTitle("StreamUrl='http://x';", t));
    EXPECT_FALSE(engine::ParseStreamTitle(std::string("\0StreamTitle='x';", 17), t));  // after the padding
    ASSERT_TRUE(engine::ParseStreamTitle("StreamTitle='cut sho", t));
    EXPECT_EQ(t.title, "cut sho");
}

TEST(MetaInterval, OnlyPlausibleNumbersCount) {
    const std::string good = "8192", zero = "0", huge = "99999999999", text = "12ab", big = "2000000";
    EXPECT_EQ(engine::ParseMetaInterval(&good), 8192u);
    EXPECT_EQ(engine::ParseMetaInterval(nullptr), 0u);
    EXPECT_EQ(engine::ParseMetaInterval(&zero), 0u);
    EXPECT_EQ(engine::ParseMetaInterval(&huge), 0u);
    EXPECT_EQ(engine::ParseMetaInterval(&text), 0u);
    EXPECT_EQ(engine::ParseMetaInterval(&big), 0u);
}

namespace {

// Audio bytes 'a'.. with a block after every `interval`: block i holds titles[i] or is empty.
std::string Interleave(size_t interval, size_t blocks, const std::vector<std::string>& titles) {
    std::string out;
    for (size_t i = 0; i < blocks; ++i) {
        out += std::string(interval, static_cast<char>('a' + i % 26));
        const std::string title = i < titles.size() ? titles[i] : "";
        const size_t units = (title.size() + 15) / 16;
        out += static_cast<char>(units);
        out += title + std::string(units * 16 - title.size(), '\0');
    }
    return out;
}

}  // namespace

TEST(MetadataSplitter, SeparatesAudioAndBlocksWhateverThePieces) {
    const std::string stream = Interleave(100, 4, {"StreamTitle='A - 1';", "", "StreamTitle='B - 2';"});
    for (size_t step : {1u, 5u, 99u, 100u, 101u, 4096u}) {
        MetadataSplitter splitter(100);
        std::vector<uint8_t> audio;
        std::vector<std::string> blocks;
        for (size_t at = 0; at < stream.size(); at += step) {
            const size_t n = std::min(step, stream.size() - at);
            splitter.Feed(reinterpret_cast<const uint8_t*>(stream.data() + at), n, audio, blocks);
        }
        EXPECT_EQ(std::string(audio.begin(), audio.end()),
                  std::string(100, 'a') + std::string(100, 'b') + std::string(100, 'c') + std::string(100, 'd'));
        ASSERT_EQ(blocks.size(), 2u) << step;
        StreamTitle t;
        ASSERT_TRUE(engine::ParseStreamTitle(blocks[1], t));
        EXPECT_EQ(t.artist, "B");
    }
}

TEST(MetadataSplitter, ALengthPointingPastTheDataWaitsAndNeverOverreads) {
    MetadataSplitter splitter(4);
    std::vector<uint8_t> audio;
    std::vector<std::string> blocks;
    const uint8_t bytes[] = {'w', 'x', 'y', 'z', 255, 'S', 't'};
    splitter.Feed(bytes, sizeof bytes, audio, blocks);
    EXPECT_EQ(audio.size(), 4u);
    EXPECT_TRUE(blocks.empty());  // 4080 bytes announced, two came
    const std::vector<uint8_t> rest(4078, 0);
    splitter.Feed(rest.data(), rest.size(), audio, blocks);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].size(), 4080u);
}

TEST(MetadataSplitter, IntervalZeroPassesEverythingAsAudio) {
    MetadataSplitter splitter(0);
    std::vector<uint8_t> audio;
    std::vector<std::string> blocks;
    const uint8_t bytes[] = {1, 2, 3, 255, 0};
    splitter.Feed(bytes, sizeof bytes, audio, blocks);
    EXPECT_EQ(audio.size(), 5u);
    EXPECT_TRUE(blocks.empty());
}

TEST(OggComments, ArtistAndTitleInAnyLetterCaseMakeTheTitle) {
    StreamTitle t{"old", "old"};
    ASSERT_TRUE(engine::TitleFromComments({"encoder=x", "title=Song", "Artist=Band"}, t));
    EXPECT_EQ(t.artist, "Band");
    EXPECT_EQ(t.title, "Song");
    ASSERT_TRUE(engine::TitleFromComments({"TITLE=Sch\xF6n"}, t));
    EXPECT_EQ(t.artist, "");
    EXPECT_EQ(t.title, "Sch\xC3\xB6n");
    EXPECT_FALSE(engine::TitleFromComments({"ALBUM=x", "no separator"}, t));
    EXPECT_EQ(t.title, "Sch\xC3\xB6n");  // untouched
}
