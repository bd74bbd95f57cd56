// The compressed formats through the C interface, as the player's tag scan and track
// load use it: open-only for tags and lengths, then a stream that plays.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fmodex.h"

namespace {

std::string Fixture(const char* name) { return std::string(CODEC_FIXTURE_DIR) + "/" + name; }

class CodecApi : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(FMOD_System_Create(&system_), FMOD_OK);
        ASSERT_EQ(FMOD_System_Init(system_, 2, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
    }
    void TearDown() override { FMOD_System_Release(system_); }

    // The value of the last tag of that name, as the player keeps it, and its type.
    std::string LastTag(FMOD_SOUND* sound, const char* name, FMOD_TAGTYPE* type = nullptr) {
        int count = 0;
        EXPECT_EQ(FMOD_Sound_GetNumTags(sound, &count, nullptr), FMOD_OK);
        std::string value = "<none>";
        for (int i = 0; i < count; ++i) {
            FMOD_TAG tag;
            EXPECT_EQ(FMOD_Sound_GetTag(sound, nullptr, i, &tag), FMOD_OK);
            if (std::strcmp(tag.name, name) != 0) continue;
            EXPECT_EQ(tag.datatype, FMOD_TAGDATATYPE_STRING_UTF8);
            value.assign(static_cast<const char*>(tag.data));
            EXPECT_EQ(tag.datalen, value.size() + 1);
            if (type) *type = tag.type;
        }
        return value;
    }

    FMOD_SYSTEM* system_ = nullptr;
};

struct ScanCase {
    const char* file;
    FMOD_SOUND_TYPE type;
    const char* title;
    FMOD_TAGTYPE tagType;
};

TEST_F(CodecApi, OpenOnlyGivesTagsLengthsAndFormat) {
    const ScanCase cases[] = {
        {"tag_v23_utf16.mp3", FMOD_SOUND_TYPE_MPEG, "Grüße", FMOD_TAGTYPE_ID3V2},
        {"f16.flac", FMOD_SOUND_TYPE_FLAC, "Flac Tïtel", FMOD_TAGTYPE_VORBISCOMMENT},
        {"v_stereo.ogg", FMOD_SOUND_TYPE_OGGVORBIS, "Vorbis Tïtel", FMOD_TAGTYPE_VORBISCOMMENT},
    };
    ASSERT_EQ(FMOD_System_SetStreamBufferSize(system_, 1, FMOD_TIMEUNIT_RAWBYTES), FMOD_OK);
    for (const ScanCase& c : cases) {
        FMOD_SOUND* sound = nullptr;
        ASSERT_EQ(FMOD_System_CreateStream(system_, Fixture(c.file).c_str(), FMOD_OPENONLY, nullptr, &sound), FMOD_OK)
            << c.file;
        FMOD_TAGTYPE tagType = FMOD_TAGTYPE_UNKNOWN;
        EXPECT_EQ(LastTag(sound, "TITLE", &tagType), c.title) << c.file;
        EXPECT_EQ(tagType, c.tagType) << c.file;
        unsigned int ms = 0, raw = 0;
        EXPECT_EQ(FMOD_Sound_GetLength(sound, &ms, FMOD_TIMEUNIT_MS), FMOD_OK);
        EXPECT_EQ(ms, 10000u) << c.file;
        EXPECT_EQ(FMOD_Sound_GetLength(sound, &raw, FMOD_TIMEUNIT_RAWBYTES), FMOD_OK);
        EXPECT_GT(raw, 10000u) << c.file;
        FMOD_SOUND_TYPE type;
        FMOD_SOUND_FORMAT format;
        int channels = 0, bits = 0;
        EXPECT_EQ(FMOD_Sound_GetFormat(sound, &type, &format, &channels, &bits), FMOD_OK);
        EXPECT_EQ(type, c.type) << c.file;
        EXPECT_EQ(channels, 2);
        EXPECT_EQ(bits, 16);
        EXPECT_EQ(FMOD_Sound_Release(sound), FMOD_OK);
    }
}

TEST_F(CodecApi, ReplayGainArrivesUnderItsName) {
    FMOD_SOUND* sound = nullptr;
    ASSERT_EQ(FMOD_System_CreateStream(system_, Fixture("tag_v24_utf8.mp3").c_str(), 0xC9, nullptr, &sound), FMOD_OK);
    EXPECT_EQ(LastTag(sound, "REPLAYGAIN_TRACK_GAIN"), "+1.25 dB");
    EXPECT_EQ(LastTag(sound, "TRACK"), "4/12");
    EXPECT_EQ(FMOD_Sound_Release(sound), FMOD_OK);
}

}  // namespace
