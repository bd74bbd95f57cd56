// The in-band title path on arbitrary bytes: the first byte picks the interval,
// the rest is the stream; every block found is parsed as a title.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "net/icy_metadata.h"
#include "text/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    engine::MetadataSplitter splitter(1 + data[0] % 64);
    std::vector<uint8_t> audio;
    std::vector<std::string> blocks;
    for (size_t at = 1; at < size; at += 7) splitter.Feed(data + at, std::min<size_t>(7, size - at), audio, blocks);
    blocks.emplace_back(reinterpret_cast<const char*>(data), size);
    for (const std::string& block : blocks) {
        if (block.size() > 4080 && block.size() != size) __builtin_trap();
        engine::StreamTitle title;
        if (engine::ParseStreamTitle(block, title) &&
            (!engine::IsValidUtf8(title.artist) || !engine::IsValidUtf8(title.title)))
            __builtin_trap();
    }
    return 0;
}
