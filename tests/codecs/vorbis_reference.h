#pragma once
// libvorbisfile as the reference for Ogg Vorbis: a whole file decoded from memory.
#include <cstdint>
#include <vector>

struct VorbisReference {
    bool ok = false;
    int channels = 0;
    long rate = 0;
    std::vector<float> samples;  // interleaved; chained links follow each other
};

VorbisReference DecodeWithVorbisfile(const std::vector<uint8_t>& file);
