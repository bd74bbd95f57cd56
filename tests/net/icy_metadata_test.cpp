// In-band titles: the text of a block, the interval header, and blocks cut out of the audio.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/icy_metadata.h"

using engine::MetadataSplitter;
using engine::StreamTitle;

TEST(StreamTitleText, ArtistAndTitleSplitAtTheFirstSeparatorAndTheIntervalIsPlausible) {
    const struct { std::string block; bool found; const char *artist, *title; } cases[] = {
        {std::string("StreamTitle='A - B - C';StreamUrl='';\0\0\0", 39), true, "A", "B - C"},
        {"StreamTitle='News at nine';", true, "", "News at nine"},
        {"StreamTitle='Guns N' Roses - Don't Cry';", true, "Guns N' Roses", "Don't Cry"},
        {"StreamTitle='Die \xC4rzte - Sch\xF6n';", true, "Die \xC3\x84rzte", "Sch\xC3\xB6n"},
        {"StreamTitle='cut sho", true, "", "cut sho"},
        {"StreamUrl='http://x';", false, "old", "old"},
        {std::string("\0StreamTitle='x';", 17), false, "old", "old"},  // after the padding
    };
    for (const auto& c : cases) {
        StreamTitle t{"old", "old"};
        EXPECT_EQ(engine::ParseStreamTitle(c.block, t), c.found) << c.block;
        EXPECT_EQ(std::tie(t.artist, t.title), std::make_tuple(std::string(c.artist), std::string(c.title))) << c.block;
    }
    EXPECT_EQ(engine::ParseMetaInterval(nullptr), 0u);
    for (const std::string text : {"8192", "0", "99999999999", "12ab", "2000000"})
        EXPECT_EQ(engine::ParseMetaInterval(&text), text == "8192" ? 8192u : 0u) << text;
}

TEST(MetadataSplitter, SeparatesAudioAndBlocksWhateverThePieces) {
    // Audio bytes 'a'.. with a block after every 100: the second one empty.
    std::string stream;
    char letter = 'a';
    for (const std::string title : {"StreamTitle='A - 1';", "", "StreamTitle='B - 2';", ""}) {
        const size_t units = (title.size() + 15) / 16;
        stream += std::string(100, letter++) + static_cast<char>(units) + title +
                  std::string(units * 16 - title.size(), '\0');
    }
    for (size_t step : {1u, 5u, 99u, 100u, 101u, 4096u}) {
        MetadataSplitter splitter(100);
        std::vector<uint8_t> audio;
        std::vector<std::string> blocks;
        for (size_t at = 0; at < stream.size(); at += step)
            splitter.Feed(reinterpret_cast<const uint8_t*>(stream.data() + at), std::min(step, stream.size() - at), audio, blocks);
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
