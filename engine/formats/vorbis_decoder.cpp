// Ogg Vorbis through stb_vorbis. It reads one logical stream from memory, so each link
// of a chained file gets its own instance; the file is loaded on the first decode, and
// opening only walks the page headers.
#include <algorithm>
#include <cstring>
#include <vector>

#include "containers/ogg_page.h"
#include "formats/compressed_formats.h"
#include "formats/format_open.h"
#include "formats/sample_range.h"
#include "formats/ogg_links.h"
#include "formats/ogg_probe.h"
#include "tags/vorbis_comment.h"

#define STB_VORBIS_HEADER_ONLY
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb_vorbis.h>

namespace engine {
namespace {

// stb_vorbis takes an int for the size of its input.
constexpr uint64_t kMaxFileBytes = 1ull << 30;
constexpr uint64_t kMaxResumeSkip = 1 << 18;
// Typical streams need about 100 KB of decoder state; large codebooks more.
constexpr size_t kFirstArenaBytes = 256 * 1024;
constexpr size_t kMaxArenaBytes = 64 << 20;

struct StbCloser {
    void operator()(stb_vorbis* v) const { stb_vorbis_close(v); }
};
using StbPtr = std::unique_ptr<stb_vorbis, StbCloser>;

class VorbisDecoder : public Decoder {
public:
    VorbisDecoder(std::unique_ptr<Reader> reader, OggVorbisLayout layout, const StreamFormat& format)
        : reader_(std::move(reader)), layout_(std::move(layout)), format_(format) {}

    const StreamFormat& Format() const override { return format_; }

    int64_t ReadFrames(float* out, size_t maxFrames) override {
        if (!Load()) return -1;
        size_t written = 0;
        while (written < maxFrames && link_ < layout_.links.size()) {
            if (!current_ && !OpenLink()) {
                NextLink();
                continue;
            }
            if (framePos_ == frameLength_) {
                if (!NextFrame() && !ResumeAfterDamage()) NextLink();
                continue;
            }
            const uint64_t left = layout_.links[link_].samples - linkPlayed_;
            const size_t n = static_cast<size_t>(std::min<uint64_t>({maxFrames - written, left, frameLength_ - framePos_}));
            if (n == 0) {
                NextLink();
                continue;
            }
            CopyFrame(out + written * format_.channels, n);
            written += n;
            framePos_ += n;
            linkPlayed_ += n;
        }
        return static_cast<int64_t>(written);
    }

    bool SeekToFrame(uint64_t frame) override {
        if (!Load()) return false;
        uint64_t linkStart = 0;
        size_t index = 0;
        while (index < layout_.links.size() && frame >= linkStart + layout_.links[index].samples)
            linkStart += layout_.links[index++].samples;
        if (index != link_ || !current_) {
            current_.reset();
            link_ = index;
        }
        linkPlayed_ = 0;
        frameLength_ = framePos_ = 0;
        if (link_ >= layout_.links.size()) return true;  // at the end
        if (!current_ && !OpenLink()) return false;
        const uint64_t target = frame - linkStart;
        if (!stb_vorbis_seek_frame(current_.get(), static_cast<unsigned>(target))) return false;
        // The next frame holds the target; the samples before it are dropped.
        const int frameStart = stb_vorbis_get_sample_offset(current_.get());
        discard_ = frameStart >= 0 && static_cast<uint64_t>(frameStart) <= target ? target - frameStart : 0;
        linkPlayed_ = target;
        return true;
    }

private:
    bool Load() {
        if (loaded_) return true;
        if (loadFailed_) return false;
        loadFailed_ = true;
        const int64_t size = reader_->Size();
        if (size < 0 || static_cast<uint64_t>(size) > kMaxFileBytes || !reader_->Seek(0)) return false;
        file_.resize(static_cast<size_t>(size));
        if (!ReadExact(*reader_, file_.data(), file_.size())) {
            file_.clear();
            return false;
        }
        DropDamagedPages();
        loaded_ = true;
        loadFailed_ = false;
        return true;
    }

    // The decoder takes whatever bytes it is given; pages whose checksum fails (and bytes
    // between pages) are taken out first, as every other Ogg reader here passes them over.
    // The links' bounds move with the bytes that stay.
    void DropDamagedPages() {
        std::vector<uint64_t*> bounds;
        for (OggLink& link : layout_.links) bounds.insert(bounds.end(), {&link.start, &link.end});
        std::vector<uint64_t> moved(bounds.size());
        size_t kept = 0;
        for (size_t at = 0; at < file_.size();) {
            container::OggPage page;
            const container::OggParse r = container::ParseOggPage(file_.data() + at, file_.size() - at, page);
            const bool keep = r != container::OggParse::kBad;  // a cut-off last page stays as it was
            const size_t n = r == container::OggParse::kOk   ? page.totalBytes
                             : keep                          ? file_.size() - at
                                                             : container::NextOggCapture(file_.data() + at, file_.size() - at);
            for (size_t i = 0; i < bounds.size(); ++i)
                if (*bounds[i] >= at && *bounds[i] - at < n) moved[i] = keep ? kept + (*bounds[i] - at) : kept;
            if (keep) std::memmove(file_.data() + kept, file_.data() + at, n);
            kept += keep ? n : 0;
            at += n;
        }
        for (size_t i = 0; i < bounds.size(); ++i) *bounds[i] = *bounds[i] >= file_.size() ? kept : moved[i];
        file_.resize(kept);
    }

    // The decoder works in an arena of ours rather than on the heap: it does not free
    // everything it took when a damaged setup header fails, and an arena cannot leak.
    bool OpenLink() {
        current_.reset();
        linkPlayed_ = 0;
        frameLength_ = framePos_ = 0;
        const OggLink& link = layout_.links[link_];
        if (link.end > file_.size() || link.end <= link.start) return false;
        // Room for the comments at the first try: the library cannot recover from
        // running out of memory while it reads them.
        const size_t first = kFirstArenaBytes + static_cast<size_t>(4 * link.commentBytes);
        for (size_t size = first; size <= kMaxArenaBytes; size *= 2) {
            arena_.assign(size, 0);
            stb_vorbis_alloc alloc{arena_.data(), static_cast<int>(arena_.size())};
            int error = 0;
            current_.reset(stb_vorbis_open_memory(file_.data() + link.start,
                                                  static_cast<int>(link.end - link.start), &error, &alloc));
            if (current_) return true;
            if (error != VORBIS_outofmem) return false;
        }
        return false;
    }

    // Decodes the next frame of the current link, dropping what a seek asked to skip.
    // The library's own interleaving helper can write past its buffer on damaged
    // streams, so frames are taken one by one and copied here.
    bool NextFrame() {
        for (;;) {
            int channels = 0;
            float** outputs = nullptr;
            const int n = stb_vorbis_get_frame_float(current_.get(), &channels, &outputs);
            if (n <= 0 || channels < 1 || !outputs) return false;
            frameOutputs_ = outputs;
            frameChannels_ = channels;
            frameLength_ = static_cast<size_t>(n);
            framePos_ = static_cast<size_t>(std::min<uint64_t>(discard_, frameLength_));
            discard_ -= framePos_;
            if (framePos_ < frameLength_) return true;
        }
    }

    // Links with other channel counts: mono is spread, extra channels are dropped.
    void CopyFrame(float* out, size_t frames) {
        const int channels = format_.channels;
        for (size_t i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c) {
                const int from = frameChannels_ == 1 ? 0 : c;
                out[i * channels + c] = from < frameChannels_ ? ToSampleRange(frameOutputs_[from][framePos_ + i]) : 0.0f;
            }
        }
    }

    // The decoder stops at a damaged page; the audio after it is found by seeking a little
    // further each time, so a broken page costs a short gap rather than the rest.
    bool ResumeAfterDamage() {
        const uint64_t samples = layout_.links[link_].samples;
        for (uint64_t skip = 1024; skip <= kMaxResumeSkip && linkPlayed_ + skip < samples; skip *= 2) {
            if (stb_vorbis_seek_frame(current_.get(), static_cast<unsigned>(linkPlayed_ + skip))) {
                const int frameStart = stb_vorbis_get_sample_offset(current_.get());
                linkPlayed_ += skip;
                discard_ = frameStart >= 0 && static_cast<uint64_t>(frameStart) <= linkPlayed_ ? linkPlayed_ - frameStart : 0;
                return true;
            }
        }
        return false;
    }

    void NextLink() {
        current_.reset();
        ++link_;
        linkPlayed_ = 0;
        frameLength_ = framePos_ = 0;
        discard_ = 0;
    }

    std::unique_ptr<Reader> reader_;
    OggVorbisLayout layout_;
    StreamFormat format_;
    std::vector<uint8_t> file_;
    bool loaded_ = false;
    bool loadFailed_ = false;
    size_t link_ = 0;
    uint64_t linkPlayed_ = 0;
    float** frameOutputs_ = nullptr;  // the decoder's buffers for the frame being handed out
    int frameChannels_ = 0;
    size_t frameLength_ = 0;
    size_t framePos_ = 0;
    uint64_t discard_ = 0;
    std::vector<char> arena_;
    StbPtr current_;  // declared after its arena, so it goes first
};

}  // namespace

int ProbeVorbis(const uint8_t* head, size_t size) {
    return OggFirstPacketStartsWith(head, size, "\x01vorbis", 7) ? 100 : 0;
}

FMOD_RESULT OpenVorbis(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out) {
    OggVorbisLayout layout;
    if (!ScanOggVorbis(*reader, layout)) return FMOD_ERR_FORMAT;
    if (!PlausibleLayout(layout.channels, layout.sampleRate)) return FMOD_ERR_FORMAT;
    ReadVorbisCommentBlock(layout.commentPacket.data(), layout.commentPacket.size(), tags);

    StreamFormat format;
    format.type = FMOD_SOUND_TYPE_OGGVORBIS;
    format.format = FMOD_SOUND_FORMAT_PCM16;
    format.bitsPerSample = 16;
    format.channels = layout.channels;
    format.sampleRate = layout.sampleRate;
    for (const OggLink& link : layout.links) format.lengthFrames += link.samples;
    format.rawBytes = static_cast<uint64_t>(reader->Size());
    out.format = format;
    out.decoder = std::make_unique<VorbisDecoder>(std::move(reader), std::move(layout), format);
    return FMOD_OK;
}

}  // namespace engine
