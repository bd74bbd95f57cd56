// Decode speed in x real time: our decoder and libmpg123 on the same files, from memory,
// both giving interleaved floats, best of several runs in one process. The ratio is
// libmpg123's time over ours: above 1 means ours is faster.
#include <mpg123.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "mpeg/mpeg.h"

namespace {

constexpr int kRuns = 5;

struct Totals {
    uint64_t samples = 0;  // per channel
    int rate = 0;
    double checksum = 0;   // keeps the work from being optimised away
};

Totals DecodeOurs(const std::vector<uint8_t>& file) {
    Totals t;
    mpeg::DecoderPtr decoder = mpeg::CreateDecoder();
    std::vector<float> pcm(mpeg::kMaxFrameFloats);
    size_t pos = 0;
    for (;;) {
        mpeg::FrameOutput out;
        const mpeg::Result r = mpeg::DecodeFrame(*decoder, file.data() + pos, file.size() - pos, true, pcm.data(), out);
        pos += out.consumed;
        if (r == mpeg::Result::EndOfData) break;
        if (r != mpeg::Result::Ok) continue;
        t.samples += static_cast<uint64_t>(out.samples);
        t.rate = out.sampleRate;
        t.checksum += pcm[static_cast<size_t>(out.samples)];
    }
    return t;
}

Totals DecodeReference(const std::vector<uint8_t>& file, int encoding) {
    Totals t;
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    mpg123_param(mh, MPG123_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, encoding);
    mpg123_open_feed(mh);
    mpg123_feed(mh, file.data(), file.size());
    for (;;) {
        off_t frame = 0;
        unsigned char* audio = nullptr;
        size_t bytes = 0;
        const int r = mpg123_decode_frame(mh, &frame, &audio, &bytes);
        if (r == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, enc = 0;
            mpg123_getformat(mh, &rate, &channels, &enc);
            t.rate = static_cast<int>(rate);
            continue;
        }
        if (r != MPG123_OK) break;
        t.samples += bytes / (encoding == MPG123_ENC_FLOAT_32 ? 4 : 2) / 2;
        if (bytes > 4) t.checksum += audio[bytes / 2];
    }
    mpg123_delete(mh);
    return t;
}

template <typename Decode>
double BestSeconds(Decode decode, Totals& totals) {
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        totals = decode();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

}  // namespace

// An argument "ours" or "mpg123" runs only that decoder, for instruction counts under
// callgrind or perf, which repeat where wall times drift.
int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : "";
    mpg123_init();
    std::printf("%-16s %12s %14s %14s %8s\n", "file", "ours x rt", "mpg123 f32", "mpg123 s16", "ratio");
    for (const char* name : {"cbr128.mp3", "vbr_v2.mp3", "layer2_192.mp2"}) {
        std::ifstream in(std::string(MPEG_BENCH_DIR) + "/" + name, std::ios::binary);
        const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (file.empty()) {
            std::printf("%-16s missing\n", name);
            continue;
        }
        Totals ours, floats, shorts;
        if (only == "ours") {
            DecodeOurs(file);
            continue;
        }
        if (only == "mpg123") {
            DecodeReference(file, MPG123_ENC_FLOAT_32);
            continue;
        }
        const double oursSeconds = BestSeconds([&] { return DecodeOurs(file); }, ours);
        const double floatSeconds = BestSeconds([&] { return DecodeReference(file, MPG123_ENC_FLOAT_32); }, floats);
        const double shortSeconds = BestSeconds([&] { return DecodeReference(file, MPG123_ENC_SIGNED_16); }, shorts);
        const double duration = static_cast<double>(ours.samples) / ours.rate;
        std::printf("%-16s %11.0fx %13.0fx %13.0fx %8.2f\n", name, duration / oursSeconds, duration / floatSeconds,
                    duration / shortSeconds, floatSeconds / oursSeconds);
    }
    return 0;
}
