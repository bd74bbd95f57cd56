// The ASF header reader on headers written here: properties, both content descriptions,
// and object sizes that are cut short or run past what holds them.
#include <gtest/gtest.h>

#include "engine_support.h"
#include "formats/asf_header.h"
#include "io/memory_reader.h"

using namespace engine;
using namespace enginetest;

namespace {

// GUIDs as they lie in files.
const Bytes kHeaderGuid = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const Bytes kFileGuid = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11, 0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const Bytes kStreamGuid = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11, 0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
const Bytes kAudioGuid = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11, 0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
const Bytes kDescGuid = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const Bytes kExtGuid = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11, 0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};

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
Bytes Utf16(const std::string& ascii) {  // with its terminator, as writers store it
    Bytes out;
    for (char c : ascii + '\0') out.push_back(uint8_t(c)), out.push_back(0);
    return out;
}
Bytes Object(const Bytes& guid, const Bytes& body, int64_t sizeDelta = 0) {
    return Cat({guid, Le(24 + body.size() + sizeDelta, 8), body});
}
Bytes Descriptor(const std::string& name, int type, const Bytes& value, int64_t lengthDelta = 0) {
    return Cat({Le(Utf16(name).size(), 2), Utf16(name), Le(type, 2), Le(value.size() + lengthDelta, 2), value});
}

// 9 s of play time with 3000 ms of preroll: 6 s of audio.
const Bytes kFile = Object(kFileGuid, Cat({Bytes(40, 0), Le(90000000, 8), Le(0, 8), Le(3000, 8), Bytes(24, 0)}));
const Bytes kStream = Object(kStreamGuid, Cat({kAudioGuid, Bytes(16, 0), Le(0, 8), Le(18, 4), Le(0, 4), Le(1, 2),
                                               Le(0, 4), Le(0x161, 2), Le(2, 2), Le(44100, 4), Le(16000, 4), Le(4096, 2), Le(16, 2),
                                               Le(0, 2)}));
const Bytes kTexts[5] = {Utf16("Titel"), Utf16("Autor"), Utf16("(c)"), Utf16("Notiz"), {}};
const Bytes kDesc = Object(kDescGuid, Cat({Le(12, 2), Le(12, 2), Le(8, 2), Le(12, 2), Le(0, 2), kTexts[0], kTexts[1],
                                           kTexts[2], kTexts[3]}));
const Bytes kExt = Object(kExtGuid, Cat({Le(6, 2), Descriptor("WM/AlbumTitle", 0, Utf16("Album")),
                                         Descriptor("WM/TrackNumber", 3, Le(7, 4)), Descriptor("Title", 0, Utf16("Titel")),
                                         Descriptor("WM/Picture", 1, Bytes(30, 0xEE)), Descriptor("WM/Year", 5, Le(2026, 2)),
                                         Descriptor("Eigen", 4, Le(1234567890123, 8))}));

Bytes Header(std::initializer_list<Bytes> objects, int64_t sizeDelta = 0) {
    Bytes body;
    for (const Bytes& o : objects) body = Cat({body, o});
    return Cat({kHeaderGuid, Le(30 + body.size() + sizeDelta, 8), Le(objects.size(), 4), {1, 2}, body});
}

const Fields kAllTags = {{"TITLE", "Titel"}, {"ARTIST", "Autor"},   {"COPYRIGHT", "(c)"},    {"COMMENT", "Notiz"},
                         {"ALBUM", "Album"}, {"TRACKNUMBER", "7"}, {"YEAR", "2026"}, {"Eigen", "1234567890123"}};

}  // namespace

TEST(AsfHeader, PropertiesAndBothDescriptions) {
    const Bytes header = Header({kFile, kStream, kDesc, kExt});
    AsfHeader h;
    TagList tags;
    MemoryReader reader(header.data(), header.size());
    ASSERT_TRUE(ReadAsfHeader(reader, h, tags));
    EXPECT_EQ(std::tuple(h.headerBytes, h.audio.formatTag, h.audio.channels, h.audio.sampleRate, h.LengthFrames()),
              std::tuple(uint64_t(header.size()), uint16_t(0x161), 2, 44100u, uint64_t(6 * 44100)));
    EXPECT_EQ(TagFields(tags), kAllTags);
}

TEST(AsfHeader, SizesCutShortOrRunningOver) {
    struct Case {
        const char* what;
        Bytes header;
        bool parses;      // by ReadAsfHeader, which wants the whole header
        size_t tagsKept;  // of kAllTags, from the front, by ParseAsfHeader on what there is
    };
    const Bytes cutDesc = Object(kDescGuid, Cat({Le(12, 2), Le(200, 2), Le(8, 2), Le(12, 2), Le(0, 2), kTexts[0], kTexts[1]}));
    const Bytes cutExt = Object(kExtGuid, Cat({Le(2, 2), Descriptor("WM/AlbumTitle", 0, Utf16("Album")),
                                               Descriptor("WM/TrackNumber", 3, Le(7, 4), 90)}));
    const Case cases[] = {
        {"an object running past the header", Header({kDesc, Object(kExtGuid, {}, 1000)}), true, 4},
        {"an object shorter than its own head", Header({kDesc, Object(kExtGuid, {}, -1), kExt}), true, 4},
        {"a text running past its object", Header({cutDesc}), true, 1},
        {"a descriptor running past its object", Header({kDesc, cutExt}), true, 5},
        {"the header cut short", [&] { Bytes h = Header({kDesc, kExt}); h.resize(h.size() - 10); return h; }(), false, 4},
        {"a header declared past the limit", Header({kDesc}, kMaxAsfHeaderBytes), false, 4},
        {"a header shorter than its fixed part", Header({}, -1), false, 0},
    };
    for (const Case& c : cases) {
        AsfHeader h;
        TagList tags;
        MemoryReader reader(c.header.data(), c.header.size());
        EXPECT_EQ(ReadAsfHeader(reader, h, tags), c.parses) << c.what;
        TagList fromMemory;
        ParseAsfHeader(c.header.data(), c.header.size(), h, fromMemory);
        EXPECT_EQ(TagFields(fromMemory), Fields(kAllTags.begin(), kAllTags.begin() + c.tagsKept)) << c.what;
    }
}
