// The tag readers on tags built byte by byte: ID3v1, every ID3v2 version and its corners,
// and the names of Vorbis comment fields.
#include <gtest/gtest.h>

#include <cstring>

#include "engine_support.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"
#include "tags/vorbis_comment.h"

using namespace engine;
using namespace enginetest;

namespace {

Bytes Str(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes Text(uint8_t encoding, Bytes payload) {
    payload.insert(payload.begin(), encoding);
    return payload;
}
void PutSyncSafe(Bytes& b, uint32_t v) {
    for (int shift = 21; shift >= 0; shift -= 7) b.push_back(uint8_t((v >> shift) & 0x7F));
}
// A version 3 or 4 frame with the given flags.
Bytes Frame(int version, const std::string& id, const Bytes& body, uint16_t flags = 0) {
    Bytes f = Str(id);
    if (version == 4) PutSyncSafe(f, uint32_t(body.size()));
    else PutBe32(f, uint32_t(body.size()));
    PutBe16(f, flags);
    f.insert(f.end(), body.begin(), body.end());
    return f;
}
Bytes Id3(int version, uint8_t flags, const std::vector<Bytes>& parts, bool footer = false) {
    Bytes body;
    for (const Bytes& p : parts) body.insert(body.end(), p.begin(), p.end());
    Bytes t{'I', 'D', '3', uint8_t(version), 0, flags};
    PutSyncSafe(t, uint32_t(body.size()));
    t.insert(t.end(), body.begin(), body.end());
    if (footer) {
        t.insert(t.end(), {'3', 'D', 'I', uint8_t(version), 0, flags});
        PutSyncSafe(t, uint32_t(body.size()));
    }
    return t;
}
Fields Read(const Bytes& tag) {
    TagList list;
    ReadId3v2(tag.data(), tag.size(), list);
    for (const engine::Tag& t : *list.Snapshot()) EXPECT_EQ(t.type, FMOD_TAGTYPE_ID3V2);
    return TagFields(list);
}

}  // namespace

// (UTF-16 with a byte order mark, user text and comment frames as real taggers write them:
// tests/codecs/tag_fixture_test.)
TEST(Id3v2, FramesInEveryVersionEncodingAndCorner) {
    Bytes lyingSize = Id3(3, 0, {Frame(3, "TIT2", Text(0, Str("ok"))), Frame(3, "TPE1", Text(0, Str("cut")))});
    lyingSize[10 + 13 + 6] = 0x03;  // the second frame claims 1000 bytes
    lyingSize[10 + 13 + 7] = 0xE8;
    Bytes extended3{0, 0, 0, 6, 0, 0, 0, 0, 0, 0}, extended4;
    PutSyncSafe(extended4, 6);
    extended4.insert(extended4.end(), {1, 0});
    const Bytes v22 = {'I', 'D', '3', 2, 0, 0, 0, 0, 0, 10, 'T', 'T', '2', 0, 0, 4, 0, 'a', 'b', 'c'};
    Bytes v22Compressed = v22;
    v22Compressed[5] = 0x40;
    Bytes unsynchronised = Id3(3, 0x80, {Frame(3, "TIT2", Bytes{0, 0xFF, 0x00, 'z'})});
    unsynchronised[17] = 3;  // the frame size counts the restored bytes
    struct Case {
        const char* what;
        Bytes tag;
        Fields expected;
    } const cases[] = {
        {"encodings and names",
         Id3(3, 0, {Frame(3, "TIT2", Text(0, Str("Caf\xE9"))), Frame(3, "TCON", Text(3, Str("(31)"))),
                    Frame(3, "TPE2", Text(0, Str("Band"))), Frame(3, "APIC", Str("binary picture"))}),
         {{"TITLE", "Caf\xC3\xA9"}, {"GENRE", "Trance"}, {"TPE2", "Band"}}},
        {"links", Id3(3, 0, {Frame(3, "WOAR", Str("http://a")), Frame(3, "WXXX", Bytes{0, 'h', 0, 'h', 't'})}),
         {{"WOAR", "http://a"}, {"h", "ht"}}},
        {"UTF-16 without mark, UTF-16BE beyond the basic plane",
         Id3(4, 0, {Frame(4, "TIT2", Text(1, {0xFC, 0, 'b', 0})), Frame(4, "TPE1", Text(2, {0xD8, 0x3D, 0xDE, 0x00}))}),
         {{"TITLE", "\xC3\xBC" "b"}, {"ARTIST", "\xF0\x9F\x98\x80"}}},
        {"several values: the first counts", Id3(4, 0, {Frame(4, "TPE1", Text(3, {'A', 0, 'B', 'B'}))}), {{"ARTIST", "A"}}},
        {"frame size past the tag", lyingSize, {{"TITLE", "ok"}}},
        {"header past the buffer", Bytes(lyingSize.begin(), lyingSize.begin() + 15), {}},
        {"extended header v3", Id3(3, 0x40, {extended3, Frame(3, "TIT2", Text(0, Str("Three")))}), {{"TITLE", "Three"}}},
        {"extended header v4", Id3(4, 0x40, {extended4, Frame(4, "TIT2", Text(0, Str("Four")))}), {{"TITLE", "Four"}}},
        {"footer", Id3(4, 0x10, {Frame(4, "TPE1", Text(0, Str("A")))}, true), {{"ARTIST", "A"}}},
        {"compressed and encrypted skipped",
         Id3(3, 0, {Frame(3, "TIT2", Text(0, Str("zlib")), 0x0080), Frame(3, "TALB", Text(0, Str("secret")), 0x0040),
                    Frame(3, "TPE1", Text(0, Str("Visible")))}),
         {{"ARTIST", "Visible"}}},
        {"v4 compressed skipped", Id3(4, 0, {Frame(4, "TIT2", Text(0, Str("z")), 0x0009), Frame(4, "TPE1", Text(0, Str("V")))}),
         {{"ARTIST", "V"}}},
        {"v4 frame unsynchronisation with data length",
         Id3(4, 0, {Frame(4, "TIT2", Bytes{0, 0, 0, 3, 0, 'a', 0xFF, 0x00, 'b'}, 0x0003)}), {{"TITLE", "a\xC3\xBF" "b"}}},
        {"whole-tag unsynchronisation", unsynchronised, {{"TITLE", "\xC3\xBF" "z"}}},
        {"v2.2", v22, {{"TITLE", "abc"}}},
        {"v2.2 compression makes it unreadable", v22Compressed, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Read(c.tag), c.expected) << c.what;
}

// (Track numbers and genres of version 1.1 as real taggers write them: tag_fixture_test.)
TEST(Id3v1, FieldsAndACommentWithNoRoomForATrack) {
    Bytes t(128, 0);
    for (auto [at, text] : {std::pair{0, "TAGTr\xE4umerei"}, {33, "Art  "}, {93, "1999"}, {97, "abcdefghijklmnopqrstuvwxyz0123"}})
        std::memcpy(&t[at], text, std::strlen(text));
    t[127] = 255;
    TagList tags;
    ASSERT_TRUE(ReadId3v1(t.data(), tags));
    EXPECT_EQ(TagFields(tags), (Fields{{"TITLE", "Tr\xC3\xA4umerei"}, {"ARTIST", "Art"}, {"YEAR", "1999"}, {"COMMENT", "abcdefghijklmnopqrstuvwxyz0123"}}));
    EXPECT_FALSE(ReadId3v1(Bytes(128, 'x').data(), tags));
}

TEST(Id3v1, NumberedGenresAreNamed) {
    const std::pair<const char*, const char*> cases[] = {{"(17)", "Rock"}, {"8", "Jazz"}, {"(9)Heavy", "Heavy"},
                                                         {"(200)", "(200)"}, {"Synthwave", "Synthwave"}, {"(12", "(12"}, {"", ""}};
    for (const auto& [in, out] : cases) EXPECT_EQ(ResolveId3Genre(in), out) << in;
}

// (Damaged blocks: tests/containers; the fields as encoders write them: tag_fixture_test.)
TEST(VorbisComments, FieldsWithoutANameAreDroppedAndLatin1IsConverted) {
    TagList tags;
    AddVorbisComments({"TITLE=Eins", "noequals", "=empty name", "Artist=Caf\xE9"}, tags);
    EXPECT_EQ(TagFields(tags), (Fields{{"TITLE", "Eins"}, {"Artist", "Caf\xC3\xA9"}}));
}
