#include "net/icy_metadata.h"

#include <algorithm>

#include "text/utf8.h"

namespace engine {

bool ParseStreamTitle(std::string_view block, StreamTitle& out) {
    block = block.substr(0, block.find('\0'));
    constexpr std::string_view kKey = "StreamTitle='";
    const size_t start = block.find(kKey);
    if (start == std::string_view::npos) return false;
    std::string_view text = block.substr(start + kKey.size());
    // Titles may hold apostrophes ("Guns N' Roses"): the value ends at "';".
    if (const size_t end = text.find("';"); end != std::string_view::npos) text = text.substr(0, end);
    else if (!text.empty() && text.back() == '\'') text.remove_suffix(1);
    const std::string utf8 = AnyTextToUtf8(text);
    const size_t dash = utf8.find(" - ");
    if (dash == std::string::npos) {
        out.artist.clear();
        out.title = utf8;
    } else {
        out.artist = utf8.substr(0, dash);
        out.title = utf8.substr(dash + 3);
    }
    return true;
}

uint32_t ParseMetaInterval(const std::string* header) {
    if (!header || header->empty() || header->size() > 10) return 0;
    uint64_t value = 0;
    for (char c : *header) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return value <= kMaxMetaInterval ? static_cast<uint32_t>(value) : 0;
}

void MetadataSplitter::Feed(const uint8_t* data, size_t size, std::vector<uint8_t>& audio,
                            std::vector<std::string>& blocks) {
    if (interval_ == 0) {
        audio.insert(audio.end(), data, data + size);
        return;
    }
    size_t i = 0;
    while (i < size) {
        if (inBlock_) {
            const size_t run = std::min(blockLeft_, size - i);
            block_.append(reinterpret_cast<const char*>(data + i), run);
            i += run;
            blockLeft_ -= run;
            if (blockLeft_ == 0) {
                blocks.push_back(std::move(block_));
                block_.clear();
                inBlock_ = false;
                audioLeft_ = interval_;
            }
        } else if (audioLeft_ > 0) {
            const size_t run = std::min<size_t>(audioLeft_, size - i);
            audio.insert(audio.end(), data + i, data + i + run);
            i += run;
            audioLeft_ -= static_cast<uint32_t>(run);
        } else {
            blockLeft_ = static_cast<size_t>(data[i++]) * 16;  // at most 4080 bytes
            if (blockLeft_ == 0) audioLeft_ = interval_;
            else inBlock_ = true;
        }
    }
}

}  // namespace engine
