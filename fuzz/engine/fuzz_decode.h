#pragma once
#include <vector>

#include "formats/format_open.h"
#include "io/memory_reader.h"
#include "tags/tag_list.h"

// Memory that behaves like a network stream: forward only, size unknown.
class ForwardOnlyReader : public engine::Reader {
public:
    ForwardOnlyReader(const uint8_t* data, size_t size) : memory_(data, size) {}
    int64_t Read(void* buffer, size_t count) override { return memory_.Read(buffer, count); }
    bool Seek(uint64_t) override { return false; }
    uint64_t Tell() const override { return memory_.Tell(); }
    int64_t Size() const override { return -1; }
    bool CanSeek() const override { return false; }

private:
    engine::MemoryReader memory_;
};

// Opens the input with one format; when it opens, decodes every frame, seeks to
// a frame chosen from the input and decodes a little more. Tags are read back.
inline void FuzzOpenAndDecode(engine::OpenFormatFn open, const uint8_t* data, size_t size) {
    std::unique_ptr<engine::Reader> reader = std::make_unique<engine::MemoryReader>(data, size);
    engine::TagList tags;
    engine::OpenedSound sound;
    if (open(reader, tags, sound) != FMOD_OK) return;
    for (const engine::Tag& tag : *tags.Snapshot()) (void)tag.data.size();
    if (!sound.decoder) return;
    engine::Decoder& decoder = *sound.decoder;
    const int channels = decoder.Format().channels;
    std::vector<float> out(static_cast<size_t>(257) * channels);
    uint64_t total = 0;
    for (int64_t n; (n = decoder.ReadFrames(out.data(), 257)) > 0;) total += static_cast<uint64_t>(n);
    if (total > decoder.Format().lengthFrames) __builtin_trap();  // more frames than announced
    const uint64_t target = size > 0 ? data[size / 2] * (total / 256 + 1) : 0;
    if (decoder.SeekToFrame(target)) decoder.ReadFrames(out.data(), 100);
}
