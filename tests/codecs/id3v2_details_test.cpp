// ID3v2 corners that taggers rarely write: crafted byte by byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec_support.h"
#include "tags/ape_tag.h"
#include "tags/id3v2.h"
#include "tags/vorbis_comment.h"

using namespace codectest;

namespace {

void PutSyncSafe(Bytes& b, uint32_t v) {
    for (int shift = 21; shift >= 0; shift -= 7) b.push_back(uint8_t((v >> shift) & 0x7F));
}
void PutBe32(Bytes& b, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(uint8_t(v >> shift));
}
void PutLe32(Bytes& b, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) b.push_back(uint8_t(v >> shift));
}

// A frame of version 3 or 4 with the given flags and body.
Bytes Frame(int version, const std::string& id, const Bytes& body, uint16_t flags = 0) {
    Bytes f(id.begin(), id.end());
    if (version == 4) PutSyncSafe(f, uint32_t(body.size()));
    else PutBe32(f, uint32_t(body.size()));
    f.push_back(uint8_t(flags >> 8));
    f.push_back(uint8_t(flags));
    f.insert(f.end(), body.begin(), body.end());
    return f;
}

Bytes Text(uint8_t encoding, const Bytes& text) {
    Bytes b{encoding};
    b.insert(b.end(), text.begin(), text.end());
    return b;
}
Bytes Latin1(const std::string& s) { return Text(0, Bytes(s.begin(), s.end())); }

Bytes Tag(int version, uint8_t flags, const Bytes& body, bool footer = false) {
    Bytes t{'I', 'D', '3', uint8_t(version), 0, flags};
    PutSyncSafe(t, uint32_t(body.size()));
    t.insert(t.end(), body.begin(), body.end());
    if (footer) {
        Bytes f{'3', 'D', 'I', uint8_t(version), 0, flags};
        PutSyncSafe(f, uint32_t(body.size()));
        t.insert(t.end(), f.begin(), f.end());
    }
    return t;
}

std::unique_ptr<engine::TagList> Read(const Bytes& tag) {
    auto tags = std::make_unique<engine::TagList>();
    engine::ReadId3v2(tag.data(), tag.size(), *tags);
    return tags;
}

TEST(Id3v2Details, ExtendedHeadersAreSkippedInBothVersions) {
    Bytes v3{0, 0, 0, 6, 0, 0, 0, 0, 0, 0};  // size 6 (without itself), flags, padding size
    const Bytes title = Frame(3, "TIT2", Latin1("Three"));
    v3.insert(v3.end(), title.begin(), title.end());
    EXPECT_EQ(TagValue(*Read(Tag(3, 0x40, v3)), FMOD_TAGTYPE_ID3V2, "TITLE"), "Three");

    Bytes v4;
    PutSyncSafe(v4, 6);  // size including itself
    v4.push_back(1);
    v4.push_back(0);
    const Bytes title4 = Frame(4, "TIT2", Latin1("Four"));
    v4.insert(v4.end(), title4.begin(), title4.end());
    EXPECT_EQ(TagValue(*Read(Tag(4, 0x40, v4)), FMOD_TAGTYPE_ID3V2, "TITLE"), "Four");
}

TEST(Id3v2Details, FooterCountsInTheTagSize) {
    const Bytes tag = Tag(4, 0x10, Frame(4, "TPE1", Latin1("A")), true);
    EXPECT_EQ(container::Id3v2TagSize(tag.data(), tag.size()), tag.size());
    EXPECT_EQ(TagValue(*Read(tag), FMOD_TAGTYPE_ID3V2, "ARTIST"), "A");
}

TEST(Id3v2Details, CompressedAndEncryptedFramesAreSkippedAndTheNextOneRead) {
    Bytes v3 = Frame(3, "TIT2", Latin1("zlib bytes"), 0x0080);
    const Bytes encrypted = Frame(3, "TALB", Latin1("secret"), 0x0040);
    const Bytes artist = Frame(3, "TPE1", Latin1("Visible"));
    v3.insert(v3.end(), encrypted.begin(), encrypted.end());
    v3.insert(v3.end(), artist.begin(), artist.end());
    auto tags3 = Read(Tag(3, 0, v3));
    EXPECT_EQ(tags3->Count(), 1u);
    EXPECT_EQ(TagValue(*tags3, FMOD_TAGTYPE_ID3V2, "ARTIST"), "Visible");

    Bytes v4 = Frame(4, "TIT2", Latin1("zlib"), 0x0008 | 0x0001);
    const Bytes artist4 = Frame(4, "TPE1", Latin1("Visible"));
    v4.insert(v4.end(), artist4.begin(), artist4.end());
    auto tags4 = Read(Tag(4, 0, v4));
    EXPECT_EQ(tags4->Count(), 1u);
    EXPECT_EQ(TagValue(*tags4, FMOD_TAGTYPE_ID3V2, "ARTIST"), "Visible");
}

TEST(Id3v2Details, PerFrameUnsynchronisationAndDataLengthInVersionFour) {
    // "\xFF\x00" in the stored frame is a plain 0xFF: in Latin-1 a y with diaeresis.
    Bytes body{0, 0, 0, 3};  // data length indicator
    const Bytes text{0, 'a', 0xFF, 0x00, 'b'};
    body.insert(body.end(), text.begin(), text.end());
    EXPECT_EQ(TagValue(*Read(Tag(4, 0, Frame(4, "TIT2", body, 0x0002 | 0x0001))), FMOD_TAGTYPE_ID3V2, "TITLE"),
              "a\xC3\xBF" "b");
}

TEST(Id3v2Details, Utf16WithoutByteOrderMarkAndBigEndianUtf16) {
    // Encoding 1 without a mark: little-endian, as writers without one use it.
    EXPECT_EQ(TagValue(*Read(Tag(3, 0, Frame(3, "TIT2", Text(1, {0xFC, 0x00, 'b', 0})))), FMOD_TAGTYPE_ID3V2, "TITLE"),
              "\xC3\xBC" "b");
    // Encoding 2: UTF-16 big-endian (2.4), with a character outside the basic plane.
    EXPECT_EQ(TagValue(*Read(Tag(4, 0, Frame(4, "TIT2", Text(2, {0xD8, 0x3D, 0xDE, 0x00})))), FMOD_TAGTYPE_ID3V2,
                       "TITLE"),
              "\xF0\x9F\x98\x80");
}

TEST(Id3v2Details, VersionTwoPointTwoCompressionMakesTheTagUnreadable) {
    Bytes frame{'T', 'T', '2', 0, 0, 3, 0, 'h', 'i'};
    EXPECT_EQ(Read(Tag(2, 0, frame))->Count(), 1u);
    EXPECT_EQ(Read(Tag(2, 0x40, frame))->Count(), 0u);
}

TEST(Id3v2Details, LinkFramesAndUnknownTextFramesKeepTheirIdentifiers) {
    Bytes body = Frame(3, "WOAR", Bytes{'h', 't', 't', 'p', ':', '/', '/', 'a'});
    const Bytes user = Frame(3, "WXXX", Bytes{0, 'h', 'o', 'm', 'e', 0, 'h', 't', 't', 'p'});
    const Bytes composer = Frame(3, "TCOM", Latin1("Bach"));
    const Bytes picture = Frame(3, "APIC", Bytes(40, 0x55));
    for (const Bytes* f : {&user, &composer, &picture}) body.insert(body.end(), f->begin(), f->end());
    auto tags = Read(Tag(3, 0, body));
    EXPECT_EQ(TagValue(*tags, FMOD_TAGTYPE_ID3V2, "WOAR"), "http://a");
    EXPECT_EQ(TagValue(*tags, FMOD_TAGTYPE_ID3V2, "home"), "http");
    EXPECT_EQ(TagValue(*tags, FMOD_TAGTYPE_ID3V2, "TCOM"), "Bach");
    EXPECT_EQ(tags->Count(), 3u);  // the picture is no text
}

TEST(VorbisCommentBlock, FieldsByNameAndDamageKeepsWhatCameBefore) {
    Bytes block;
    PutLe32(block, 3);
    block.insert(block.end(), {'v', 'e', 'n'});
    PutLe32(block, 4);  // claims four fields
    for (const std::string field : {"TITLE=Eins", "noequals", "=empty name"}) {
        PutLe32(block, uint32_t(field.size()));
        block.insert(block.end(), field.begin(), field.end());
    }
    PutLe32(block, 1000);  // the fourth runs past the end
    block.insert(block.end(), {'A', '=', 'b'});
    engine::TagList tags;
    EXPECT_TRUE(engine::ReadVorbisCommentBlock(block.data(), block.size(), tags));
    EXPECT_EQ(tags.Count(), 1u);
    EXPECT_EQ(TagValue(tags, FMOD_TAGTYPE_VORBISCOMMENT, "TITLE"), "Eins");

    Bytes vendorTooLong;
    PutLe32(vendorTooLong, 50);
    EXPECT_FALSE(engine::ReadVorbisCommentBlock(vendorTooLong.data(), vendorTooLong.size(), tags));
}

TEST(ApeTag, SizeWithAndWithoutHeaderAndRefusedWhenLarger) {
    Bytes footer{'A', 'P', 'E', 'T', 'A', 'G', 'E', 'X'};
    PutLe32(footer, 2000);
    PutLe32(footer, 100);  // items and footer
    PutLe32(footer, 1);
    PutLe32(footer, 0x80000000u);  // has a header
    footer.resize(32, 0);
    EXPECT_EQ(engine::ApeTagSize(footer.data(), 1000), 132u);
    EXPECT_EQ(engine::ApeTagSize(footer.data(), 131), 0u);
    footer[20] = footer[21] = footer[22] = footer[23] = 0;
    EXPECT_EQ(engine::ApeTagSize(footer.data(), 1000), 100u);
    footer[8] = 1;  // unknown version
    EXPECT_EQ(engine::ApeTagSize(footer.data(), 1000), 0u);
}

}  // namespace
