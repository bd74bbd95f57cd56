#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "open_helpers.h"

using namespace engine;
using namespace enginetest;

namespace {

WavLayout SineWav(int bits, int channels, uint32_t frames, uint16_t tag = 1) {
    WavLayout s;
    s.formatTag = tag;
    s.bits = bits;
    s.channels = channels;
    std::vector<float> sine = Sine(440, s.rate, channels, frames);
    if (tag == 3 || (tag == 0xFFFE && s.subFormat == 3)) {
        s.data.resize(sine.size() * 4);
        std::memcpy(s.data.data(), sine.data(), s.data.size());
    } else {
        s.data = EncodePcmLe(sine, (bits + 7) / 8);
    }
    return s;
}

double MaxError(const std::vector<float>& a, const std::vector<float>& b) {
    double worst = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) worst = std::max(worst, std::fabs(double(a[i]) - b[i]));
    return worst;
}

}  // namespace

TEST(WavReader, DecodesEveryPcmWidthToTheSameSine) {
    const std::vector<float> reference = Sine(440, 44100, 2, 2000);
    for (int bits : {8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        auto opened = OpenBytes(MakeWav(SineWav(bits, 2, 2000)));
        ASSERT_EQ(opened->result, FMOD_OK);
        const StreamFormat& f = opened->sound.format;
        EXPECT_EQ(f.type, FMOD_SOUND_TYPE_WAV);
        EXPECT_EQ(f.bitsPerSample, bits);
        EXPECT_EQ(f.channels, 2);
        EXPECT_EQ(f.sampleRate, 44100u);
        EXPECT_EQ(f.lengthFrames, 2000u);
        EXPECT_EQ(f.rawBytes, 2000u * 2 * (bits / 8));
        std::vector<float> decoded = DecodeAll(*opened->sound.decoder, 333);
        ASSERT_EQ(decoded.size(), reference.size());
        EXPECT_LT(MaxError(decoded, reference), bits == 8 ? 0.01 : 0.0001);
    }
}

TEST(WavReader, ReportsSampleFormats) {
    struct Case { int bits; uint16_t tag; FMOD_SOUND_FORMAT format; } cases[] = {
        {8, 1, FMOD_SOUND_FORMAT_PCM8},   {16, 1, FMOD_SOUND_FORMAT_PCM16},   {24, 1, FMOD_SOUND_FORMAT_PCM24},
        {32, 1, FMOD_SOUND_FORMAT_PCM32}, {32, 3, FMOD_SOUND_FORMAT_PCMFLOAT},
    };
    for (const Case& c : cases) {
        auto opened = OpenBytes(MakeWav(SineWav(c.bits, 1, 10, c.tag)));
        ASSERT_EQ(opened->result, FMOD_OK);
        EXPECT_EQ(opened->sound.format.format, c.format) << c.bits << " bits, tag " << c.tag;
    }
}

TEST(WavReader, ReadsFloatAndExtensibleLayouts) {
    WavLayout floats = SineWav(32, 2, 500, 3);
    auto opened = OpenBytes(MakeWav(floats));
    ASSERT_EQ(opened->result, FMOD_OK);
    EXPECT_EQ(DecodeAll(*opened->sound.decoder), Sine(440, 44100, 2, 500));

    WavLayout ext = SineWav(24, 2, 500, 0xFFFE);
    opened = OpenBytes(MakeWav(ext));
    ASSERT_EQ(opened->result, FMOD_OK);
    EXPECT_EQ(opened->sound.format.format, FMOD_SOUND_FORMAT_PCM24);
    EXPECT_LT(MaxError(DecodeAll(*opened->sound.decoder), Sine(440, 44100, 2, 500)), 0.0001);

    WavLayout unknownSub = SineWav(16, 2, 10, 0xFFFE);
    unknownSub.subFormat = 2;  // ADPCM: not ours
    EXPECT_EQ(OpenBytes(MakeWav(unknownSub))->result, FMOD_ERR_FORMAT);
}

TEST(WavReader, MultichannelFramesStayInterleaved) {
    WavLayout s;
    s.channels = 6;
    for (int frame = 0; frame < 4; ++frame)
        for (int c = 0; c < 6; ++c) PutLe16(s.data, static_cast<uint32_t>((c + 1) * 1000) & 0xFFFF);
    auto opened = OpenBytes(MakeWav(s));
    ASSERT_EQ(opened->result, FMOD_OK);
    std::vector<float> all = DecodeAll(*opened->sound.decoder);
    ASSERT_EQ(all.size(), 24u);
    for (int c = 0; c < 6; ++c) EXPECT_FLOAT_EQ(all[18 + c], (c + 1) * 1000 / 32768.0f);
}

TEST(WavReader, TruncatedDataChunkGivesShorterTrack) {
    Bytes file = MakeWav(SineWav(16, 2, 1000));
    file.resize(file.size() - 401);  // 100 frames and a quarter of one are missing
    auto opened = OpenBytes(file);
    ASSERT_EQ(opened->result, FMOD_OK);
    EXPECT_EQ(opened->sound.format.lengthFrames, 899u);
    EXPECT_EQ(DecodeAll(*opened->sound.decoder).size(), 899u * 2);
}

TEST(WavReader, DataSizeThatLiesIsClampedToTheFile) {
    WavLayout s = SineWav(16, 1, 100);
    s.declaredDataSize = 0x7FFFFFF0;
    auto opened = OpenBytes(MakeWav(s));
    ASSERT_EQ(opened->result, FMOD_OK);
    EXPECT_EQ(opened->sound.format.lengthFrames, 100u);
    EXPECT_EQ(opened->sound.format.rawBytes, 200u);
}

TEST(WavReader, RejectsAbsurdHeadersAndNonAudio) {
    WavLayout channels = SineWav(16, 1, 10);
    channels.channels = 4000;
    EXPECT_EQ(OpenBytes(MakeWav(channels))->result, FMOD_ERR_FORMAT);
    WavLayout rate = SineWav(16, 1, 10);
    rate.rate = 0;
    EXPECT_EQ(OpenBytes(MakeWav(rate))->result, FMOD_ERR_FORMAT);
    rate.rate = 4000000000u;
    EXPECT_EQ(OpenBytes(MakeWav(rate))->result, FMOD_ERR_FORMAT);
    WavLayout bits = SineWav(16, 1, 10);
    bits.bits = 0;
    EXPECT_EQ(OpenBytes(MakeWav(bits))->result, FMOD_ERR_FORMAT);

    EXPECT_EQ(OpenBytes(Bytes{})->result, FMOD_ERR_FORMAT);
    Bytes headerOnly = MakeWav(SineWav(16, 1, 10));
    headerOnly.resize(12);
    EXPECT_EQ(OpenBytes(headerOnly)->result, FMOD_ERR_FORMAT);
    const std::string text = "ID3 this is not audio at all, just text with a .wav name";
    EXPECT_EQ(OpenBytes(Bytes(text.begin(), text.end()))->result, FMOD_ERR_FORMAT);
}

TEST(WavReader, InfoTagsComeInFileOrderAsUtf8) {
    WavLayout s = SineWav(16, 1, 10);
    s.info = {{"IART", "M\xFCller"}, {"INAM", "Caf\xC3\xA9"}, {"ICMT", "odd"}, {"IXYZ", "own"}};
    for (bool after : {false, true}) {
        s.infoAfterData = after;
        auto opened = OpenBytes(MakeWav(s));
        ASSERT_EQ(opened->result, FMOD_OK);
        auto tags = opened->tags.Snapshot();
        ASSERT_EQ(tags->size(), 4u) << "after data: " << after;
        EXPECT_EQ((*tags)[0].name, "ARTIST");
        EXPECT_EQ((*tags)[0].data, "M\xC3\xBCller");  // Latin-1 turned into UTF-8
        EXPECT_EQ((*tags)[1].name, "TITLE");
        EXPECT_EQ((*tags)[1].data, "Caf\xC3\xA9");     // UTF-8 kept
        EXPECT_EQ((*tags)[2].name, "COMMENT");
        EXPECT_EQ((*tags)[3].name, "IXYZ");
        EXPECT_EQ((*tags)[0].type, FMOD_TAGTYPE_FMOD);
    }
}

TEST(WavReader, SeeksToTheExactFrame) {
    auto opened = OpenBytes(MakeWav(SineWav(16, 2, 5000)));
    ASSERT_EQ(opened->result, FMOD_OK);
    Decoder& d = *opened->sound.decoder;
    std::vector<float> all = DecodeAll(d);
    for (uint64_t frame : {0u, 1u, 2499u, 4999u}) {
        ASSERT_TRUE(d.SeekToFrame(frame));
        float two[4];
        ASSERT_EQ(d.ReadFrames(two, 2), frame == 4999u ? 1 : 2);
        EXPECT_EQ(two[0], all[frame * 2]);
        EXPECT_EQ(two[1], all[frame * 2 + 1]);
    }
    ASSERT_TRUE(d.SeekToFrame(5000));
    float one[2];
    EXPECT_EQ(d.ReadFrames(one, 1), 0);
}

TEST(WavReader, ChunkOrderAndOddPaddingDoNotMatter) {
    // data first, an odd-sized unknown chunk (padded to even), then fmt.
    Bytes fmt;
    PutLe16(fmt, 1);
    PutLe16(fmt, 1);
    PutLe32(fmt, 8000);
    PutLe32(fmt, 16000);
    PutLe16(fmt, 2);
    PutLe16(fmt, 16);
    Bytes samples;
    for (int i = 0; i < 5; ++i) PutLe16(samples, static_cast<uint32_t>(i * 1000));
    Bytes body;
    PutText(body, "WAVE");
    PutChunk(body, "data", samples);
    PutChunk(body, "junk", Bytes{1, 2, 3});
    PutChunk(body, "fmt ", fmt);
    Bytes file;
    PutText(file, "RIFF");
    PutLe32(file, static_cast<uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    auto opened = OpenBytes(file);
    ASSERT_EQ(opened->result, FMOD_OK);
    EXPECT_EQ(opened->sound.format.sampleRate, 8000u);
    std::vector<float> all = DecodeAll(*opened->sound.decoder);
    ASSERT_EQ(all.size(), 5u);
    EXPECT_FLOAT_EQ(all[4], 4000 / 32768.0f);
}

TEST(WavReader, CompressedOrUnknownEncodingsAreRefused) {
    WavLayout adpcm = SineWav(4, 1, 10);
    adpcm.formatTag = 2;  // MS ADPCM
    EXPECT_EQ(OpenBytes(MakeWav(adpcm))->result, FMOD_ERR_FORMAT);
    WavLayout oddFloat = SineWav(24, 1, 10);
    oddFloat.formatTag = 3;  // 24-bit floats do not exist
    EXPECT_EQ(OpenBytes(MakeWav(oddFloat))->result, FMOD_ERR_FORMAT);
}
