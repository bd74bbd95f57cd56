// Decode speed of our Ogg Vorbis path (the engine's decoder over stb_vorbis, opened from
// memory as the engine opens any file) next to libvorbisfile on the same file. Both give
// interleaved floats limited to -1..1, 4096 frames at a time, into a buffer of the same size:
// libvorbisfile's planar channels are interleaved and limited here, as ours are inside
// the engine.
#include <vorbis/codec.h>
#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench_harness.h"
#include "vorbis_reference.h"
#include "formats/format_open.h"
#include "formats/sample_range.h"
#include "io/memory_reader.h"

namespace {

constexpr size_t kChunkFrames = 4096;
constexpr uint32_t kRate = 44100;
constexpr uint64_t kMaterialFrames = 30 * kRate;  // make_bench_files.sh: 30 s

bool DecodeOurs(const bench::Bytes& file, std::vector<float>& buffer, bench::Checksum& check) {
    engine::TagList tags;
    engine::OpenedSound sound;
    if (engine::OpenByContent(std::make_unique<engine::MemoryReader>(file.data(), file.size()), tags, sound) != FMOD_OK)
        return false;
    const int channels = sound.format.channels;
    if (channels < 1 || size_t(channels) * kChunkFrames > buffer.size()) return false;
    for (;;) {
        const int64_t n = sound.decoder->ReadFrames(buffer.data(), kChunkFrames);
        if (n < 0) return false;
        if (n == 0) return true;
        bench::AddOutput(check, buffer.data(), size_t(n), channels);
    }
}

bool DecodeVorbisfile(const bench::Bytes& file, std::vector<float>& buffer, bench::Checksum& check) {
    VorbisfileSource source{&file};
    OggVorbis_File vf;
    if (OpenVorbisfile(source, vf) != 0) return false;
    const int channels = ov_info(&vf, -1)->channels;
    bool ok = size_t(channels) * kChunkFrames <= buffer.size();
    while (ok) {
        float** pcm = nullptr;
        int link = 0;
        const long n = ov_read_float(&vf, &pcm, kChunkFrames, &link);
        if (n == 0) break;
        if (n < 0 || ov_info(&vf, link)->channels != channels) {
            ok = false;
            break;
        }
        float* out = buffer.data();
        for (long i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c) out[i * channels + c] = engine::ToSampleRange(pcm[c][i]);
        bench::AddOutput(check, out, size_t(n), channels);
    }
    ov_clear(&vf);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    bench::Options options;
    if (!bench::ParseOptions(argc, argv, options)) return 2;
    bench::PrintMachine();
    std::printf("stb_vorbis unit built with: %s\n", BENCH_STB_VORBIS_OPTIONS);
    std::printf("SIMD: neither stb_vorbis nor our wrapper has SIMD kernels (the compiler's x86-64 baseline); %s\n",
                vorbis_version_string());
    std::printf("output: interleaved 32-bit floats in -1..1, %zu frames at a time\n\n", kChunkFrames);
    const bench::Bytes file = bench::ReadWholeFile(std::string(VORBIS_BENCH_DIR) + "/music.ogg");
    if (file.empty()) {
        std::printf("music.ogg: missing\n");
        return 1;
    }
    // Stereo material; the same room for both sides.
    std::vector<float> oursBuffer(2 * kChunkFrames), referenceBuffer(2 * kChunkFrames);
    const bench::Side ours{"ours", [&](bench::Checksum& c) { return DecodeOurs(file, oursBuffer, c); }};
    const bench::Side reference{"libvorbisfile",
                                [&](bench::Checksum& c) { return DecodeVorbisfile(file, referenceBuffer, c); }};
    return bench::Compare(options, "Ogg Vorbis music.ogg", kRate, kMaterialFrames, ours, reference) ? 0 : 1;
}
