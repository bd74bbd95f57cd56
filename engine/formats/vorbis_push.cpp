#include "formats/vorbis_push.h"

#include <algorithm>

#define STB_VORBIS_HEADER_ONLY
#define STB_VORBIS_NO_STDIO
#include <stb_vorbis.h>

namespace engine {
namespace {

// Headers with large codebooks are tens of KB; a link whose headers need more is refused.
// Pages are at most 64 KB, so audio never comes near it.
constexpr size_t kMaxPendingBytes = 1 << 20;
// Typical streams need about 100 KB of decoder state; large codebooks more.
constexpr size_t kFirstArenaBytes = 256 * 1024;
constexpr size_t kMaxArenaBytes = 16 << 20;

}  // namespace

VorbisPush::VorbisPush() = default;

VorbisPush::~VorbisPush() {
    if (vorbis_) stb_vorbis_close(vorbis_);
}

bool VorbisPush::Start(OggPageReader& pages, std::vector<uint8_t>& bytes, const container::OggPage& first) {
    if (vorbis_) stb_vorbis_close(vorbis_);
    vorbis_ = nullptr;
    serial_ = first.serial;
    // The decoder trusts the lengths in the comment header; they are checked first.
    CommentHeaderCheck check(kMaxPendingBytes);
    CommentHeader state = check.AddPage(first);
    pending_ = bytes;
    pendingAt_ = 0;
    container::OggPage page;
    while (state != CommentHeader::kSound) {
        if (state == CommentHeader::kBroken) return false;
        if (pending_.size() > kMaxPendingBytes || !pages.Next(bytes, page)) return false;
        if (page.serial != serial_) continue;
        state = check.AddPage(page);
        pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    }
    // Room for the comments at the first try: the decoder copies them into its arena.
    arena_.resize(std::max(arena_.size(), std::max(kFirstArenaBytes, 4 * pending_.size())));
    for (;;) {
        int used = 0, error = 0;
        const stb_vorbis_alloc alloc{arena_.data(), static_cast<int>(arena_.size())};
        vorbis_ = stb_vorbis_open_pushdata(pending_.data(), static_cast<int>(pending_.size()), &used, &error, &alloc);
        if (vorbis_) {
            pendingAt_ = static_cast<size_t>(used);
            return true;
        }
        if (error == VORBIS_outofmem && arena_.size() < kMaxArenaBytes) {
            arena_.resize(arena_.size() * 2);
            continue;
        }
        if (error != VORBIS_need_more_data || pending_.size() > kMaxPendingBytes) return false;
        do {
            if (!pages.Next(bytes, page)) return false;
        } while (page.serial != serial_);
        pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    }
}

int VorbisPush::Channels() const { return vorbis_ ? stb_vorbis_get_info(vorbis_).channels : 0; }

uint32_t VorbisPush::SampleRate() const { return vorbis_ ? stb_vorbis_get_info(vorbis_).sample_rate : 0; }

std::vector<std::string> VorbisPush::Comments() const {
    std::vector<std::string> fields;
    if (!vorbis_) return fields;
    const stb_vorbis_comment comment = stb_vorbis_get_comment(vorbis_);
    for (int i = 0; i < comment.comment_list_length; ++i) fields.emplace_back(comment.comment_list[i]);
    return fields;
}

VorbisPush::Step VorbisPush::Decode(float*** outputs, int* channels, int* samples) {
    *samples = 0;
    const size_t left = pending_.size() - pendingAt_;
    if (left == 0) return Step::kNeedPage;
    const int used = stb_vorbis_decode_frame_pushdata(vorbis_, pending_.data() + pendingAt_, static_cast<int>(left),
                                                      channels, outputs, samples);
    if (used <= 0) {
        *samples = 0;
        return Step::kNeedPage;
    }
    pendingAt_ += static_cast<size_t>(used);
    if (*samples > 0 && (*channels < 1 || !*outputs)) *samples = 0;
    return Step::kFrame;
}

bool VorbisPush::Feed(const std::vector<uint8_t>& bytes) {
    // What was decoded goes first, so the bytes kept never grow past a few pages.
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(pendingAt_));
    pendingAt_ = 0;
    if (pending_.size() + bytes.size() > kMaxPendingBytes) return false;
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    return true;
}

void VorbisPush::Flush() {
    pending_.clear();
    pendingAt_ = 0;
    if (vorbis_) stb_vorbis_flush_pushdata(vorbis_);
}

int64_t VorbisPush::SampleAfterFrame() const { return vorbis_ ? stb_vorbis_get_sample_offset(vorbis_) : -1; }

}  // namespace engine
