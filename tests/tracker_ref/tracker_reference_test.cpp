// Our tracker player against libopenmpt, module by module: the song's length within 1 %,
// the loudness envelopes correlating at 0.98 or more, the pitch of held notes, and seeking
// landing where a straight render is. Every module's figures are printed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>

#include "debian_modules.h"
#include "effect_cases.h"
#include "module_writer.h"
#include "reference_compare.h"

namespace trackref {
namespace {

using Bytes = std::vector<uint8_t>;

// Divergences still open, printed and skipped rather than failed; one that agrees again is
// reported so that it can leave the list. None at present.
const std::map<std::string, std::string> kKnownDivergences = {};

const char* const kRealModules[] = {
    "high-score.mod", "area3-game.mod", "gardien-go.mod", "termigator_reg-zbb.mod",
    "ritam.s3m", "gd-giirm.s3m", "autonom.s3m",
    "dali.xm", "satisfy.xm", "finalman-quickie.xm", "bgm1.xm",
    "gd-matth.it", "the_big_march_in_space.it", "gd-ite.it", "rough_journey.it"};

constexpr double kMaxSeconds = 150;  // of each song compared (all of it for most)

// Whether a failed check of `name` is a known divergence, to be skipped.
bool KnownDivergence(const std::string& name, bool ok) {
    if (!kKnownDivergences.count(name)) return false;
    if (ok) std::printf("  %s now agrees with the reference: take it off the known divergences\n", name.c_str());
    return !ok;
}

void CompareWithReference(const std::string& name, const Bytes& file) {
    const Rendering theirs = RenderReference(file, kMaxSeconds), ours = RenderOurs(file, kMaxSeconds);
    ASSERT_TRUE(theirs.ok && ours.ok) << name << ": " << theirs.error << ours.error;
    const Comparison c = Compare(ours, theirs);
    std::printf("%-48s %s\n", name.c_str(), c.Describe().c_str());
    if (KnownDivergence(name, c.lengthOk && c.correlationOk))
        GTEST_SKIP() << name << ": known divergence (" << kKnownDivergences.at(name) << "), now " << c.Describe();
    EXPECT_TRUE(c.lengthOk && c.correlationOk) << name << ": " << c.Describe();
}

std::string TestName(const std::string& name) {
    std::string out;
    for (char c : name) out += std::isalnum(uint8_t(c)) ? c : '_';
    return out;
}

}  // namespace

void PrintTo(const WrittenCase& c, std::ostream* os) { *os << c.name; }

namespace {

class WrittenModule : public testing::TestWithParam<WrittenCase> {};

TEST_P(WrittenModule, AgreesWithReference) {
    const Bytes file = WriteModule(GetParam().song);
    // The writer's files must be well-formed, or the comparison proves nothing.
    const Rendering theirs = RenderReference(file, 0);
    ASSERT_TRUE(theirs.ok) << theirs.error;
    ASSERT_EQ(theirs.warnings, "") << GetParam().name;
    ASSERT_GT(theirs.seconds, 1.0) << GetParam().name;
    CompareWithReference(GetParam().name, file);
}

INSTANTIATE_TEST_SUITE_P(Effects, WrittenModule, testing::ValuesIn(WrittenCases()),
                         [](const testing::TestParamInfo<WrittenCase>& info) { return TestName(info.param.name); });

// One held note of a sine sample per format, middle C rate (MOD: finetune 0, -1, +1),
// frequency table and note: the pitch within 0.02 % (a third of a cent) of the
// reference's, since a small error still makes two channels beat otherwise and loops drift.
TEST(Pitch, AgreesWithReference) {
    for (const auto& [format, formatName] : kFormats) {
        const bool mod = format == Format::Mod, amigaToo = format == Format::Xm || format == Format::It;
        for (int c5Speed : mod ? std::vector{8363, 8303, 8424} : std::vector{8363, 10320, 23361}) {
            for (const std::string note : {"C-5", "E-5", "E-4", "A-6"}) {
                for (bool linear : {true, false}) {
                    if (!linear && !amigaToo) continue;
                    SongDesc song = BaseSong(format);
                    song.samples[0].c5Speed = c5Speed;
                    song.linear = linear;
                    song.patterns = {{note + " 01 .. ..."}};
                    const Bytes file = WriteModule(song);
                    const Rendering ours = RenderOurs(file, 1.2), theirs = RenderReference(file, 1.2);
                    const size_t frames = std::min(ours.stereo.size(), theirs.stereo.size()) / 2;
                    const double oursHz = ZeroCrossingFrequency(ours.stereo, 2000, frames), theirHz = ZeroCrossingFrequency(theirs.stereo, 2000, frames);
                    const std::string name = std::string(formatName) + " pitch " + note + " at " + std::to_string(c5Speed) + (linear ? "" : " amiga");
                    const bool ok = theirHz > 0 && std::fabs(oursHz / theirHz - 1) <= 2e-4;
                    std::printf("%-48s %.3f Hz / %.3f Hz (%+.3f %%)\n", name.c_str(), oursHz, theirHz, 100 * (oursHz / theirHz - 1));
                    if (KnownDivergence(name, ok)) continue;
                    EXPECT_TRUE(ok) << name << ": " << oursHz << " Hz, reference " << theirHz << " Hz";
                }
            }
        }
    }
}

class RealModuleTest : public testing::TestWithParam<const char*> {};

TEST_P(RealModuleTest, AgreesWithReference) {
    const Bytes file = DebianModule(GetParam());
    if (const std::string skipped = DebianModulesSkipped(); !skipped.empty()) GTEST_SKIP() << "Debian modules: " << skipped;
    ASSERT_FALSE(file.empty()) << GetParam();
    CompareWithReference(GetParam(), file);
}

// A seek into the middle plays on as a render from the start does at that point.
TEST_P(RealModuleTest, SeekLandsWhereStraightRenderIs) {
    const Bytes file = DebianModule(GetParam());
    if (file.empty()) GTEST_SKIP() << "Debian modules: " << DebianModulesSkipped();
    const Rendering ours = RenderOurs(file, 0);
    ASSERT_TRUE(ours.ok) << ours.error;
    const uint64_t middle = uint64_t(std::min(ours.seconds, kMaxSeconds) / 2 * kRate);
    const double mismatch = SeekMismatch(file, middle, 2 * kRate);
    std::printf("%-48s seek to %.1f s: mismatch %.5f\n", GetParam(), double(middle) / kRate, mismatch);
    EXPECT_LT(mismatch, 0.01) << GetParam();
    EXPECT_TRUE(RefusesSeekPastEnd(file)) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Debian, RealModuleTest, testing::ValuesIn(kRealModules),
                         [](const testing::TestParamInfo<const char*>& info) { return TestName(info.param); });

}  // namespace
}  // namespace trackref
