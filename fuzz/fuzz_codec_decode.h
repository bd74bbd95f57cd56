#pragma once
// The one harness of the format fuzzers: the input as a memory reader (or, forward only,
// as a stream) opened with one format; when it opens, every frame is decoded into a
// bounded buffer, then a seek chosen by the input and a little more. Tags are touched.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "formats/compressed_formats.h"
#include "formats/format_open.h"
#include "io/memory_reader.h"

// Memory that behaves like a network stream: forward only, size unknown.
class ForwardOnlyReader : public engine::MemoryReader {
public:
    using MemoryReader::MemoryReader;
    bool Seek(uint64_t offset) override { return offset == Tell(); }
    int64_t Size() const override { return -1; }
    bool CanSeek() const override { return false; }
};

// Decoded samples must be finite (they may exceed full scale); `pcm`: samples come from the
// file as they are, so they are not checked, but there must not be more frames than announced.
inline void FuzzDecoder(engine::Decoder& decoder, const uint8_t* data, size_t size, bool pcm = false) {
    const int channels = decoder.Format().channels;
    if (channels < 1 || channels > engine::kMaxChannels) __builtin_trap();
    std::vector<float> out(static_cast<size_t>(509) * channels);
    uint64_t total = 0;
    for (int64_t n; (n = decoder.ReadFrames(out.data(), 509)) > 0;) {
        if (n > 509) __builtin_trap();
        for (int64_t i = 0; !pcm && i < n * channels; ++i)
            if (!std::isfinite(out[i])) __builtin_trap();  // above full scale is allowed: the mix limits
        total += static_cast<uint64_t>(n);
    }
    // MPEG audio inside a WAV file may have an estimated length.
    const bool exactLength = pcm && decoder.Format().type != FMOD_SOUND_TYPE_MPEG;
    if (exactLength && total > decoder.Format().lengthFrames) __builtin_trap();
    const uint64_t target = size > 0 ? data[size / 2] * (total / 256 + 1) : 0;
    if (decoder.SeekToFrame(target)) decoder.ReadFrames(out.data(), 300);
    if (decoder.SeekToFrame(0)) decoder.ReadFrames(out.data(), 300);
}

// Every tag's text is read through, so the sanitizers see any bad length or missing end.
inline void TouchTags(const engine::TagList& tags) {
    size_t textBytes = 0;
    for (const engine::Tag& tag : *tags.Snapshot()) textBytes += std::strlen(tag.name.c_str()) + std::strlen(tag.data.c_str());
    if (textBytes == SIZE_MAX) __builtin_trap();
}

inline void FuzzOpenAndDecode(engine::OpenFormatFn open, const uint8_t* data, size_t size, bool pcm = false) {
    std::unique_ptr<engine::Reader> reader = std::make_unique<engine::MemoryReader>(data, size);
    engine::TagList tags;
    engine::OpenedSound sound;
    if (open(reader, tags, sound) != FMOD_OK) {
        if (sound.decoder) __builtin_trap();  // a failed open leaves no decoder
        return;
    }
    TouchTags(tags);
    if (sound.decoder) FuzzDecoder(*sound.decoder, data, size, pcm);
}
