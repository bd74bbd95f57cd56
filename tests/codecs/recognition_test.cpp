// Content decides the format: files of other kinds never open as MPEG audio (any binary
// file holds a few frame headers by chance), while real MPEG audio in odd shapes still does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "engine_support.h"
#include "test_support.h"

using namespace enginetest;

namespace {

// other_formats.sh's folder, made on first use.
std::string OtherFormats() {
    static const bool made = [] {
        const std::string command = "sh '" QUENDRA_OTHER_FORMATS_SCRIPT "' '" QUENDRA_FIXTURES "/other_formats'";
        return std::system(command.c_str()) == 0;
    }();
    return made ? std::string(QUENDRA_FIXTURES) + "/other_formats" : "";
}

bool OpensAsMpeg(const Bytes& bytes, bool stream = false) {
    const auto opened = OpenReader(std::make_unique<TestReader>(bytes, TestReaderOptions{stream}));
    return opened->result == FMOD_OK && opened->sound.format.type == FMOD_SOUND_TYPE_MPEG;
}

// Like the junk in front of real files: a quarter of the bytes 0xFF, so headers turn up.
Bytes Junk(size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    Bytes out(bytes);
    for (uint8_t& b : out) b = (random() % 4 == 0) ? 0xFF : static_cast<uint8_t>(random());
    return out;
}

class OtherKinds : public ::testing::TestWithParam<const char*> {};

}  // namespace

TEST_P(OtherKinds, NoFileOpensAsMpeg) {
    const std::string folder = OtherFormats();
    ASSERT_FALSE(folder.empty()) << "other_formats.sh failed";
    const std::string kind = folder + "/" + GetParam();
    if (const Bytes reason = ReadFile(kind + ".skipped"); !reason.empty()) GTEST_SKIP() << GetParam() << ": " << std::string(reason.begin(), reason.end());
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kind)) {
        EXPECT_FALSE(OpensAsMpeg(ReadFile(entry.path().string()))) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, OtherKinds, ::testing::Values("modules", "images", "archives", "programs"),
                         [](const auto& info) { return std::string(info.param); });

TEST(Recognition, JunkWithAFewFrameHeadersIsNoMpeg) {
    const Bytes mp3 = ReadFixture("l3_notag.mp3"), junk = Junk(4000, 3);
    ASSERT_FALSE(mp3.empty());
    for (int frames = 1; frames <= 3; ++frames) {
        const Bytes some = FirstFrames(mp3, frames);
        EXPECT_FALSE(OpensAsMpeg(Join({some, junk}))) << frames << " frames in front";
        EXPECT_FALSE(OpensAsMpeg(Join({junk, some, junk}))) << frames << " frames inside";
        EXPECT_FALSE(OpensAsMpeg(Join({junk, some}), true)) << frames << " frames at the end of a stream";
    }
    for (unsigned seed = 1; seed <= 20; ++seed) EXPECT_FALSE(OpensAsMpeg(Junk(seed * 20000, seed))) << seed;
}

TEST(Recognition, RealMpegOpensAfterJunkAndAsAFewFrames) {
    // Look-alikes in front: frames of another stream (22.05 kHz) that merely start a run.
    const Bytes junk = Junk(3000, 5), lookAlikes = Join({FirstFrames(ReadFixture("l2_mpeg2.mp2"), 3), junk});
    for (const char* file : {"l3_notag.mp3", "l2_192.mp2", "l2_free.mp2"}) {
        SCOPED_TRACE(file);
        const Bytes bytes = ReadFixture(file);
        const auto plain = OpenBytes(bytes);
        ASSERT_EQ(plain->result, FMOD_OK);
        const std::vector<float> audio = DecodeAll(*plain->sound.decoder, 4096);
        for (const Bytes& front : {junk, lookAlikes}) {
            const auto opened = OpenBytes(Join({front, bytes}));
            ASSERT_EQ(opened->result, FMOD_OK);
            EXPECT_EQ(std::pair(opened->sound.format.sampleRate, opened->sound.format.lengthFrames), std::pair(44100u, plain->sound.format.lengthFrames));
            EXPECT_TRUE(DecodeAll(*opened->sound.decoder, 4096) == audio);
        }
    }
    // Files of one to three frames: they end right after the last one.
    for (const char* file : {"l3_notag.mp3", "l2_192.mp2"}) {
        const Bytes bytes = ReadFixture(file);
        for (int frames = 1; frames <= 3; ++frames) {
            const auto opened = OpenBytes(FirstFrames(bytes, frames));
            ASSERT_EQ(opened->result, FMOD_OK) << file << " " << frames;
            EXPECT_EQ(opened->sound.format.lengthFrames, 1152u * frames) << file;
        }
    }
}
