// WMA, M4A and ADTS files ffmpeg made (run_system_decoders.sh) through the system's decoders
// under Wine, against ffmpeg's decoding aligned by cross-correlation (Wine's WMA starts 4096
// frames after ffmpeg's, 2048 after the source: one codec frame it leaves in); then fmodex.dll.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "api_session.h"
#include "engine_support.h"
#include "formats/system_decoders.h"

using namespace engine;
using namespace enginetest;

namespace {

struct MediaCase {
    const char* file;
    bool asf;        // WMA: must decode; the others only where Wine has the decoder
    long seekSlack;  // WMA packets start on whole ms; Wine's MP4 source is one AAC frame late after a seek
    bool tags;       // ASF header or MP4 ilst (ADTS has none)
};
const MediaCase kMedia[] = {{"v1.wma", true, 66, true},
                            {"v2.wma", true, 66, true},
                            {"aac.m4a", false, 1024 + 66, true},
                            {"adts.aac", false, 1024 + 66, false}};

std::string MediaPath(const std::string& name) {
    const char* folder = std::getenv("QUENDRA_MEDIA_DIR");
    return folder ? std::string("Z:") + folder + "/" + name : std::string();
}

// The lag of `test` against `reference` (stereo frames) with the highest correlation, and the
// SNR over the frames both hold at that lag, less `margin` frames at each end.
std::pair<long, double> Align(const std::vector<float>& reference, const std::vector<float>& test, size_t margin) {
    const long range = 8192;
    long lag = 0;
    double bestSum = -INFINITY;
    const size_t from = 2 * range, to = std::min(from + 20000, std::min(reference.size(), test.size()) - 2 * range);
    for (long l = -range; l <= range; ++l) {
        double sum = 0;
        for (size_t i = from; i < to; ++i) sum += double(reference[i]) * test[i + 2 * l];
        if (sum > bestSum) bestSum = sum, lag = l;
    }
    std::vector<float> a, b;
    for (size_t i = margin * 2; i + margin * 2 < reference.size(); ++i) {
        const long j = static_cast<long>(i) + 2 * lag;
        if (j >= 0 && j < static_cast<long>(test.size())) a.push_back(reference[i]), b.push_back(test[j]);
    }
    return {lag, SnrDb(a, b)};
}

class SystemDecoders : public ::testing::TestWithParam<MediaCase> {};

}  // namespace

TEST_P(SystemDecoders, DecodeLikeFfmpegWithLengthTagsAndSeek) {
    const MediaCase& c = GetParam();
    const std::string path = MediaPath(c.file);
    if (path.empty()) GTEST_SKIP() << "QUENDRA_MEDIA_DIR is not set (run_system_decoders.sh makes the files)";
    const Bytes s16 = ReadFile(path + ".s16");
    std::vector<float> reference(s16.size() / 2);
    for (size_t i = 0; i < reference.size(); ++i) reference[i] = int16_t(s16[2 * i] | s16[2 * i + 1] << 8) / 32768.0f;
    ASSERT_GT(reference.size(), 44100u * 2 * 5);
    auto opened = OpenBytes(ReadFile(path), {.systemFormats = kSystemFormats, .systemFormatCount = kSystemFormatCount});
    if (!c.asf && opened->result == FMOD_ERR_FORMAT) GTEST_SKIP() << c.file << ": Wine has no decoder for it here";
    ASSERT_EQ(opened->result, FMOD_OK);
    const StreamFormat& f = opened->sound.format;
    // Within the file's 6 s less what decoders trim or pad at the ends (an estimate for ADTS).
    EXPECT_EQ(std::tuple(f.channels, f.sampleRate), std::tuple(2, 44100u));
    EXPECT_NEAR(double(f.lengthFrames), 6 * 44100.0, 4096) << f.lengthFrames;
    EXPECT_EQ(f.type, FMOD_SOUND_TYPE_ASF);
    if (c.tags) {
        const Fields want = {{"TITLE", std::string("Ton ") + c.file}, {"ARTIST", "Quendra"}, {"COMMENT", "Zwei Töne"},
                             {"ALBUM", "Testtöne"}, {"GENRE", "Test"}, {"YEAR", "2026"}, {"TRACKNUMBER", "7"}};
        for (const auto& [name, value] : want) EXPECT_EQ(TagValue(opened->tags, name, FMOD_TAGTYPE_ASF), value) << name;
    }
    const std::vector<float> ours = DecodeAll(*opened->sound.decoder, 4096);
    EXPECT_NEAR(double(ours.size()), f.lengthFrames * 2.0, 4096.0);
    // Decoders differ in priming and in padding behind the end: 4096 frames at each end are left out.
    const auto [lag, snr] = Align(reference, ours, 4096);
    EXPECT_GE(snr, 60.0) << "lag " << lag;

    // After a seek to the middle: the same audio, placed within the case's slack.
    const uint64_t middle = f.lengthFrames / 2 + 1000, before = 4000;
    ASSERT_TRUE(opened->sound.decoder->SeekToFrame(middle));
    const std::vector<float> part = DecodeFrames(*opened->sound.decoder, 44100);
    ASSERT_EQ(part.size(), 44100u * 2);
    const auto [seekLag, seekSnr] = Align({ours.begin() + (middle - before) * 2, ours.begin() + (middle + 40000) * 2}, part, 0);
    EXPECT_LE(std::abs(seekLag + long(before)), c.seekSlack);
    EXPECT_GE(seekSnr, 60.0);
}

INSTANTIATE_TEST_SUITE_P(Files, SystemDecoders, ::testing::ValuesIn(kMedia),
                         [](const auto& i) { return FileCaseName(i.param.file); });

TEST_F(ApiSession, SystemDecodedFilesPlayThroughTheLibraryWithSeek) {
    for (const MediaCase& c : kMedia) {
        const std::string path = MediaPath(c.file);
        if (path.empty()) GTEST_SKIP() << "QUENDRA_MEDIA_DIR is not set";
        SCOPED_TRACE(c.file);
        const FMOD_RESULT opened = Open(path, FMOD_OPENONLY);
        if (!c.asf && opened == FMOD_ERR_FORMAT) continue;  // no decoder here: the case above says so
        ASSERT_EQ(opened, FMOD_OK);
        EXPECT_EQ(std::get<0>(SoundFormat()), FMOD_SOUND_TYPE_ASF);
        EXPECT_NEAR(Length(), 6000.0, 100.0);
        Release();
        Load(path);
        PlayFrom(3000, 3300);
        EXPECT_NEAR(ZeroCrossingFrequency(Wave(8192), 44100), 440.0, 3.0);  // the left channel's tone
        ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }));
        ASSERT_EQ(api.FMOD_Channel_Stop(channel), FMOD_OK);
        Release();
    }
}
