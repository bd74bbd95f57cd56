#pragma once
// Opens fuzz input with one format from memory and, when it opens, decodes it all,
// seeks to a place chosen by the input and decodes a little more. Every tag is touched.
#include <cstring>
#include <vector>

#include "formats/compressed_formats.h"
#include "io/memory_reader.h"
#include "tags/tag_list.h"

inline void FuzzOpenAndDecode(engine::OpenFormatFn open, const uint8_t* data, size_t size) {
    std::unique_ptr<engine::Reader> reader = std::make_unique<engine::MemoryReader>(data, size);
    engine::TagList tags;
    engine::OpenedSound sound;
    if (open(reader, tags, sound) != FMOD_OK) {
        if (sound.decoder) __builtin_trap();  // a failed open leaves no decoder
        return;
    }
    size_t textBytes = 0;
    for (const engine::Tag& tag : *tags.Snapshot()) textBytes += std::strlen(tag.name.c_str()) + tag.data.size();
    (void)textBytes;
    engine::Decoder& decoder = *sound.decoder;
    const int channels = decoder.Format().channels;
    if (channels < 1 || channels > engine::kMaxChannels) __builtin_trap();
    std::vector<float> out(static_cast<size_t>(509) * channels);
    uint64_t total = 0;
    for (int64_t n; (n = decoder.ReadFrames(out.data(), 509)) > 0;) {
        for (int64_t i = 0; i < n * channels; ++i)
            if (!(out[i] >= -1.0f && out[i] <= 1.0f)) __builtin_trap();  // NaN or out of range
        total += static_cast<uint64_t>(n);
    }
    const uint64_t target = size > 0 ? data[size / 2] * (total / 256 + 1) : 0;
    if (decoder.SeekToFrame(target)) decoder.ReadFrames(out.data(), 300);
    if (decoder.SeekToFrame(0)) decoder.ReadFrames(out.data(), 300);
}
