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
Bytes Box(const std::string& type, const Bytes& body, int64_t sizeDelta = 0) {
    return Cat({Be32(uint32_t(8 + body.size() + sizeDelta)), Text(type), body});
}
Bytes Data(uint32_t kind, const Bytes& value) { return Box("data", Cat({Be32(kind), Be32(0), value})); }

const Bytes kItems[] = {
    Box("\xA9nam", Data(1, Text("Titel ä"))),
    Box("\xA9" "ART", Data(2, {0, 'K', 0, 0xFC, 0, 'n', 0, 's', 0, 't', 0, 'l', 0, 'e', 0, 'r'})),
    Box("gnre", Data(0, {0, 18})),
    Box("trkn", Data(0, {0, 0, 0, 7, 0, 12, 0, 0})),
    Box("tmpo", Data(21, {0xFF, 0x88})),
    Box("----", Cat({Box("mean", Cat({Be32(0), Text("com.apple.iTunes")})), Box("name", Cat({Be32(0), Text("MOOD")})),
                     Data(1, Text("ruhig"))})),
    Box("\xA9too", Data(1, Text("Lavf60"))),
    Box("covr", Data(13, {0xFF, 0xD8, 0xFF})),
    Box("\xA9" "cmt", Box("data", {0, 0, 0})),  // too short for its kind and locale
};
const Fields kFields = {{"TITLE", "Titel ä"}, {"ARTIST", "Künstler"}, {"GENRE", "Rock"}, {"TRACKNUMBER", "7"},
                        {"tmpo", "-120"},     {"MOOD", "ruhig"},      {"©too", "Lavf60"}};

Bytes File(const Bytes& meta, const Bytes& tail = {}) {
    const Bytes mdat = Cat({Be32(1), Text("mdat"), Be32(0), Be32(16 + 100000), Bytes(100000, 0xFF)});
    const Bytes moov = Box("moov", Cat({Box("mvhd", Bytes(100, 0)), Box("udta", Box("meta", meta))}));
    return Cat({Box("ftyp", Text("M4A ")), mdat, moov, tail});
}

Bytes Ilst(size_t items, int64_t lastDelta = 0) {
    Bytes body;
    for (size_t i = 0; i < items; ++i) body = Cat({body, kItems[i]});
    return Box("ilst", body, lastDelta);
}

Fields Read(const Bytes& file, bool* found = nullptr) {
    MemoryReader reader(file.data(), file.size());
    TagList tags;
    const bool ok = ReadMp4Tags(reader, tags);
    if (found) *found = ok;
    return TagFields(tags);
}

}  // namespace

TEST(Mp4Tags, ItemsWithCommonAndOwnNames) {
    const Bytes hdlr = Box("hdlr", Bytes(25, 0));
    EXPECT_EQ(Read(File(Cat({Be32(0), hdlr, Ilst(std::size(kItems))}))), kFields);
    EXPECT_EQ(Read(File(Cat({hdlr, Ilst(std::size(kItems))}))), kFields);  // meta without version and flags
}

TEST(Mp4Tags, BentLengthsStopAtTheBrokenBox) {
    const Bytes all = Cat({Be32(0), Ilst(std::size(kItems))});
    // The ilst claims one byte more than meta holds: nothing is read from it.
    EXPECT_EQ(Read(File(Cat({Be32(0), Ilst(std::size(kItems), 1)}))), Fields{});
    // An item longer than the ilst around it ends the items there.
    Bytes longItem = Cat({Be32(0), Box("ilst", Cat({kItems[0], kItems[1], Box("\xA9" "alb", Data(1, Text("A")), 50)}))});
    EXPECT_EQ(Read(File(longItem)), Fields(kFields.begin(), kFields.begin() + 2));
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case refused[] = {
        {"cut inside moov", [&] { Bytes f = File(all); f.resize(f.size() - 30); return f; }()},
        {"moov past the limit", Cat({Be32(1), Text("moov"), Be32(0), Be32(kMaxMp4MoovBytes + 17)})},
        {"a box to the end before moov", Cat({Box("ftyp", Text("M4A ")), Be32(0), Text("free"), File(all)})},
        {"a box shorter than its header", Cat({Be32(4), Text("ftyp"), File(all)})},
    };
    for (const Case& c : refused) {
        bool found = true;
        EXPECT_EQ(Read(c.file, &found), Fields{}) << c.what;
        EXPECT_FALSE(found) << c.what;
    }
}

TEST(Mp4Tags, TagsOfAnM4aFfmpegWrote) {
    const Fields fields = Read(ReadFixture("tagged.m4a"));
    const Fields want = {{"TITLE", "M4A Tïtel"}, {"ARTIST", "M4A Artist"}, {"ALBUM", "Album"},
                         {"YEAR", "2026"},       {"GENRE", "Test"},        {"TRACKNUMBER", "7"},
                         {"COMMENT", "Zwei Töne"}, {"COMPOSER", "Komponist"}};
    for (const auto& field : want) EXPECT_NE(std::find(fields.begin(), fields.end(), field), fields.end()) << field.first;
    const auto tool = std::find_if(fields.begin(), fields.end(), [](const auto& f) { return f.first == "©too"; });
    ASSERT_NE(tool, fields.end());
    EXPECT_EQ(tool->second.rfind("Lavf", 0), 0u);
}
