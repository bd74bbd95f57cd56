#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/memory_reader.h"
#include "net/ogg_pages.h"

namespace {

// One page holding the given packets whole (each under 255 * 255 bytes).
std::vector<uint8_t> Page(uint8_t flags, const std::vector<std::string>& packets) {
    std::vector<uint8_t> lacing;
    std::string body;
    for (const std::string& packet : packets) {
        size_t left = packet.size();
        while (left >= 255) {
            lacing.push_back(255);
            left -= 255;
        }
        lacing.push_back(static_cast<uint8_t>(left));
        body += packet;
    }
    std::vector<uint8_t> page = {'O', 'g', 'g', 'S', 0, flags};
    page.resize(26, 0);
    page.push_back(static_cast<uint8_t>(lacing.size()));
    page.insert(page.end(), lacing.begin(), lacing.end());
    page.insert(page.end(), body.begin(), body.end());
    return page;
}

std::string Le32(uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
}

// A comment header: vendor, then the fields, each with its length; `count` may lie.
std::string Comments(const std::vector<std::string>& fields, uint32_t count) {
    std::string packet = std::string("\x03vorbis", 7) + Le32(3) + "abc" + Le32(count);
    for (const std::string& f : fields) packet += Le32(static_cast<uint32_t>(f.size())) + f;
    return packet + "\x01";
}

std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::string kIdent = std::string("\x01vorbis", 7) + std::string(23, '\0');

}  // namespace

TEST(OggPages, SoundCommentHeaderOnTheSecondPage) {
    const auto pages = Join(Page(2, {kIdent}), Page(0, {Comments({"TITLE=x"}, 1), "\x05vorbis-setup"}));
    EXPECT_EQ(engine::CheckCommentHeader(pages), engine::CommentHeader::kSound);
}

TEST(OggPages, CommentHeaderSpanningPagesIsIncompleteUntilItsLastSegment) {
    const std::string big = Comments({"TITLE=" + std::string(600, 'y')}, 1);
    const auto first = Page(2, {kIdent});
    // The comment split across two pages: 510 bytes, then the rest.
    std::vector<uint8_t> part1 = {'O', 'g', 'g', 'S', 0, 0};
    part1.resize(26, 0);
    part1.push_back(2);
    part1.push_back(255);
    part1.push_back(255);
    part1.insert(part1.end(), big.begin(), big.begin() + 510);
    const auto withPart = Join(first, part1);
    EXPECT_EQ(engine::CheckCommentHeader(withPart), engine::CommentHeader::kIncomplete);
    const auto whole = Join(withPart, Page(1, {big.substr(510)}));
    EXPECT_EQ(engine::CheckCommentHeader(whole), engine::CommentHeader::kSound);
}

TEST(OggPages, CommentCountsAndLengthsPastThePacketAreBroken) {
    EXPECT_EQ(engine::CheckCommentHeader(Join(Page(2, {kIdent}), Page(0, {Comments({"A=b"}, 0x7FFFFFFF)}))),
              engine::CommentHeader::kBroken);
    std::string lying = std::string("\x03vorbis", 7) + Le32(0xFFFFFFF0) + "abc";
    EXPECT_EQ(engine::CheckCommentHeader(Join(Page(2, {kIdent}), Page(0, {lying}))), engine::CommentHeader::kBroken);
    EXPECT_EQ(engine::CheckCommentHeader(Join(Page(2, {kIdent}), Page(0, {"\x05vorbis"}))),
              engine::CommentHeader::kBroken);
}

TEST(OggPages, PagesAreReadWholeAndATruncatedPageIsNone) {
    const auto page = Page(2, {kIdent});
    engine::MemoryReader whole(page.data(), page.size());
    engine::OggPage out;
    ASSERT_TRUE(engine::ReadOggPage(whole, out));
    EXPECT_EQ(out.bytes, page);
    EXPECT_TRUE(out.header.flags & 0x02);
    engine::MemoryReader cut(page.data(), page.size() - 1);
    EXPECT_FALSE(engine::ReadOggPage(cut, out));
    const std::string junk = "NotAnOggPage-----------------------";
    engine::MemoryReader notOgg(junk.data(), junk.size());
    EXPECT_FALSE(engine::ReadOggPage(notOgg, out));
}
