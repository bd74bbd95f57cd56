// Ogg Vorbis files, decoded page by page from the reader (formats/vorbis_push.h), so memory
// stays a few pages whatever the file's length. Opening only walks the page headers; a
// chained file's links are decoded one after another, and a seek finds its page by
// bisection over the link's bytes.
#include <algorithm>
#include <cstring>
#include <vector>

#include "formats/compressed_formats.h"
#include "formats/format_open.h"
#include "formats/ogg_links.h"
#include "formats/ogg_probe.h"
#include "formats/sample_range.h"
#include "formats/vorbis_push.h"
#include "tags/vorbis_comment.h"

namespace engine {
namespace {

// A seek starts this far ahead of its target, further each time the position it reaches
// (known only at the end of a page) lies past the target.
constexpr uint64_t kFirstSeekMargin = 8192;
// Bisection stops when the range is this small and walks the pages from there.
constexpr uint64_t kBisectionStopBytes = 64 * 1024;

class VorbisDecoder : public Decoder {
public:
    VorbisDecoder(std::unique_ptr<Reader> reader, OggVorbisLayout layout, const StreamFormat& format)
        : reader_(std::move(reader)), pages_(*reader_), layout_(std::move(layout)), format_(format) {}

    const StreamFormat& Format() const override { return format_; }

    int64_t ReadFrames(float* out, size_t maxFrames) override {
        size_t written = 0;
        while (written < maxFrames && link_ < layout_.links.size()) {
            if (!linkOpen_ && !OpenLink()) {
                NextLink();
                continue;
            }
            if (framePos_ == frameLength_) {
                if (!NextFrame()) NextLink();
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
        uint64_t linkStart = 0;
        size_t index = 0;
        while (index < layout_.links.size() && frame >= linkStart + layout_.links[index].samples)
            linkStart += layout_.links[index++].samples;
        if (index != link_) linkOpen_ = false;
        link_ = index;
        linkPlayed_ = 0;
        frameLength_ = framePos_ = 0;
        discard_ = 0;
        if (link_ >= layout_.links.size()) return true;  // at the end
        return SeekInLink(frame - linkStart);
    }

private:
    // From the link's first page: headers, then the audio from its start.
    bool OpenLink() {
        linkOpen_ = false;
        linkPlayed_ = 0;
        frameLength_ = framePos_ = 0;
        const OggLink& link = layout_.links[link_];
        std::vector<uint8_t> bytes;
        container::OggPage page;
        if (link.end <= link.start || !pages_.SeekTo(link.start) || !pages_.Next(bytes, page) ||
            pages_.PageOffset() != link.start || !vorbis_.Start(pages_, bytes, page))
            return false;
        linkOpen_ = true;
        return true;
    }

    // Decodes the next frame of the current link, reading its pages as needed, and drops
    // what a seek asked to skip.
    bool NextFrame() {
        const OggLink& link = layout_.links[link_];
        for (;;) {
            int channels = 0, samples = 0;
            float** outputs = nullptr;
            if (vorbis_.Decode(&outputs, &channels, &samples) == VorbisPush::Step::kNeedPage) {
                std::vector<uint8_t> bytes;
                container::OggPage page;
                do {
                    if (!pages_.Next(bytes, page) || pages_.PageOffset() >= link.end) return false;
                } while (page.serial != vorbis_.Serial());
                if (!vorbis_.Feed(bytes)) return false;
                continue;
            }
            if (samples <= 0) continue;
            frameOutputs_ = outputs;
            frameChannels_ = channels;
            frameLength_ = static_cast<size_t>(samples);
            framePos_ = static_cast<size_t>(std::min<uint64_t>(discard_, frameLength_));
            discard_ -= framePos_;
            linkPlayed_ += framePos_;
            if (framePos_ < frameLength_) return true;
        }
    }

    // Goes to `target` in the open (or to be opened) link: from a page a little before it,
    // whose position shows once a page has been decoded. Near the start, from the start.
    bool SeekInLink(uint64_t target) {
        for (uint64_t margin = kFirstSeekMargin;; margin *= 4) {
            if (target <= margin) {
                if (!OpenLink()) return false;
                discard_ = target;
                return true;
            }
            if (!linkOpen_ && !OpenLink()) return false;
            const uint64_t from = PageBefore(target - margin);
            if (from == layout_.links[link_].start) margin = target;  // only the start lies before it
            else if (LandBefore(from, target)) return true;
            if (!linkOpen_) return false;
        }
    }

    // Decodes from the page at `from` until the position is known. True when that is at or
    // before `target`: the frame is then cut so that the next frame handed out starts there.
    bool LandBefore(uint64_t from, uint64_t target) {
        vorbis_.Flush();
        if (!pages_.SeekTo(from)) {
            linkOpen_ = false;
            return false;
        }
        for (;;) {
            if (!NextFrame()) return false;
            const int64_t after = vorbis_.SampleAfterFrame();
            if (after < 0) continue;
            const uint64_t start = static_cast<uint64_t>(after) - std::min<uint64_t>(frameLength_, after);
            if (start > target) return false;
            framePos_ = static_cast<size_t>(std::min<uint64_t>(target - start, frameLength_));
            linkPlayed_ = start + framePos_;
            discard_ = target - linkPlayed_;
            return true;
        }
    }

    // The start of the last page of the link, ahead of `sample`, whose position is at or
    // before it; the link's first page when there is none.
    uint64_t PageBefore(uint64_t sample) {
        const OggLink& link = layout_.links[link_];
        uint64_t low = link.start, high = link.end, best = link.start;
        while (high - low > kBisectionStopBytes) {
            const uint64_t middle = low + (high - low) / 2;
            uint64_t offset = 0, granule = 0;
            if (!PositionedPageAt(middle, high, &offset, &granule) || granule > sample) {
                high = middle;
            } else {
                best = offset;
                low = offset + 1;
            }
        }
        uint64_t offset = 0, granule = 0;
        for (uint64_t at = low; PositionedPageAt(at, link.end, &offset, &granule) && granule <= sample; at = offset + 1)
            best = offset;
        return best;
    }

    // The first page of this link starting at or after `at` and before `end` on which a
    // packet ends (so that it has a position), past the link's first frames: the start of
    // a stream is decoded differently, so a seek near it decodes from the start instead.
    bool PositionedPageAt(uint64_t at, uint64_t end, uint64_t* offset, uint64_t* granule) {
        std::vector<uint8_t> bytes;
        container::OggPage page;
        if (!pages_.SeekTo(at)) return false;
        while (pages_.Next(bytes, page) && pages_.PageOffset() < end) {
            if (page.serial != vorbis_.Serial() || page.granule == container::kOggNoGranule ||
                page.granule < kFirstSeekMargin)
                continue;
            *offset = pages_.PageOffset();
            *granule = page.granule;
            return true;
        }
        return false;
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

    void NextLink() {
        linkOpen_ = false;
        ++link_;
        linkPlayed_ = 0;
        frameLength_ = framePos_ = 0;
        discard_ = 0;
    }

    std::unique_ptr<Reader> reader_;
    OggPageReader pages_;  // over reader_
    OggVorbisLayout layout_;
    StreamFormat format_;
    VorbisPush vorbis_;
    bool linkOpen_ = false;
    size_t link_ = 0;
    uint64_t linkPlayed_ = 0;
    float** frameOutputs_ = nullptr;  // the decoder's buffers for the frame being handed out
    int frameChannels_ = 0;
    size_t frameLength_ = 0;
    size_t framePos_ = 0;
    uint64_t discard_ = 0;
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
