// Decode speed of our MPEG decoder next to libmpg123 on the same files in memory. Both give
// interleaved floats, one frame at a time, into a buffer of the same size: libmpg123 is
// handed the buffer to decode into. Neither trims the encoder's delay (no gapless), so
// both give every sample of every frame. Our figures come for the SIMD kernels this
// processor runs and for the plain ones.
#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_harness.h"
#include "mpeg/mpeg.h"
#include "simd.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint64_t kMaterialFrames = 30 * kRate;  // make_bench_files.sh: 30 s

struct BenchFile {
    const char* layer;
    const char* name;
};
constexpr BenchFile kFiles[] = {{"III", "cbr128.mp3"}, {"III", "vbr_v2.mp3"}, {"II", "layer2_192.mp2"}};

bool DecodeOurs(const bench::Bytes& file, std::vector<float>& pcm, bench::Checksum& check) {
    mpeg::DecoderPtr decoder = mpeg::CreateDecoder();
    size_t pos = 0;
    for (;;) {
        mpeg::FrameOutput out;
        const mpeg::Result r = mpeg::DecodeFrame(*decoder, file.data() + pos, file.size() - pos, true, pcm.data(), out);
        pos += out.consumed;
        if (r == mpeg::Result::EndOfData) return true;
        if (out.damaged) return false;
        if (r == mpeg::Result::Ok)
            bench::AddOutput(check, pcm.data(), size_t(out.samples), out.channels);
        else if (r == mpeg::Result::NeedMoreData && out.consumed == 0)
            return false;  // stuck: the data ends inside a frame
    }
}

mpg123_handle* NewMpg123() {
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    if (!mh) return nullptr;
    mpg123_param(mh, MPG123_FLAGS, MPG123_QUIET, 0);  // and so without MPG123_GAPLESS
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    return mh;
}

bool DecodeMpg123(const bench::Bytes& file, std::vector<float>& pcm, bench::Checksum& check) {
    mpg123_handle* mh = NewMpg123();
    if (!mh) return false;
    bool ok = mpg123_open_feed(mh) == MPG123_OK && mpg123_feed(mh, file.data(), file.size()) == MPG123_OK;
    int channels = 0;
    while (ok) {
        off_t frame = 0;
        unsigned char* audio = nullptr;
        size_t bytes = 0;
        const int r = mpg123_decode_frame(mh, &frame, &audio, &bytes);
        if (r == MPG123_NEW_FORMAT) {
            long rate = 0;
            int encoding = 0;
            mpg123_getformat(mh, &rate, &channels, &encoding);
            // From here on it decodes into our buffer, as ours does, rather than into one
            // of its own (a new format would make it allocate its own again).
            ok = mpg123_replace_buffer(mh, pcm.data(), pcm.size() * sizeof(float)) == MPG123_OK;
            continue;
        }
        if (r == MPG123_NEED_MORE || r == MPG123_DONE) break;
        if (r != MPG123_OK || channels == 0 || audio != reinterpret_cast<unsigned char*>(pcm.data()))
            ok = false;
        else if (bytes)
            bench::AddOutput(check, pcm.data(), bytes / sizeof(float) / size_t(channels), channels);
    }
    mpg123_delete(mh);
    return ok;
}

std::string Mpg123DecoderName() {
    mpg123_handle* mh = NewMpg123();
    std::string name = mh ? mpg123_current_decoder(mh) : "none";
    mpg123_delete(mh);
    return name;
}

}  // namespace

// Our kernels are taken as this processor allows, then the plain ones.
int main(int argc, char** argv) {
    bench::Options options;
    if (!bench::ParseOptions(argc, argv, options)) return 2;
    mpg123_init();
    bench::PrintMachine(MPEG_LIBRARY_OPTIONS);
    std::printf("libmpg123 %s, its synthesis: %s\n", BENCH_MPG123_VERSION, Mpg123DecoderName().c_str());
    std::printf("output: interleaved 32-bit floats, one frame at a time, into a buffer of %d floats each\n\n",
                mpeg::kMaxFrameFloats);
    std::vector<float> oursPcm(mpeg::kMaxFrameFloats), referencePcm(mpeg::kMaxFrameFloats);
    bool ok = true;
    std::vector<bool> paths;
    if (mpeg::HasAvx2Fma()) paths.push_back(true);
    paths.push_back(false);
    for (const bool simd : paths) {
        mpeg::SimdAllowed() = simd;
        std::printf("our SIMD path: %s\n", simd ? "AVX2+FMA" : "plain (no SIMD kernels)");
        for (const auto& [layer, name] : kFiles) {
            const bench::Bytes file = bench::ReadWholeFile(std::string(MPEG_BENCH_DIR) + "/" + name);
            if (file.empty()) {
                std::printf("%s: missing\n", name);
                ok = false;
                continue;
            }
            const bench::Side ours{"ours", [&](bench::Checksum& c) { return DecodeOurs(file, oursPcm, c); }};
            const bench::Side reference{"libmpg123", [&](bench::Checksum& c) { return DecodeMpg123(file, referencePcm, c); }};
            const std::string label = std::string("MPEG layer ") + layer + " " + name + (simd ? " [AVX2+FMA]" : " [plain]");
            ok &= bench::Compare(options, label, kRate, kMaterialFrames, ours, reference);
        }
        std::printf("\n");
    }
    return ok ? 0 : 1;
}
