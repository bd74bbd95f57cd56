// Decode speed of our FLAC decoder next to libFLAC on the same files in memory. Both give
// interleaved 32-bit samples, one frame at a time, into a buffer of the same size: ours
// interleaves inside the decoder, libFLAC's planar channels are interleaved in its write
// callback. Neither checks the MD5 of the whole stream; both check every frame's CRC.
#include <FLAC/stream_decoder.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_harness.h"
#include "flac/flac.h"

namespace {

bool DecodeOurs(const bench::Bytes& file, bench::Checksum& check) {
    flac::StreamDecoder decoder;
    decoder.Feed(file.data(), file.size());
    decoder.FinishInput();
    flac::Result r;
    while ((r = decoder.NextFrame()) == flac::Result::Ok) {
        const flac::DecodedFrame& f = decoder.frame();
        bench::AddOutput(check, f.samples.data(), f.header.blockSize, int(f.header.channels));
    }
    return r == flac::Result::EndOfStream && decoder.skippedFrames() == 0;
}

struct LibFlacSession {
    const bench::Bytes* file = nullptr;
    size_t pos = 0;
    std::vector<int32_t>* interleaved = nullptr;
    bench::Checksum* check = nullptr;
    bool failed = false;
};

FLAC__StreamDecoderReadStatus Read(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes, void* data) {
    auto* s = static_cast<LibFlacSession*>(data);
    const size_t n = std::min(*bytes, s->file->size() - s->pos);
    std::memcpy(buffer, s->file->data() + s->pos, n);
    s->pos += n;
    *bytes = n;
    return n ? FLAC__STREAM_DECODER_READ_STATUS_CONTINUE : FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
}

FLAC__StreamDecoderWriteStatus Write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                     const FLAC__int32* const channels[], void* data) {
    auto* s = static_cast<LibFlacSession*>(data);
    const unsigned count = frame->header.channels, n = frame->header.blocksize;
    if (size_t(n) * count > s->interleaved->size()) {
        s->failed = true;
        return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
    }
    int32_t* out = s->interleaved->data();
    if (count == 2) {
        const FLAC__int32* left = channels[0];
        const FLAC__int32* right = channels[1];
        for (unsigned i = 0; i < n; ++i) {
            out[2 * i] = left[i];
            out[2 * i + 1] = right[i];
        }
    } else {
        for (unsigned c = 0; c < count; ++c)
            for (unsigned i = 0; i < n; ++i) out[size_t(i) * count + c] = channels[c][i];
    }
    bench::AddOutput(*s->check, out, n, int(count));
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void Error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* data) {
    static_cast<LibFlacSession*>(data)->failed = true;
}

bool DecodeLibFlac(const bench::Bytes& file, std::vector<int32_t>& interleaved, bench::Checksum& check) {
    LibFlacSession session;
    session.file = &file;
    session.interleaved = &interleaved;
    session.check = &check;
    FLAC__StreamDecoder* decoder = FLAC__stream_decoder_new();
    if (!decoder) return false;
    bool ok = FLAC__stream_decoder_init_stream(decoder, Read, nullptr, nullptr, nullptr, nullptr, Write, nullptr,
                                               Error, &session) == FLAC__STREAM_DECODER_INIT_STATUS_OK &&
              FLAC__stream_decoder_process_until_end_of_stream(decoder);
    FLAC__stream_decoder_delete(decoder);
    return ok && !session.failed;
}

}  // namespace

int main(int argc, char** argv) {
    bench::Options options;
    if (!bench::ParseOptions(argc, argv, options)) return 2;
    bench::PrintMachine();
    std::printf("SIMD: our FLAC decoder has no SIMD kernels (the compiler's x86-64 baseline); libFLAC picks its own\n"
                "output: interleaved 32-bit integers, one frame at a time\n\n");
    bool ok = true;
    for (const char* name : {"s16_44k", "s16_44k_level8", "s24_96k", "s24_96k_level0"}) {
        const bench::Bytes file = bench::ReadWholeFile(std::string(FLAC_BENCH_DIR) + "/" + name + ".flac");
        flac::Metadata meta;
        if (flac::ReadMetadata(file.data(), file.size(), meta) != flac::Result::Ok || meta.info.totalSamples == 0) {
            std::printf("%s: missing or unreadable\n", name);
            ok = false;
            continue;
        }
        // The same room for both: the largest block of the stream in every channel.
        std::vector<int32_t> libFlacBuffer(size_t(meta.info.maxBlockSize) * meta.info.channels);
        const bench::Side ours{"ours", [&](bench::Checksum& c) { return DecodeOurs(file, c); }};
        const bench::Side reference{"libFLAC", [&](bench::Checksum& c) { return DecodeLibFlac(file, libFlacBuffer, c); }};
        ok &= bench::Compare(options, std::string("FLAC ") + name, meta.info.sampleRate, meta.info.totalSamples, ours,
                             reference);
    }
    return ok ? 0 : 1;
}
