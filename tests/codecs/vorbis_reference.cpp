#include "vorbis_reference.h"

#include <cstdio>

int OpenVorbisfile(VorbisfileSource& source, OggVorbis_File& vf) {
    // A stream over the bytes in memory; libvorbisfile closes it with the file, or we do when it refuses.
    FILE* file = fmemopen(const_cast<uint8_t*>(source.data->data()), source.data->size(), "rb");
    if (!file) return OV_EREAD;
    const int result = ov_open_callbacks(file, &vf, nullptr, 0, OV_CALLBACKS_DEFAULT);
    if (result != 0) std::fclose(file);
    return result;
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
