// The live Ogg Vorbis decoder on arbitrary bytes, read as a stream that cannot
// seek: open, then decode until it ends or fails.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "io/memory_reader.h"
#include "net/ogg_stream_decoder.h"

namespace {

// A memory reader that, like a network stream, neither seeks nor knows its size.
class OnceReader : public engine::MemoryReader {
public:
    using MemoryReader::MemoryReader;
    bool Seek(uint64_t offset) override { return offset == Tell(); }
    int64_t Size() const override { return -1; }
    bool CanSeek() const override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<engine::Decoder> decoder;
    size_t titles = 0;
    if (engine::OpenOggStream(std::make_unique<OnceReader>(data, size), [&](const engine::StreamTitle&) { ++titles; },
                              &decoder) != FMOD_OK)
        return 0;
    const engine::StreamFormat format = decoder->Format();
    std::vector<float> out(1024 * static_cast<size_t>(format.channels));
    for (int calls = 0; calls < 100000; ++calls) {
        const int64_t got = decoder->ReadFrames(out.data(), 1024);
        if (got <= 0) break;
        for (size_t i = 0; i < static_cast<size_t>(got) * format.channels; ++i)
            if (!std::isfinite(out[i])) __builtin_trap();  // above full scale is allowed: the mix limits
    }
    return 0;
}
