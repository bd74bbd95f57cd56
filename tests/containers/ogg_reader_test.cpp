// The framing every Ogg, FLAC and MP3 reader shares: Ogg pages and packets against what
// libogg writes, Vorbis comments and the ID3v2 size on crafted bytes.
#include <gtest/gtest.h>
#include <ogg/ogg.h>

#include "containers/id3v2_size.h"
#include "containers/vorbis_comment.h"
#include "io/memory_reader.h"
#include "formats/ogg_page_reader.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t kSpanning = 5;  // the packet that spans two pages

// Lacing edges (254, 255, 510), an empty packet and one spanning pages.
const std::vector<Bytes> kPackets = [] {
    std::vector<Bytes> packets;
    for (size_t size : {1, 254, 255, 256, 510, 70000, 0, 3, 9000}) packets.emplace_back(size, uint8_t(packets.size()));
    return packets;
}();

// A page or more per packet: the spanning one fills pages 5 and 6.
const std::vector<Bytes> kPages = [] {
    ogg_stream_state os;
    std::vector<Bytes> pages;
    ogg_stream_init(&os, 77);
    for (size_t i = 0; i < kPackets.size(); ++i) {
        ogg_packet op{const_cast<uint8_t*>(kPackets[i].data()), long(kPackets[i].size()), i == 0,
                      i + 1 == kPackets.size(), ogg_int64_t(i), ogg_int64_t(i)};
        ogg_stream_packetin(&os, &op);
        for (ogg_page og; ogg_stream_flush(&os, &og);) {
            pages.emplace_back(og.header, og.header + og.header_len);
            pages.back().insert(pages.back().end(), og.body, og.body + og.body_len);
        }
    }
    ogg_stream_clear(&os);
    return pages;
}();

Bytes Join(size_t from = 0, size_t leaveOut = SIZE_MAX) {
    Bytes out;
    for (size_t i = from; i < kPages.size(); ++i)
        if (i != leaveOut) out.insert(out.end(), kPages[i].begin(), kPages[i].end());
    return out;
}

// As the engine's readers go: checked pages into packets, on from the next "OggS" after a bad one.
std::vector<Bytes> ReadPackets(const Bytes& bytes, container::OggPackets& packets) {
    std::vector<Bytes> out;
    for (size_t at = 0;;) {
        container::OggPage page;
        const container::OggParse r = container::ParseOggPage(bytes.data() + at, bytes.size() - at, page);
        if (r == container::OggParse::kNeedMoreData) return out;
        const bool ok = r == container::OggParse::kOk;
        ok ? packets.AddPage(page) : packets.LosePage();
        at += ok ? page.totalBytes : container::NextOggCapture(&bytes[at], bytes.size() - at);
        for (Bytes p; packets.Next(p);) out.push_back(std::move(p));
    }
}

TEST(OggReader, PacketsComeBackAsWrittenAndDamageCostsOnlyWhatItTouches) {
    std::vector<Bytes> lost = kPackets, fromContinued(kPackets.begin() + kSpanning + 1, kPackets.end());
    lost.erase(lost.begin() + kSpanning);
    const std::vector<Bytes> lostAndCut(lost.begin(), lost.end() - 1);
    ASSERT_EQ(kPages.size(), kPackets.size() + 1);
    ASSERT_TRUE(kPages[kSpanning + 1][5] & container::kOggContinued);
    Bytes flipped = Join(), junk = Join();
    flipped[Join(0).size() - Join(kSpanning + 1).size() + 40] ^= 0x01;  // the spanning packet's second page
    junk.insert(junk.begin() + long(kPages[0].size()), {'O', 'g', 'g', 'S', 0, 0, 'x'});
    struct Case { const char* what; Bytes bytes; const std::vector<Bytes>& expected; size_t maxPacket = 1 << 20; };
    const Case cases[] = {
        {"whole", Join(), kPackets},
        {"bad checksum", flipped, lost},
        {"junk between pages", junk, kPackets},
        {"a page lost", Join(0, kSpanning), lost},
        {"cut inside the last page", Bytes(flipped.begin(), flipped.end() - 1), lostAndCut},
        {"joined after a packet's start", Join(kSpanning + 1), fromContinued},
        {"a packet over the limit", Join(), lost, 10000},
    };
    for (const auto& c : cases) {
        container::OggPackets assembler(c.maxPacket);
        EXPECT_TRUE(ReadPackets(c.bytes, assembler) == c.expected) << c.what;
    }
    container::OggPage page;  // a page cut short asks for more bytes, never calls the page bad
    for (size_t n = 0; n < kPages[1].size(); ++n)
        ASSERT_EQ(container::ParseOggPage(kPages[1].data(), n, page), container::OggParse::kNeedMoreData) << n;
}

TEST(OggReader, StreamReaderPassesOverDamageAndEndsAtTheCut) {
    Bytes stream = {'j', 'u', 'n', 'k'}, bytes;
    for (size_t i : {0, 1, 2}) stream.insert(stream.end(), kPages[i].begin(), kPages[i].end());
    stream[4 + kPages[0].size() + 40] ^= 0x80;  // damages the second page
    stream.pop_back();                           // and cuts the third
    engine::MemoryReader in(stream.data(), stream.size());
    engine::OggPageReader reader(in);
    container::OggPage page;
    ASSERT_TRUE(reader.Next(bytes, page));
    EXPECT_EQ(std::pair(bytes, reader.SkippedBytes()), std::pair(kPages[0], uint64_t{4}));
    EXPECT_FALSE(reader.Next(bytes, page));
}

TEST(VorbisComments, ALyingCountReadsWhatIsThereAndIsNotWhole) {
    const char block[] = "\3\0\0\0abc\xFF\xFF\xFF\x7F\7\0\0\0TITLE=x";
    container::VorbisComments out;
    ASSERT_TRUE(container::ParseVorbisComments(reinterpret_cast<const uint8_t*>(block), sizeof block - 1, out));
    EXPECT_EQ(std::pair(out.whole, out.fields), std::pair(false, std::vector<std::string>{"TITLE=x"}));
}

TEST(Id3v2Size, OneRuleForEveryReader) {
    const struct { Bytes header; size_t size; } cases[] = {
        {{'I', 'D', '3', 4, 0, 0x10, 0, 0, 1, 0}, 10 + 128 + 10},  // 2.4 with footer
        {{'I', 'D', '3', 3, 0, 0x10, 0, 0, 1, 0}, 10 + 128},       // no footer before 2.4
        {{'I', 'D', '3', 2, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F}, 10 + 0x0FFFFFFF},
        {{'I', 'D', '3', 4, 0, 0, 0, 0, 0x80, 0}, 0},  // not sync-safe
        {{'I', 'D', '3', 5, 0, 0, 0, 0, 1, 0}, 0},     // unknown version
        {{'I', 'D', '3', 3, 0xFF, 0, 0, 0, 1, 0}, 0},  // revision 0xFF
        {{'I', 'D', '3', 3, 0, 0, 0, 0, 1}, 0},        // cut short
    };
    for (const auto& c : cases) EXPECT_EQ(container::Id3v2TagSize(c.header.data(), c.header.size()), c.size);
}

}  // namespace
