#pragma once
// One Ogg Vorbis link decoded page by page (stb_vorbis's push interface), so that only
// a page or two of it is ever in memory: live streams and files share it. The decoder
// lives in an arena of ours: damaged headers then cannot ask for gigabytes, and nothing
// is left behind when they fail half-way.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/ogg_page_reader.h"

struct stb_vorbis;

namespace engine {

class VorbisPush {
public:
    VorbisPush();
    ~VorbisPush();
    VorbisPush(const VorbisPush&) = delete;
    VorbisPush& operator=(const VorbisPush&) = delete;

    // Opens the link whose first page is in `bytes`/`page`, reading the rest of its
    // headers from `pages`. False when they are damaged or too large.
    bool Start(OggPageReader& pages, std::vector<uint8_t>& bytes, const container::OggPage& page);
    int Channels() const;
    uint32_t SampleRate() const;
    uint32_t Serial() const { return serial_; }
    std::vector<std::string> Comments() const;

    enum class Step { kFrame, kNeedPage };
    // The next frame from the pages given so far: kFrame with `samples` frames in
    // `outputs` (one buffer per channel, the decoder's own; maybe 0 frames), or kNeedPage.
    Step Decode(float*** outputs, int* channels, int* samples);
    // The next page of the link; false when the bytes waiting grow past the limit.
    bool Feed(const std::vector<uint8_t>& bytes);
    // A jump: what was given and the overlap with the last frame are forgotten.
    void Flush();
    // The link's sample after the frame decoded last, once a page with a position has been
    // decoded since the start or the last flush; -1 until then.
    int64_t SampleAfterFrame() const;

private:
    std::vector<char> arena_;
    stb_vorbis* vorbis_ = nullptr;  // in arena_
    uint32_t serial_ = 0;
    std::vector<uint8_t> pending_;  // bytes given and not yet decoded, from pendingAt_
    size_t pendingAt_ = 0;
};

}  // namespace engine
