// MP4 tags: a file written here (every kind of value, a 64-bit mdat before moov), bent box
// lengths, and an M4A ffmpeg tagged.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "formats/system_decoders.h"
#include "io/memory_reader.h"
#include "tags/mp4_tags.h"

using namespace engine;
using namespace enginetest;

namespace {

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes Be32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes Box(const std::string& type, const Bytes& body, int sizeDelta = 0) {
    return Cat({Be32(uint32_t(8 + body.size() + sizeDelta)), Text(type), body});
}
Bytes Data(uint32_t kind, const Bytes& value) { return Box("data", Cat({Be32(kind), Be32(0), value})); }

// Text in UTF-8 and UTF-16, ID3 genre number, track of total, signed integer, free-form,
// own name, a picture and a data box too short for its kind (neither are tags).
const Bytes kItems = Cat({Box("\xA9nam", Data(1, Text("Titel ä"))), Box("\xA9" "ART", Data(2, {0, 'K', 0, 0xFC})),
    Box("gnre", Data(0, {0, 18})), Box("trkn", Data(0, {0, 0, 0, 7, 0, 12, 0, 0})), Box("tmpo", Data(21, {0xFF, 0x88})),
    Box("----", Cat({Box("mean", Cat({Be32(0), Text("com.apple.iTunes")})), Box("name", Cat({Be32(0), Text("MOOD")})),
                     Data(1, Text("ruhig"))})),
    Box("\xA9too", Data(1, Text("Lavf60"))), Box("covr", Data(13, {0xFF, 0xD8})), Box("\xA9" "cmt", Box("data", {0, 0, 0}))});
const Bytes kIlst = Box("ilst", kItems);
const Fields kFields = {{"TITLE", "Titel ä"}, {"ARTIST", "Kü"}, {"GENRE", "Rock"},   {"TRACKNUMBER", "7"},
                        {"tmpo", "-120"},     {"MOOD", "ruhig"}, {"©too", "Lavf60"}};
const Bytes kHdlr = Box("hdlr", Bytes(25, 0));

Bytes File(const Bytes& meta, int moovDelta = 0) {
    const Bytes mdat = Cat({Be32(1), Text("mdat"), Be32(0), Be32(16 + 100000), Bytes(100000, 0xFF)});
    return Cat({Box("ftyp", Text("M4A ")), mdat, Box("moov", Box("udta", Box("meta", meta)), moovDelta)});
}

Fields Read(const Bytes& file, bool found = true) {
    MemoryReader reader(file.data(), file.size());
    TagList tags;
    EXPECT_EQ(ReadMp4Tags(reader, tags), found);
    return TagFields(tags);
}

}  // namespace

TEST(Mp4Tags, ItemsWithCommonAndOwnNamesAndBentLengths) {
    EXPECT_EQ(Read(File(Cat({Be32(0), kHdlr, kIlst}))), kFields);
    EXPECT_EQ(Read(File(Cat({kHdlr, kIlst}))), kFields);  // meta without version and flags
    // An item longer than the ilst: the items before it stay. An ilst longer than meta: none.
    const Bytes longItem = Box("ilst", Cat({Box("\xA9nam", Data(1, Text("A"))), Box("\xA9" "alb", Data(1, Text("B")), 50)}));
    EXPECT_EQ(Read(File(Cat({Be32(0), longItem}))), (Fields{{"TITLE", "A"}}));
    EXPECT_EQ(Read(File(Cat({Be32(0), Box("ilst", kItems, 1)}))), Fields{});
    const Bytes refused[] = {
        File(Cat({Be32(0), kIlst}), 30),                                                // moov past the end
        Cat({Be32(1), Text("moov"), Be32(0), Be32(kMaxMp4MoovBytes + 17)}),             // past the limit
        Cat({Box("ftyp", Text("M4A ")), Be32(0), Text("free"), File(kIlst)}),           // a box to the end
        Cat({Be32(4), Text("ftyp"), File(kIlst)}),                                      // shorter than its head
    };
    for (const Bytes& file : refused) EXPECT_EQ(Read(file, false), Fields{});
}

TEST(Mp4Tags, TagsOfAnM4aFfmpegWrote) {
    const Fields fields = Read(ReadFixture("tagged.m4a"));
    const Fields want = {{"TITLE", "M4A Tïtel"}, {"ARTIST", "M4A Artist"}, {"ALBUM", "Album"}, {"YEAR", "2026"},
                         {"GENRE", "Test"}, {"TRACKNUMBER", "7"}, {"COMMENT", "Zwei Töne"}, {"COMPOSER", "Komponist"}};
    for (const auto& field : want) EXPECT_NE(std::find(fields.begin(), fields.end(), field), fields.end()) << field.first;
}
