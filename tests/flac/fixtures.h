#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "flac/flac.h"

// Fixture files made by make_fixtures.sh at build time, by name without ".flac".
std::vector<uint8_t> ReadFixture(const std::string& name);
// Any fixture file by its full name.
std::vector<uint8_t> ReadFixtureFile(const std::string& fileName);
const std::vector<std::string>& AllFixtureNames();

// Everything our push decoder gives for a file fed in pieces of `chunkBytes`.
struct OurDecode {
    flac::Result result = flac::Result::Ok;  // EndOfStream when it ran to the end
    flac::Metadata meta;
    std::vector<int32_t> samples;            // interleaved
    uint64_t frames = 0;
    uint64_t skippedFrames = 0;
};
OurDecode DecodeWithOurs(const std::vector<uint8_t>& file, size_t chunkBytes);
