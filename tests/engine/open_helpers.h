#pragma once
// Opens test bytes through the same path the engine uses: content detection first.
#include <memory>
#include <string>
#include <vector>

#include "audio_builders.h"
#include "formats/format_open.h"
#include "io/memory_reader.h"

namespace enginetest {

struct Opened {
    FMOD_RESULT result = FMOD_ERR_INTERNAL;
    engine::OpenedSound sound;
    engine::TagList tags;
};

inline std::unique_ptr<Opened> OpenBytes(const Bytes& bytes) {
    auto opened = std::make_unique<Opened>();
    opened->result = engine::OpenByContent(std::make_unique<engine::MemoryReader>(bytes), opened->tags, opened->sound);
    return opened;
}

// Every frame of the decoder, read in chunks of `chunk` frames.
inline std::vector<float> DecodeAll(engine::Decoder& decoder, size_t chunk = 1000) {
    const int channels = decoder.Format().channels;
    std::vector<float> all, part(chunk * channels);
    for (;;) {
        int64_t n = decoder.ReadFrames(part.data(), chunk);
        if (n <= 0) break;
        all.insert(all.end(), part.begin(), part.begin() + n * channels);
    }
    return all;
}

inline std::string TagValue(const engine::TagList& tags, const std::string& name) {
    for (const auto& tag : *tags.Snapshot())
        if (tag.name == name) return tag.data;
    return "<none>";
}

}  // namespace enginetest
