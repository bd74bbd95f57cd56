#pragma once
// In-band titles of ICY streams: after every `metaint` bytes of audio comes one
// length byte N and N * 16 bytes of text such as "StreamTitle='Artist - Title';",
// padded with zeros.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct StreamTitle {
    std::string artist;  // UTF-8; empty when the title has no " - "
    std::string title;
};

// Finds StreamTitle='...'; in one metadata block. False when the block has none.
// The text is decoded as UTF-8 when valid, else as Latin-1, then split at the first " - ".
bool ParseStreamTitle(std::string_view block, StreamTitle& out);

// icy-metaint as a usable interval: 0 (no metadata) for a missing, malformed,
// zero or absurd value.
uint32_t ParseMetaInterval(const std::string* header);
constexpr uint32_t kMaxMetaInterval = 1u << 20;

// Separates the audio bytes from the metadata blocks as bytes arrive in any pieces.
class MetadataSplitter {
public:
    explicit MetadataSplitter(uint32_t interval) : interval_(interval), audioLeft_(interval) {}
    // Audio goes to audio; each complete, non-empty metadata block to blocks.
    void Feed(const uint8_t* data, size_t size, std::vector<uint8_t>& audio, std::vector<std::string>& blocks);

private:
    uint32_t interval_;   // 0: everything is audio
    uint32_t audioLeft_;  // audio bytes before the next length byte
    bool inBlock_ = false;
    size_t blockLeft_ = 0;
    std::string block_;
};

}  // namespace engine
