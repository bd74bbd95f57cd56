#pragma once
// libvorbisfile as the reference for Ogg Vorbis: a whole file decoded from memory.
#include <vorbis/vorbisfile.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// A file in memory as libvorbisfile's source; it must outlive the open file.
struct VorbisfileSource {
    const std::vector<uint8_t>* data;
};

// ov_open_callbacks over `source`; 0 when opened, as libvorbisfile answers.
int OpenVorbisfile(VorbisfileSource& source, OggVorbis_File& vf);

struct VorbisReference {
    bool ok = false;
    int channels = 0;
    long rate = 0;
    std::vector<float> samples;  // interleaved; chained links follow each other
};

VorbisReference DecodeWithVorbisfile(const std::vector<uint8_t>& file);
