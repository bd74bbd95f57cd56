#include "fixtures.h"

#include <algorithm>
#include <fstream>
#include <iterator>

std::vector<uint8_t> ReadFixtureFile(const std::string& fileName) {
    std::ifstream in(std::string(QUENDRA_FIXTURES) + "/" + fileName, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> ReadFixture(const std::string& name) { return ReadFixtureFile(name + ".flac"); }

const std::vector<std::string>& AllFixtureNames() {
    static const std::vector<std::string> names = {
        "s16_stereo_44k", "s16_level0",     "s16_level8",       "s16_block192", "s16_block4608",
        "s16_block16384", "s16_no_seektable", "s16_lpc32",      "s16_partitions", "s16_wasted_bits",
        "s16_silence",    "s24_96k",        "s24_level0",       "s8_mono",      "s8_mono_no_seektable",
        "six_channels",   "s32_stereo",     "s32_level1",       "s12_stereo",   "s20_88k",
    };
    return names;
}
