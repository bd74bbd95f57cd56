// Damaged and misleading input: an error, a skipped frame or a shorter track.
#include <gtest/gtest.h>

#include "codec_support.h"

using namespace codectest;

namespace {

const char* const kFiles[] = {"l3_cbr128.mp3", "l2_192.mp2", "f16.flac", "f16.oga", "v_stereo.ogg", "v_chained.ogg"};

// Opens, decodes everything and seeks around; returns the frames decoded, or -1 if it did not open.
int64_t Exercise(const Bytes& bytes) {
    auto opened = OpenBytes(bytes);
    if (opened->result != FMOD_OK) {
        EXPECT_EQ(opened->sound.decoder, nullptr);
        return -1;
    }
    engine::Decoder& d = *opened->sound.decoder;
    const int64_t frames = int64_t(DecodeRest(d, 4096).size() / d.Format().channels);
    for (uint64_t target : {uint64_t{0}, uint64_t(frames / 2), uint64_t(frames + 100000)})
        if (d.SeekToFrame(target)) DecodeFrames(d, 2000);
    return frames;
}

TEST(Robustness, TruncatedFilesGiveShorterTracksOrErrors) {
    for (const char* file : kFiles) {
        const Bytes whole = ReadFixture(file);
        const int64_t full = Exercise(whole);
        ASSERT_GT(full, 0) << file;
        for (size_t keep : {size_t{10}, size_t{100}, size_t{3000}, whole.size() / 3, whole.size() - 1}) {
            const Bytes cut(whole.begin(), whole.begin() + keep);
            EXPECT_LE(Exercise(cut), full) << file << " cut at " << keep;
        }
        // A cut in the middle still plays the part before it.
        EXPECT_GT(Exercise(Bytes(whole.begin(), whole.begin() + whole.size() / 2)), full / 4) << file;
    }
}

TEST(Robustness, DamageInTheMiddlePlaysOn) {
    for (const char* file : kFiles) {
        Bytes bytes = ReadFixture(file);
        const int64_t full = Exercise(bytes);
        // Flip bytes in a stretch in the middle: bad CRCs, broken frames, bad page checksums.
        for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 3000; i += 7) bytes[i] ^= 0x5A;
        const int64_t damaged = Exercise(bytes);
        EXPECT_GT(damaged, full / 2) << file;
        EXPECT_LE(damaged, full + 1152) << file;
    }
}

TEST(Robustness, GarbageBetweenMpegFramesIsSkipped) {
    Bytes bytes = ReadFixture("l3_noinfo.mp3");
    const int64_t full = Exercise(bytes);
    Bytes garbage(5000);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = uint8_t(i * 131 + 7);
    bytes.insert(bytes.begin() + bytes.size() / 2, garbage.begin(), garbage.end());
    const int64_t withGarbage = Exercise(bytes);
    EXPECT_GE(withGarbage, full - 2 * 1152);
}

TEST(Robustness, AbsurdId3SizeIsRefused) {
    Bytes bytes = ReadFixture("l3_cbr128.mp3");
    const Bytes header{'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};  // 256 MB
    bytes.insert(bytes.begin(), header.begin(), header.end());
    EXPECT_EQ(OpenBytes(bytes)->result, FMOD_ERR_FORMAT);
}

TEST(Robustness, AnotherFormatBehindAMisleadingStartIsNotTakenForAudio) {
    // Text, random bytes and a FLAC marker with nothing after it.
    const std::string text = "Dies ist keine Musik, nur ein wenig Text.\n";
    EXPECT_NE(OpenBytes(Bytes(text.begin(), text.end()))->result, FMOD_OK);
    Bytes noise(20000);
    uint32_t x = 12345;
    for (uint8_t& b : noise) b = uint8_t((x = x * 1103515245 + 12345) >> 24);
    auto opened = OpenBytes(noise);
    if (opened->result == FMOD_OK) {
        EXPECT_GE(Exercise(noise), 0);  // at worst a short burst of noise
    }
    EXPECT_NE(OpenBytes(Bytes{'f', 'L', 'a', 'C'})->result, FMOD_OK);
    const Bytes ogg = ReadFixture("v_stereo.ogg");
    EXPECT_NE(OpenBytes(Bytes(ogg.begin(), ogg.begin() + 60))->result, FMOD_OK);
}

}  // namespace
