#include "vorbis_reference.h"

#include <cstdio>
#include <cstring>

namespace {

size_t ReadMemory(void* out, size_t size, size_t count, void* source) {
    auto* m = static_cast<VorbisfileSource*>(source);
    const size_t want = size * count, left = m->data->size() - m->pos;
    const size_t n = want < left ? want : left;
    std::memcpy(out, m->data->data() + m->pos, n);
    m->pos += n;
    return size ? n / size : 0;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
    auto* m = static_cast<VorbisfileSource*>(source);
    const ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? ogg_int64_t(m->pos) : ogg_int64_t(m->data->size());
    if (base + offset < 0 || base + offset > ogg_int64_t(m->data->size())) return -1;
    m->pos = size_t(base + offset);
    return 0;
}

long TellMemory(void* source) { return long(static_cast<VorbisfileSource*>(source)->pos); }

}  // namespace

int OpenVorbisfile(VorbisfileSource& source, OggVorbis_File& vf) {
    const ov_callbacks callbacks{ReadMemory, SeekMemory, nullptr, TellMemory};
    return ov_open_callbacks(&source, &vf, nullptr, 0, callbacks);
}

VorbisReference DecodeWithVorbisfile(const std::vector<uint8_t>& file) {
    VorbisReference ref;
    VorbisfileSource source{&file};
    OggVorbis_File vf;
    if (OpenVorbisfile(source, vf) != 0) return ref;
    const vorbis_info* info = ov_info(&vf, 0);
    ref.channels = info->channels;
    ref.rate = info->rate;
    for (;;) {
        float** pcm = nullptr;
        int link = 0;
        const long n = ov_read_float(&vf, &pcm, 4096, &link);
        if (n == OV_HOLE) continue;
        if (n <= 0) break;
        const int channels = ov_info(&vf, link)->channels;
        for (long i = 0; i < n; ++i)
            for (int c = 0; c < ref.channels; ++c) ref.samples.push_back(c < channels ? pcm[c][i] : 0.0f);
    }
    ov_clear(&vf);
    ref.ok = true;
    return ref;
}
