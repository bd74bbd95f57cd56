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

struct Memory {
    const bench::Bytes* data;
    size_t pos;
};

size_t ReadMemory(void* out, size_t size, size_t count, void* source) {
    auto* m = static_cast<Memory*>(source);
    const size_t want = size * count, left = m->data->size() - m->pos;
    const size_t n = want < left ? want : left;
    std::memcpy(out, m->data->data() + m->pos, n);
    m->pos += n;
    return size ? n / size : 0;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
    auto* m = static_cast<Memory*>(source);
    const ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? ogg_int64_t(m->pos) : ogg_int64_t(m->data->size());
    if (base + offset < 0 || base + offset > ogg_int64_t(m->data->size())) return -1;
    m->pos = size_t(base + offset);
    return 0;
}

long TellMemory(void* source) { return long(static_cast<Memory*>(source)->pos); }

bool DecodeVorbisfile(const bench::Bytes& file, std::vector<float>& buffer, bench::Checksum& check) {
    Memory memory{&file, 0};
    OggVorbis_File vf;
    const ov_callbacks callbacks{ReadMemory, SeekMemory, nullptr, TellMemory};
    if (ov_open_callbacks(&memory, &vf, nullptr, 0, callbacks) != 0) return false;
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
