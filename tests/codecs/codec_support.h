#pragma once
// Shared by the compressed-format tests: fixture files, opening through the engine's
// content detection, decoding in chunks, and comparing against reference decoders.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/format_open.h"
#include "tags/tag_list.h"

namespace codectest {

using Bytes = std::vector<uint8_t>;

std::string FixturePath(const std::string& name);
Bytes ReadFixture(const std::string& name);

struct Opened {
    FMOD_RESULT result = FMOD_ERR_INTERNAL;
    engine::OpenedSound sound;
    engine::TagList tags;
};
std::unique_ptr<Opened> OpenFixture(const std::string& name);
std::unique_ptr<Opened> OpenBytes(const Bytes& bytes);

// Every frame from the decoder's position on, in chunks of `chunk` frames.
std::vector<float> DecodeRest(engine::Decoder& decoder, size_t chunk);
// `frames` frames from the decoder's position (fewer at the end).
std::vector<float> DecodeFrames(engine::Decoder& decoder, size_t frames);

// Signal-to-noise ratio of `test` against `reference` over their common length, in dB.
double SnrDb(const std::vector<float>& reference, const std::vector<float>& test);
// Largest absolute difference over the common length.
double MaxDifference(const std::vector<float>& a, const std::vector<float>& b, size_t offset = 0);

// Values of every tag of that name, in file order.
std::vector<std::string> TagValues(const engine::TagList& tags, const std::string& name);
// The value of the first tag of that name and type, or "<none>".
std::string TagValue(const engine::TagList& tags, FMOD_TAGTYPE type, const std::string& name);

}  // namespace codectest
