// Every compressed format through the engine's decoder interface, one case per format: the
// length that plays, any chunk size, exact seeks, streams that cannot seek, what opening
// reads, failing reads and damage. The codecs' own tests (tests/mpeg, tests/flac, and
// vorbis_reference_test) compare against the reference decoders.
#include <gtest/gtest.h>

#include "engine_support.h"

using namespace enginetest;

namespace {

struct FormatCase {
    const char* file;
    bool streams;         // plays from a source that cannot seek (Vorbis files seek to their links)
    uint64_t openReads;   // the most opening may read of the file repeated eight times; 0: a tenth
};
const FormatCase kFormats[] = {
    {"tag_v24_utf8.mp3", true, 24 * 1024},
    {"l2_192.mp2", true, 160 * 1024},  // without an Info frame the length is estimated from a bounded head
    {"s16_stereo_44k.flac", true, 72 * 1024}, {"ogg_s16.oga", true, 72 * 1024}, {"v_chained.ogg", false, 0},
};

// Opens, decodes everything and seeks around; the frames decoded, or -1 if it did not open.
int64_t Exercise(const Bytes& bytes) {
    auto opened = OpenBytes(bytes);
    if (opened->result != FMOD_OK) {
        EXPECT_EQ(opened->sound.decoder, nullptr);
        return -1;
    }
    engine::Decoder& d = *opened->sound.decoder;
    const int64_t frames = int64_t(DecodeAll(d, 4096).size() / d.Format().channels);
    for (uint64_t target : {uint64_t{0}, uint64_t(frames / 2), uint64_t(frames + 100000)})
        if (d.SeekToFrame(target)) DecodeFrames(d, 2000);
    return frames;
}

class EngineDecoding : public ::testing::TestWithParam<FormatCase> {};

}  // namespace

TEST_P(EngineDecoding, LengthChunksSeeksAndStreamsAgreeWithAWholeDecode) {
    const Bytes bytes = ReadFixture(GetParam().file);
    auto opened = OpenBytes(bytes);
    ASSERT_EQ(opened->result, FMOD_OK);
    const size_t channels = size_t(opened->sound.format.channels);
    const uint64_t total = opened->sound.format.lengthFrames;
    const std::vector<float> all = DecodeAll(*OpenBytes(bytes)->sound.decoder, 37);
    ASSERT_EQ(all.size(), total * channels);
    EXPECT_EQ(DecodeAll(*OpenBytes(bytes)->sound.decoder, 4096), all);
    ExpectDecodesLike(*opened->sound.decoder, all, 1e-5, {total / 2, 0, 1, total / 3, 12345, total - 2000, total}, 1500);

    auto stream = OpenReader(std::make_unique<TestReader>(bytes, TestReaderOptions{true}));
    if (!GetParam().streams) {
        EXPECT_NE(stream->result, FMOD_OK);
        EXPECT_EQ(stream->sound.decoder, nullptr);
        return;
    }
    ASSERT_EQ(stream->result, FMOD_OK);
    EXPECT_EQ(TagValue(stream->tags, "TITLE"), TagValue(opened->tags, "TITLE"));
    // A LAME tag's padding is only known when the length is: a stream may play a frame more.
    const std::vector<float> streamed = DecodeAll(*stream->sound.decoder, 4096);
    ASSERT_GE(streamed.size(), all.size());
    EXPECT_LE(streamed.size() - all.size(), 2 * 1152 * channels);
    EXPECT_TRUE(std::equal(all.begin(), all.end(), streamed.begin()));
}

// Long files (eight times the fixture) so that nothing is counted whole; Ogg is walked page by page.
// (An MPEG length estimated from a bounded head: tests/mpeg/length_test.)
TEST_P(EngineDecoding, OpeningAndTheFirstFramesReadOnlyWhatTheyNeed) {
    const Bytes once = ReadFixture(GetParam().file);
    Bytes bytes;
    for (int i = 0; i < 8; ++i) bytes.insert(bytes.end(), once.begin(), once.end());
    auto reader = std::make_unique<TestReader>(bytes, TestReaderOptions{});
    TestReader& counted = *reader;
    auto opened = OpenReader(std::move(reader));  // the reader lives as long as the sound
    ASSERT_EQ(opened->result, FMOD_OK);
    EXPECT_LE(counted.bytesRead, GetParam().openReads > 0 ? GetParam().openReads : bytes.size() / 10);
    // Decoding the start reads on only as far as it needs: nothing is copied whole.
    const size_t channels = size_t(opened->sound.format.channels);
    ASSERT_EQ(DecodeFrames(*opened->sound.decoder, 4096).size(), 4096u * channels);
    EXPECT_LT(counted.bytesRead, bytes.size() / 4);
}

TEST_P(EngineDecoding, EveryReadFailingOnceLeavesNothingBehind) {
    const Bytes bytes = ReadFixture(GetParam().file);
    bool reachedTheEnd = false;
    for (int failAt = 1; failAt < 2000 && !reachedTheEnd; ++failAt) {
        auto reader = std::make_unique<TestReader>(bytes, TestReaderOptions{false, 0, failAt});
        TestReader& failing = *reader;
        auto opened = OpenReader(std::move(reader));
        if (opened->result != FMOD_OK) {
            EXPECT_EQ(opened->sound.decoder, nullptr) << "failing at read " << failAt;
        } else {
            engine::Decoder& d = *opened->sound.decoder;
            DecodeAll(d, 4096);
            if (d.SeekToFrame(d.Format().lengthFrames / 2)) DecodeFrames(d, 4096);
            reachedTheEnd = failing.reads < failAt;
        }
        opened.reset();
        ASSERT_EQ(TestReader::live, 0) << "failing at read " << failAt;
    }
    EXPECT_TRUE(reachedTheEnd);
}

TEST_P(EngineDecoding, CutAndDamagedFilesGiveShorterTracksOrErrors) {
    Bytes bytes = ReadFixture(GetParam().file);
    const int64_t full = Exercise(bytes);
    ASSERT_GT(full, 0);
    for (size_t keep : {size_t{10}, size_t{100}, size_t{3000}, bytes.size() / 3, bytes.size() - 1})
        EXPECT_LE(Exercise(Bytes(bytes.begin(), bytes.begin() + keep)), full) << "cut at " << keep;
    EXPECT_GT(Exercise(Bytes(bytes.begin(), bytes.begin() + bytes.size() / 2)), full / 4);
    // Bad CRCs, broken frames and page checksums in the middle: the rest plays on.
    for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 3000; i += 7) bytes[i] ^= 0x5A;
    const int64_t damaged = Exercise(bytes);
    EXPECT_GT(damaged, full / 2);
    EXPECT_LE(damaged, full + 1152);
}

INSTANTIATE_TEST_SUITE_P(Formats, EngineDecoding, ::testing::ValuesIn(kFormats), [](const auto& info) {
    std::string name = info.param.file;
    for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
});

TEST(EngineDecodingInput, MisleadingInputIsNotTakenForAudio) {
    const std::string text = "Dies ist keine Musik, nur ein wenig Text.\n";
    Bytes hugeId3 = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};  // 256 MB claimed
    const Bytes mp3 = ReadFixture("l3_cbr128.mp3"), ogg = ReadFixture("v_stereo.ogg");
    hugeId3.insert(hugeId3.end(), mp3.begin(), mp3.end());
    for (const Bytes& bytes : {Bytes(text.begin(), text.end()), Bytes{'f', 'L', 'a', 'C'}, Bytes(ogg.begin(), ogg.begin() + 60), hugeId3})
        EXPECT_NE(OpenBytes(bytes)->result, FMOD_OK);
    // Binary data of other kinds: recognition_test.cpp.
}

TEST(EngineDecodingInput, TagsAroundMpegAudioAreNeitherPlayedNorCounted) {
    const Bytes plain = ReadFixture("l3_cbr128.mp3");
    const std::vector<float> audio = DecodeAll(*OpenBytes(plain)->sound.decoder, 4096);
    for (const char* file : {"tag_v23_utf16.mp3", "tag_v24_utf8.mp3", "tag_v1_ape.mp3"}) {
        auto tagged = OpenBytes(ReadFixture(file));
        ASSERT_EQ(tagged->result, FMOD_OK) << file;
        EXPECT_EQ(tagged->sound.format.rawBytes, plain.size()) << file;
        EXPECT_EQ(DecodeAll(*tagged->sound.decoder, 4096), audio) << file;
    }
    // A stream whose ID3v2 tag (a 200 KB picture) is larger than the head a stream keeps.
    Bytes tag{'I', 'D', '3', 3, 0, 0, 0, 0x0C, 0x1A, 0x5A,  // 200000 + 26 bytes, sync-safe
              'T', 'I', 'T', '2', 0, 0, 0, 6, 0, 0, 0, 'R', 'a', 'd', 'i', 'o', 'A', 'P', 'I', 'C', 0, 0x03, 0x0D, 0x40, 0, 0};
    tag.resize(tag.size() + 200000, 0x11);
    tag.insert(tag.end(), plain.begin(), plain.end());
    auto stream = OpenReader(std::make_unique<TestReader>(tag, TestReaderOptions{true}));
    ASSERT_EQ(stream->result, FMOD_OK);
    EXPECT_EQ(TagValue(stream->tags, "TITLE"), "Radio");
    const std::vector<float> streamed = DecodeAll(*stream->sound.decoder, 4096);
    ASSERT_GE(streamed.size(), audio.size());
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), streamed.begin()));
}
