// The ASF header reader on headers written here: properties, both content descriptions,
// and object sizes that are cut short or run past what holds them.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "formats/asf_header.h"
#include "io/memory_reader.h"

using namespace engine;
using namespace enginetest;

namespace {

Bytes Le(uint64_t v, int bytes) {
    Bytes out;
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(v >> 8 * i));
    return out;
}
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes Guid(const char* hex) {  // as it lies in the file
    Bytes out;
    for (int i = 0; i < 16; ++i) out.push_back(uint8_t(std::stoi(std::string(hex + 2 * i, 2), nullptr, 16)));
    return out;
}
Bytes Utf16(const std::string& ascii) {  // with the terminator writers store
    Bytes out;
    for (char c : ascii + '\0') out.insert(out.end(), {uint8_t(c), 0});
    return out;
}
Bytes Object(const char* guid, const Bytes& body, int sizeDelta = 0) { return Cat({Guid(guid), Le(24 + body.size() + sizeDelta, 8), body}); }
Bytes Descriptor(const std::string& name, int type, const Bytes& value, int lengthDelta = 0) {
    return Cat({Le(Utf16(name).size(), 2), Utf16(name), Le(type, 2), Le(value.size() + lengthDelta, 2), value});
}
Bytes Header(std::initializer_list<Bytes> objects, uint64_t sizeDelta = 0) {
    return Cat({Guid("3026B2758E66CF11A6D900AA0062CE6C"), Le(30 + Cat(objects).size() + sizeDelta, 8), Le(objects.size(), 4), {1, 2}, Cat(objects)});
}

const char* const kDescGuid = "3326B2758E66CF11A6D900AA0062CE6C";
const char* const kExtGuid = "40A4D0D207E3D21197F000A0C95EA850";
// 9 s of play time less 3000 ms of preroll; a WMA v2 stream, stereo at 44.1 kHz.
const Bytes kFile = Object("A1DCAB8C47A9CF118EE400C00C205365", Cat({Bytes(40, 0), Le(90000000, 8), Le(0, 8), Le(3000, 8), Bytes(24, 0)}));
const Bytes kStream = Object("9107DCB7B7A9CF118EE600C00C205365", Cat({Guid("409E69F84D5BCF11A8FD00805F5C442B"), Bytes(24, 0),
    Le(18, 4), Bytes(10, 0), Le(0x161, 2), Le(2, 2), Le(44100, 4), Le(16000, 4), Le(4096, 2), Le(16, 2), Le(0, 2)}));
Bytes Description(int authorDelta = 0) {
    return Object(kDescGuid, Cat({Le(12, 2), Le(12 + authorDelta, 2), Le(8, 2), Le(12, 2), Le(0, 2), Utf16("Titel"), Utf16("Autor"),
                                  Utf16("(c)"), Utf16("Notiz")}));
}
// Text, DWORD, a repeat of the title (kept once), a picture (no text), WORD, QWORD under its own name.
Bytes Extended(int trackDelta = 0) {
    return Object(kExtGuid, Cat({Le(6, 2), Descriptor("WM/AlbumTitle", 0, Utf16("Album")), Descriptor("WM/TrackNumber", 3, Le(7, 4), trackDelta),
        Descriptor("Title", 0, Utf16("Titel")), Descriptor("WM/Picture", 1, Bytes(30, 0xEE)), Descriptor("WM/Year", 5, Le(2026, 2)),
        Descriptor("Eigen", 4, Le(1234567890123, 8))}));
}
const Fields kAllTags = {{"TITLE", "Titel"}, {"ARTIST", "Autor"},   {"COPYRIGHT", "(c)"}, {"COMMENT", "Notiz"},
                         {"ALBUM", "Album"}, {"TRACKNUMBER", "7"}, {"YEAR", "2026"},    {"Eigen", "1234567890123"}};

}  // namespace

TEST(AsfHeader, PropertiesDescriptionsAndBentSizes) {
    const struct {
        const char* what;
        Bytes header;
        bool whole;       // ReadAsfHeader, which wants all of it, takes it
        size_t tagsKept;  // of kAllTags from the front, by ParseAsfHeader on what there is
    } cases[] = {
        {"whole", Header({kFile, kStream, Description(), Extended()}), true, 8},
        {"an object running past the header", Header({Description(), Object(kExtGuid, {}, 1000)}), true, 4},
        {"an object shorter than its head", Header({Description(), Object(kExtGuid, {}, -1), Extended()}), true, 4},
        {"a text running past its object", Header({Description(200)}), true, 1},
        {"a descriptor running past its object", Header({Description(), Extended(2000)}), true, 5},
        {"the header cut short", [] { Bytes h = Header({Description(), Extended()}); h.resize(h.size() - 10); return h; }(), false, 4},
        {"a header past the limit", Header({Description()}, kMaxAsfHeaderBytes), false, 4},
        {"a header shorter than its fixed part", Header({}, uint64_t(-1)), false, 0},
    };
    for (const auto& c : cases) {
        AsfHeader h;
        TagList tags, fromMemory;
        MemoryReader reader(c.header.data(), c.header.size());
        EXPECT_EQ(ReadAsfHeader(reader, h, tags), c.whole) << c.what;
        ParseAsfHeader(c.header.data(), c.header.size(), h, fromMemory);
        EXPECT_EQ(TagFields(fromMemory), Fields(kAllTags.begin(), kAllTags.begin() + c.tagsKept)) << c.what;
    }
    AsfHeader h;
    TagList tags;
    ASSERT_TRUE(ParseAsfHeader(cases[0].header.data(), cases[0].header.size(), h, tags));
    EXPECT_EQ(std::tuple(h.headerBytes, h.audio.formatTag, h.audio.channels, h.audio.sampleRate, h.LengthFrames()),
              std::tuple(uint64_t(cases[0].header.size()), uint16_t(0x161), 2, 44100u, uint64_t(6 * 44100)));
}
