// Decode speed in x real time: our decoder and libFLAC on the same files, from memory,
// both giving interleaved 32-bit samples, best of several runs in one process. The ratio is
// libFLAC's time over ours: above 1 means ours is faster.
#include <FLAC/stream_decoder.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "flac/flac.h"

namespace {

constexpr int kRuns = 7;

struct Totals {
    uint64_t samples = 0;  // per channel
    int64_t checksum = 0;  // keeps the work from being optimised away, and compares the two
};

Totals DecodeOurs(const std::vector<uint8_t>& file) {
    Totals t;
    flac::StreamDecoder decoder;
    decoder.Feed(file.data(), file.size());
    decoder.FinishInput();
    while (decoder.NextFrame() == flac::Result::Ok) {
        const flac::DecodedFrame& f = decoder.frame();
        t.samples += f.header.blockSize;
        t.checksum += f.samples[f.samples.size() / 2];
    }
    return t;
}

struct LibFlacSession {
    const std::vector<uint8_t>* file;
    size_t pos = 0;
    std::vector<int32_t> interleaved;
    Totals totals;
};

FLAC__StreamDecoderReadStatus Read(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes, void* data) {
    auto* s = static_cast<LibFlacSession*>(data);
    size_t n = std::min(*bytes, s->file->size() - s->pos);
    std::memcpy(buffer, s->file->data() + s->pos, n);
    s->pos += n;
    *bytes = n;
    return n ? FLAC__STREAM_DECODER_READ_STATUS_CONTINUE : FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
}

FLAC__StreamDecoderWriteStatus Write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                     const FLAC__int32* const channels[], void* data) {
    auto* s = static_cast<LibFlacSession*>(data);
    unsigned count = frame->header.channels, n = frame->header.blocksize;
    s->interleaved.resize(size_t(n) * count);
    for (unsigned c = 0; c < count; ++c)
        for (unsigned i = 0; i < n; ++i)
            s->interleaved[size_t(i) * count + c] = channels[c][i];
    s->totals.samples += n;
    s->totals.checksum += s->interleaved[s->interleaved.size() / 2];
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void Error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void*) {}

Totals DecodeLibFlac(const std::vector<uint8_t>& file) {
    LibFlacSession session;
    session.file = &file;
    FLAC__StreamDecoder* decoder = FLAC__stream_decoder_new();
    FLAC__stream_decoder_init_stream(decoder, Read, nullptr, nullptr, nullptr, nullptr, Write, nullptr, Error,
                                     &session);
    FLAC__stream_decoder_process_until_end_of_stream(decoder);
    FLAC__stream_decoder_delete(decoder);
    return session.totals;
}

struct Timing {
    double ours = 1e30;
    double reference = 1e30;
};

// Best of several runs, the two decoders taking turns so that load from elsewhere on the
// machine hits both alike.
Timing BestSeconds(const std::vector<uint8_t>& file, Totals& ours, Totals& reference) {
    using Clock = std::chrono::steady_clock;
    Timing best;
    for (int run = 0; run < kRuns; ++run) {
        auto start = Clock::now();
        ours = DecodeOurs(file);
        auto middle = Clock::now();
        reference = DecodeLibFlac(file);
        auto end = Clock::now();
        best.ours = std::min(best.ours, std::chrono::duration<double>(middle - start).count());
        best.reference = std::min(best.reference, std::chrono::duration<double>(end - middle).count());
    }
    return best;
}

}  // namespace

int main() {
    const char* names[] = {"s16_44k", "s16_44k_level8", "s24_96k", "s24_96k_level0"};
    std::printf("%-16s %8s %12s %12s %7s\n", "file", "seconds", "ours x rt", "libFLAC x rt", "ratio");
    for (const char* name : names) {
        std::ifstream in(std::string(FLAC_BENCH_DIR) + "/" + name + ".flac", std::ios::binary);
        std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        flac::Metadata meta;
        if (flac::ReadMetadata(file.data(), file.size(), meta) != flac::Result::Ok) {
            std::printf("%-16s unreadable\n", name);
            continue;
        }
        double audioSeconds = double(meta.info.totalSamples) / meta.info.sampleRate;
        Totals ours, reference;
        Timing t = BestSeconds(file, ours, reference);
        std::printf("%-16s %8.1f %12.0f %12.0f %7.2f%s\n", name, audioSeconds, audioSeconds / t.ours,
                    audioSeconds / t.reference, t.reference / t.ours,
                    ours.samples == reference.samples && ours.checksum == reference.checksum ? "" : "  (outputs differ!)");
    }
    return 0;
}
