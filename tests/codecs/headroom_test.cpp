// Decoded levels above full scale survive until the output: volume brings a loud track back
// undistorted, and only what still exceeds full scale after it is cut, at the output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "engine_support.h"
#include "reference_decoder.h"
#include "vorbis_reference.h"

using namespace enginetest;

namespace {

// The whole file (44.1 kHz stereo) decoded by the engine, played on one channel at `volume`.
std::vector<float> PlayThroughMixer(const Bytes& file, float volume) {
    auto opened = OpenBytes(file);
    EXPECT_EQ(std::tuple(opened->result, opened->sound.format.sampleRate, opened->sound.format.channels), std::tuple(FMOD_OK, 44100u, 2));
    if (opened->result != FMOD_OK) return {};
    const std::vector<float> decoded = DecodeAll(*opened->sound.decoder, 4096);
    MixerRig rig;
    rig.Play(0, MixerJob(2, 44100, decoded.size() / 2, decoded), volume);
    rig.Render(static_cast<uint32_t>(decoded.size() / 2));
    return rig.out;
}

std::vector<float> Scaled(std::vector<float> v, float gain) {
    for (float& s : v) s = std::clamp(s * gain, -1.0f, 1.0f);
    return v;
}

}  // namespace

TEST(Headroom, LoudFilesPlayAtHalfVolumeAsTheirReferenceAndClipOnlyAtFullScale) {
    for (const char* name : {"loud.mp3", "loud.ogg"}) {
        SCOPED_TRACE(name);
        const Bytes file = ReadFixture(name);
        const std::vector<float> reference = std::string(name).find(".mp3") != std::string::npos
                                                 ? DecodeWithReference(file, true).samples
                                                 : DecodeWithVorbisfile(file).samples;
        float peak = 0;
        for (float s : reference) peak = std::max(peak, std::fabs(s));
        ASSERT_GT(peak, 1.4f);
        const std::vector<float> half = PlayThroughMixer(file, 0.5f);
        ASSERT_EQ(half.size(), reference.size());
        EXPECT_GE(SnrDb(Scaled(reference, 0.5f), half), 90.0);
        // At full volume the peaks are cut flat at the output; none wraps to the other sign.
        EXPECT_LT(MaxDifference(Scaled(reference, 1.0f), PlayThroughMixer(file, 1.0f)), 1e-3);
    }
}

TEST(Headroom, FloatSamplesKeepTheirLevelAndDamageBecomesSilence) {
    const float inf = std::numeric_limits<float>::infinity();
    auto opened = OpenBytes(FloatWav({1.5f, -2.5f, std::nanf(""), inf, -inf, 0.25f}, 1));
    ASSERT_EQ(opened->result, FMOD_OK);
    EXPECT_EQ(DecodeAll(*opened->sound.decoder), (std::vector<float>{1.5f, -2.5f, 0, 0, 0, 0.25f}));
}
