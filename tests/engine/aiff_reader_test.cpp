#include <gtest/gtest.h>

#include <cmath>

#include "formats/extended_float.h"
#include "open_helpers.h"

using namespace engine;
using namespace enginetest;

namespace {

AiffLayout SineAiff(int bits, uint32_t frames) {
    AiffLayout s;
    s.bits = bits;
    s.frames = frames;
    s.data = EncodePcmBe(Sine(440, 44100, 2, frames), bits / 8);
    return s;
}

}  // namespace

TEST(ExtendedFloat, DecodesCommonRatesAndRejectsSpecialValues) {
    for (double rate : {8000.0, 11025.0, 22050.0, 44100.0, 48000.0, 96000.0, 192000.0, 0.5}) {
        Bytes b;
        PutExtended(b, rate);
        EXPECT_EQ(ExtendedToDouble(b.data()), rate);
    }
    // 44100 as written by common tools: 0x400E AC44 0000 0000 0000.
    const uint8_t known[10] = {0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(ExtendedToDouble(known), 44100.0);
    const uint8_t infinity[10] = {0x7F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(ExtendedToDouble(infinity), 0.0);
    const uint8_t negative[10] = {0xC0, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(ExtendedToDouble(negative), 0.0);
}

TEST(AiffReader, DecodesBigEndian16And24Bit) {
    for (int bits : {16, 24}) {
        auto opened = OpenBytes(MakeAiff(SineAiff(bits, 1500)));
        ASSERT_EQ(opened->result, FMOD_OK) << bits;
        const StreamFormat& f = opened->sound.format;
        EXPECT_EQ(f.type, FMOD_SOUND_TYPE_AIFF);
        EXPECT_EQ(f.format, bits == 16 ? FMOD_SOUND_FORMAT_PCM16 : FMOD_SOUND_FORMAT_PCM24);
        EXPECT_EQ(f.bitsPerSample, bits);
        EXPECT_EQ(f.sampleRate, 44100u);
        EXPECT_EQ(f.lengthFrames, 1500u);
        EXPECT_EQ(f.rawBytes, 1500u * 2 * bits / 8);
        std::vector<float> all = DecodeAll(*opened->sound.decoder, 256);
        std::vector<float> ref = Sine(440, 44100, 2, 1500);
        ASSERT_EQ(all.size(), ref.size());
        for (size_t i = 0; i < ref.size(); i += 97) EXPECT_NEAR(all[i], ref[i], 1e-4);
    }
}

TEST(AiffReader, AifcLittleEndianAndUnknownCompression) {
    AiffLayout s = SineAiff(16, 100);
    s.aifc = true;
    s.compression = "sowt";
    s.data = EncodePcmLe(Sine(440, 44100, 2, 100), 2);
    auto opened = OpenBytes(MakeAiff(s));
    ASSERT_EQ(opened->result, FMOD_OK);
    std::vector<float> all = DecodeAll(*opened->sound.decoder);
    EXPECT_NEAR(all[21], Sine(440, 44100, 2, 100)[21], 1e-4);

    s.compression = "ima4";
    EXPECT_EQ(OpenBytes(MakeAiff(s))->result, FMOD_ERR_FORMAT);
}

TEST(AiffReader, FrameCountIsClampedToTheSoundData) {
    AiffLayout s = SineAiff(16, 100);
    s.frames = 1000000;  // the header promises far more than there is
    auto opened = OpenBytes(MakeAiff(s));
    ASSERT_EQ(opened->result, FMOD_OK);
    EXPECT_EQ(opened->sound.format.lengthFrames, 100u);

    Bytes cut = MakeAiff(SineAiff(16, 100));
    cut.resize(cut.size() - 40);  // ten frames lost
    opened = OpenBytes(cut);
    ASSERT_EQ(opened->result, FMOD_OK);
    EXPECT_EQ(opened->sound.format.lengthFrames, 90u);
}

TEST(AiffReader, RejectsAbsurdLayouts) {
    AiffLayout s = SineAiff(16, 10);
    s.channels = 0;
    EXPECT_EQ(OpenBytes(MakeAiff(s))->result, FMOD_ERR_FORMAT);
    s.channels = 2;
    s.rate = 1e12;
    EXPECT_EQ(OpenBytes(MakeAiff(s))->result, FMOD_ERR_FORMAT);
    s.rate = 44100;
    s.bits = 64;
    EXPECT_EQ(OpenBytes(MakeAiff(s))->result, FMOD_ERR_FORMAT);
}

TEST(AiffReader, TextChunksAndId3ChunkBecomeTagsInFileOrder) {
    AiffLayout s = SineAiff(16, 10);
    s.textChunks = {{"NAME", "Night \xE0 Paris"}, {"AUTH", "Someone"}, {"ANNO", "first take"}};
    Bytes album = {3};
    PutText(album, "Gr\xC3\xBCn");
    s.id3 = MakeId3v23({{"TALB", album}});
    auto opened = OpenBytes(MakeAiff(s));
    ASSERT_EQ(opened->result, FMOD_OK);
    auto tags = opened->tags.Snapshot();
    ASSERT_EQ(tags->size(), 4u);
    EXPECT_EQ((*tags)[0].name, "TITLE");
    EXPECT_EQ((*tags)[0].data, "Night \xC3\xA0 Paris");
    EXPECT_EQ((*tags)[1].name, "ARTIST");
    EXPECT_EQ((*tags)[2].name, "COMMENT");
    EXPECT_EQ((*tags)[3].name, "ALBUM");
    EXPECT_EQ((*tags)[3].type, FMOD_TAGTYPE_ID3V2);
    EXPECT_EQ((*tags)[3].data, "Gr\xC3\xBCn");
}
