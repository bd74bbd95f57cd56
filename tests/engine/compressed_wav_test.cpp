// Compressed WAV: ADPCM and G.711 files sox wrote, decoded against sox's own decoding;
// MPEG audio in a RIFF header against the bare MPEG file; headers bent byte by byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <tuple>

#include "engine_support.h"

using namespace engine;
using namespace enginetest;

namespace {

// sox's decoding, written beside the file as 16-bit samples (at most `samples` of them).
std::vector<float> SoxS16(const std::string& file, size_t samples = SIZE_MAX) {
    const Bytes raw = ReadFixture(file + ".s16");
    std::vector<float> out(std::min(samples, raw.size() / 2));
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<int16_t>(raw[2 * i] | raw[2 * i + 1] << 8) / 32768.0f;
    return out;
}

// The file with its 16-bit field at `at` set to `v`.
Bytes Bent(Bytes b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v), b[at + 1] = static_cast<uint8_t>(v >> 8);
    return b;
}

// In the files sox writes, "fmt " is the first chunk: its body starts at byte 20.
constexpr size_t kBlockAlignAt = 20 + 12, kExtensionAt = 20 + 18;

}  // namespace

TEST(CompressedWav, DecodesLikeSoxFromTheStartAndAfterSeeks) {
    for (const char* source : {"mono22", "source22"}) {
        const StreamFormat original = OpenBytes(ReadFixture(std::string(source) + ".wav"))->sound.format;
        for (const char* kind : {"ima-adpcm", "ms-adpcm", "u-law", "a-law"}) {
            const std::string file = std::string(source) + "_" + kind + ".wav";
            SCOPED_TRACE(file);
            auto opened = OpenBytes(ReadFixture(file));
            ASSERT_EQ(opened->result, FMOD_OK);
            const StreamFormat& f = opened->sound.format;
            EXPECT_EQ(std::tuple(f.type, f.format, f.channels, f.sampleRate),
                      std::tuple(FMOD_SOUND_TYPE_WAV, FMOD_SOUND_FORMAT_PCM16, original.channels, 22050u));
            // The fact chunk drops the padding of the last block, which sox plays.
            ASSERT_EQ(f.lengthFrames, original.lengthFrames);
            const std::vector<float> reference = SoxS16(file, f.lengthFrames * f.channels);
            ASSERT_EQ(reference.size(), f.lengthFrames * f.channels);
            ExpectDecodesLike(*opened->sound.decoder, reference, 0, {f.lengthFrames / 2 + 3, f.lengthFrames - 1, 0}, 3000);
            auto streamed = OpenReader(std::make_unique<TestReader>(ReadFixture(file), TestReaderOptions{true, 1000}));
            ASSERT_EQ(streamed->result, FMOD_OK);
            EXPECT_EQ(MaxDifference(reference, DecodeAll(*streamed->sound.decoder, 1023)), 0.0);
        }
    }
}

TEST(CompressedWav, MpegInRiffPlaysLikeTheBareFile) {
    for (const auto& [file, tag] : {std::pair{"l3_cbr128.mp3", 0x55}, {"l2_192.mp2", 0x50}}) {
        SCOPED_TRACE(file);
        const Bytes mpeg = ReadFixture(file);
        Bytes fmt, riff{'W', 'A', 'V', 'E'}, wav;
        for (uint32_t v : {uint32_t(tag), 2u, 44100u, 0u, 16000u, 0u, 1u, 0u, 0u}) PutLe16(fmt, v);
        PutChunk(riff, "fmt ", fmt);
        PutChunk(riff, "fact", {0x39, 0x30, 0, 0});  // 12345: some writers put a wrong count here, the MPEG data decides
        PutChunk(riff, "data", mpeg);
        PutChunk(riff, "LIST", {'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 4, 0, 0, 0, 'T', 'o', 'n', 0});
        PutChunk(wav, "RIFF", riff);

        auto bare = OpenBytes(mpeg), wrapped = OpenBytes(wav);
        ASSERT_EQ(bare->result, FMOD_OK);
        ASSERT_EQ(wrapped->result, FMOD_OK);
        EXPECT_EQ(wrapped->sound.format.type, FMOD_SOUND_TYPE_WAV);
        EXPECT_EQ(wrapped->sound.format.lengthFrames, bare->sound.format.lengthFrames);
        EXPECT_EQ(TagValue(wrapped->tags, "TITLE"), "Ton");
        const std::vector<float> expected = DecodeAll(*bare->sound.decoder);
        EXPECT_EQ(DecodeAll(*wrapped->sound.decoder), expected);
        auto wrappedStream = OpenReader(std::make_unique<TestReader>(wav, TestReaderOptions{true, 1000}));
        ASSERT_EQ(wrappedStream->result, FMOD_OK);
        auto bareStream = OpenReader(std::make_unique<TestReader>(mpeg, TestReaderOptions{true, 1000}));
        EXPECT_EQ(DecodeAll(*wrappedStream->sound.decoder), DecodeAll(*bareStream->sound.decoder));
        const uint64_t middle = bare->sound.format.lengthFrames / 2;
        ASSERT_TRUE(bare->sound.decoder->SeekToFrame(middle));
        ASSERT_TRUE(wrapped->sound.decoder->SeekToFrame(middle));
        EXPECT_EQ(DecodeFrames(*wrapped->sound.decoder, 5000), DecodeFrames(*bare->sound.decoder, 5000));
    }
}

TEST(CompressedWav, BentHeadersAreRefusedOrPlayWhatTheFileHolds) {
    const Bytes ima = ReadFixture("source22_ima-adpcm.wav"), ms = ReadFixture("source22_ms-adpcm.wav");
    const Bytes refused[] = {
        Bent(ima, kBlockAlignAt, 0),
        Bent(ima, kExtensionAt, 0xFFFF),  // more samples per block than the block holds
        Bent(ima, kExtensionAt, 0),
        Bent(ms, kBlockAlignAt, 13),      // less than the block headers
        Bent(ms, kBlockAlignAt + 2, 8),   // 8-bit ADPCM does not exist
    };
    for (size_t i = 0; i < std::size(refused); ++i) EXPECT_EQ(OpenBytes(refused[i])->result, FMOD_ERR_FORMAT) << i;

    // What still plays gives sox's samples for as far as it goes.
    Bytes cut = ima;
    cut.resize(cut.size() / 2 + 301);  // ends inside a block
    Bytes giantSize = ms;
    for (size_t at = 12; at + 8 < giantSize.size(); at += 8 + ((giantSize[at + 4] | giantSize[at + 5] << 8) + 1) / 2 * 2)
        if (std::memcmp(&giantSize[at], "data", 4) == 0) giantSize = Bent(giantSize, at + 6, 0x7FFF);
    const Bytes noPredictorTable = Bent(ms, kExtensionAt + 2, 0xFFFF);  // the standard pairs stand in
    struct Case {
        const char* what;
        Bytes file;
        const char* reference;
    } const playable[] = {
        {"cut in a block", cut, "source22_ima-adpcm.wav"},
        {"data size beyond the file", giantSize, "source22_ms-adpcm.wav"},
        {"predictor table missing", noPredictorTable, "source22_ms-adpcm.wav"},
    };
    for (const Case& c : playable) {
        auto opened = OpenBytes(c.file);
        ASSERT_EQ(opened->result, FMOD_OK) << c.what;
        const std::vector<float> decoded = DecodeAll(*opened->sound.decoder, 777);
        EXPECT_EQ(decoded.size(), opened->sound.format.lengthFrames * 2) << c.what;
        EXPECT_GT(decoded.size(), 100000u) << c.what;
        EXPECT_EQ(MaxDifference(SoxS16(c.reference), decoded), 0.0) << c.what;
    }
}
