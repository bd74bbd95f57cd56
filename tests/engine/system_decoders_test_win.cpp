// WMA, M4A and ADTS files ffmpeg made (run_system_decoders.sh) through the system's
// decoders under Wine: the decoders fmodex.dll uses, linked here, against ffmpeg's own
// decoding (aligned by cross-correlation: decoders differ in delay; Wine's WMA comes 4096
// frames after ffmpeg's, 2048 after the source: one codec frame it leaves in), after a
// seek too; then through fmodex.dll: type, length, tags and a seek while playing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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
    long seekSlack;  // frames a seek may land off: WMA packet times are whole milliseconds; Wine's
                     // MP4 source stamps the frames after a seek one AAC frame (1024) late
};
const MediaCase kMedia[] = {
    {"v1.wma", true, 66}, {"v2.wma", true, 66}, {"aac.m4a", false, 1024 + 66}, {"adts.aac", false, 1024 + 66}};

std::string MediaPath(const std::string& name) {
    const char* folder = std::getenv("QUENDRA_MEDIA_DIR");
    return folder ? std::string("Z:") + folder + "/" + name : std::string();
}

std::vector<float> S16(const Bytes& raw) {
    std::vector<float> out(raw.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<int16_t>(raw[2 * i] | raw[2 * i + 1] << 8) / 32768.0f;
    return out;
}

// The lag (in frames, of `test` against `reference`) with the highest correlation.
long BestLag(const std::vector<float>& reference, const std::vector<float>& test, long range) {
    long best = 0;
    double bestSum = -INFINITY;
    const size_t from = 2 * range, to = std::min(from + 20000, std::min(reference.size(), test.size()) - 2 * range);
    for (long lag = -range; lag <= range; ++lag) {
        double sum = 0;
        for (size_t i = from; i < to; ++i) sum += double(reference[i]) * test[i + 2 * lag];
        if (sum > bestSum) bestSum = sum, best = lag;
    }
    return best;
}

// SNR over the frames both hold, `test` shifted by `lag` frames (stereo), less `margin` frames at each end.
double AlignedSnr(const std::vector<float>& reference, const std::vector<float>& test, long lag, size_t margin = 0) {
    std::vector<float> a, b;
    for (size_t i = margin * 2; i + margin * 2 < reference.size(); ++i) {
        const long j = static_cast<long>(i) + 2 * lag;
        if (j >= 0 && j < static_cast<long>(test.size())) a.push_back(reference[i]), b.push_back(test[j]);
    }
    return SnrDb(a, b);
}

std::unique_ptr<Opened> OpenWithSystemDecoders(const std::string& path) {
    auto opened = std::make_unique<Opened>();
    OpenHints hints;
    hints.systemFormats = kSystemFormats;
    hints.systemFormatCount = kSystemFormatCount;
    opened->result = OpenByContent(std::make_unique<MemoryReader>(ReadFile(path)), opened->tags, opened->sound, hints);
    return opened;
}

class SystemDecoders : public ::testing::TestWithParam<MediaCase> {};

}  // namespace

TEST_P(SystemDecoders, DecodeLikeFfmpegWithLengthTagsAndSeek) {
    const MediaCase& c = GetParam();
    const std::string path = MediaPath(c.file);
    if (path.empty()) GTEST_SKIP() << "QUENDRA_MEDIA_DIR is not set (run_system_decoders.sh makes the files)";
    const std::vector<float> reference = S16(ReadFile(path + ".s16"));
    ASSERT_GT(reference.size(), 44100u * 2 * 5);
    auto opened = OpenWithSystemDecoders(path);
    if (!c.asf && opened->result == FMOD_ERR_FORMAT) GTEST_SKIP() << c.file << ": Wine has no decoder for it here";
    ASSERT_EQ(opened->result, FMOD_OK);
    const StreamFormat& f = opened->sound.format;
    EXPECT_EQ(std::tuple(f.channels, f.sampleRate), std::tuple(2, 44100u));
    // Within the file's duration (6 s) less what decoders trim or pad at the ends.
    EXPECT_NEAR(double(f.lengthFrames), 6 * 44100.0, 4096) << f.lengthFrames;
    if (c.asf) {
        EXPECT_EQ(f.type, FMOD_SOUND_TYPE_ASF);
        const Fields want = {{"TITLE", std::string("Ton ") + c.file}, {"ARTIST", "Quendra"}, {"COMMENT", "Zwei Töne"},
                             {"ALBUM", "Testtöne"}, {"GENRE", "Test"}, {"YEAR", "2026"}, {"TRACKNUMBER", "7"}};
        for (const auto& [name, value] : want) EXPECT_EQ(TagValue(opened->tags, name, FMOD_TAGTYPE_ASF), value) << name;
    }
    const std::vector<float> ours = DecodeAll(*opened->sound.decoder, 4096);
    // The length announced is the container's (an estimate for ADTS); the decoder may end a little early.
    EXPECT_NEAR(double(ours.size()), f.lengthFrames * 2.0, 4096.0);
    const long lag = BestLag(reference, ours, 8192);
    // Decoders differ in priming and in the padding behind the end (ADTS counts neither): the
    // first and last 4096 frames are left out.
    const double snr = AlignedSnr(reference, ours, lag, 4096);
    std::printf("%s: %llu frames, ffmpeg %zu, lag %ld, SNR %.1f dB\n", c.file, (unsigned long long)f.lengthFrames,
                reference.size() / 2, lag, snr);
    EXPECT_GE(snr, 60.0);

    // After a seek to the middle: the same audio, placed within the case's slack.
    const uint64_t middle = f.lengthFrames / 2 + 1000, before = 4000;
    ASSERT_TRUE(opened->sound.decoder->SeekToFrame(middle));
    const std::vector<float> part = DecodeFrames(*opened->sound.decoder, 44100);
    ASSERT_EQ(part.size(), 44100u * 2);
    const std::vector<float> around(ours.begin() + (middle - before) * 2, ours.begin() + (middle + 40000) * 2);
    const long seekLag = BestLag(around, part, 8192);
    const double seekSnr = AlignedSnr(around, part, seekLag);
    std::printf("%s: after a seek to %llu, %ld frames off, SNR %.1f dB\n", c.file, (unsigned long long)middle,
                seekLag + long(before), seekSnr);
    EXPECT_LE(std::abs(seekLag + long(before)), c.seekSlack);
    EXPECT_GE(seekSnr, 60.0);
}

INSTANTIATE_TEST_SUITE_P(Files, SystemDecoders, ::testing::ValuesIn(kMedia), [](const auto& info) {
    std::string name = info.param.file;
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
});

TEST_F(ApiSession, SystemDecodedFilesPlayThroughTheLibraryWithSeek) {
    for (const MediaCase& c : kMedia) {
        const std::string path = MediaPath(c.file);
        if (path.empty()) GTEST_SKIP() << "QUENDRA_MEDIA_DIR is not set";
        SCOPED_TRACE(c.file);
        const FMOD_RESULT opened = Open(path, FMOD_OPENONLY);
        if (!c.asf && opened == FMOD_ERR_FORMAT) continue;  // no decoder here: the case above says so
        ASSERT_EQ(opened, FMOD_OK);
        FMOD_SOUND_TYPE type;
        ASSERT_EQ(api.FMOD_Sound_GetFormat(sound, &type, nullptr, nullptr, nullptr), FMOD_OK);
        EXPECT_EQ(type, FMOD_SOUND_TYPE_ASF);
        EXPECT_NEAR(Length(), 6000.0, 100.0);
        if (c.asf) {
            FMOD_TAGTYPE titleType = FMOD_TAGTYPE_UNKNOWN;
            EXPECT_EQ(Tag("TITLE", &titleType), std::string("Ton ") + c.file);
            EXPECT_EQ(titleType, FMOD_TAGTYPE_ASF);
        }
        Release();

        Load(path);
        ASSERT_EQ(api.FMOD_Channel_SetPosition(channel, 3000, FMOD_TIMEUNIT_MS), FMOD_OK);
        ASSERT_EQ(api.FMOD_Channel_SetPaused(channel, 0), FMOD_OK);
        ASSERT_TRUE(WaitUntil([&] { return Position() >= 3300; }));
        EXPECT_NEAR(ZeroCrossingFrequency(Wave(8192), 44100), 440.0, 3.0);  // the left channel's tone
        ASSERT_TRUE(WaitUntil([&] { return Playing() == 0; }));
        ASSERT_EQ(api.FMOD_Channel_Stop(channel), FMOD_OK);
        Release();
    }
}
