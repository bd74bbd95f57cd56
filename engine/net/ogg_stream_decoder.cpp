#include "net/ogg_stream_decoder.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#define STB_VORBIS_HEADER_ONLY
#define STB_VORBIS_NO_STDIO
#include <stb_vorbis.h>

#include "formats/sample_range.h"
#include "net/ogg_pages.h"
#include "text/utf8.h"

namespace engine {
namespace {

// Headers with large codebooks are tens of KB; a link whose headers need more is refused.
constexpr size_t kMaxPendingBytes = 1 << 20;
// The decoder lives in an arena of ours: damaged headers then cannot ask for
// gigabytes, and nothing is left behind when they fail half-way.
constexpr size_t kFirstArenaBytes = 256 * 1024;
constexpr size_t kMaxArenaBytes = 16 << 20;

struct StbCloser {
    void operator()(stb_vorbis* v) const { stb_vorbis_close(v); }
};

class OggStreamDecoder : public Decoder {
public:
    OggStreamDecoder(std::unique_ptr<Reader> reader, TitleCallback onTitle)
        : reader_(std::move(reader)), pages_(*reader_), onTitle_(std::move(onTitle)) {}

    // The first link: its headers decide the format. The stream starts with its first page.
    bool Start() {
        std::vector<uint8_t> bytes;
        container::OggPage page;
        if (!pages_.Next(bytes, page) || pages_.SkippedBytes() > 0 || !(page.flags & container::kOggFirst))
            return false;
        if (!StartLink(bytes, page)) return false;
        const stb_vorbis_info info = stb_vorbis_get_info(vorbis_.get());
        if (!PlausibleLayout(info.channels, info.sample_rate)) return false;
        format_.type = FMOD_SOUND_TYPE_OGGVORBIS;
        format_.format = FMOD_SOUND_FORMAT_PCM16;
        format_.bitsPerSample = 16;
        format_.channels = info.channels;
        format_.sampleRate = info.sample_rate;
        return true;
    }

    const StreamFormat& Format() const override { return format_; }

    int64_t ReadFrames(float* out, size_t maxFrames) override {
        const size_t channels = static_cast<size_t>(format_.channels);
        size_t written = 0;
        while (written < maxFrames) {
            if (decodedAt_ < decoded_.size() / channels) {
                const size_t n = std::min(maxFrames - written, decoded_.size() / channels - decodedAt_);
                std::memcpy(out + written * channels, &decoded_[decodedAt_ * channels], n * channels * sizeof(float));
                decodedAt_ += n;
                written += n;
                continue;
            }
            if (written > 0) break;  // hand out what there is before reading on
            const int step = DecodeNext();
            if (step < 0) return -1;
            if (step == 0) break;
        }
        return static_cast<int64_t>(written);
    }

    bool SeekToFrame(uint64_t) override { return false; }

private:
    // Opens a link from its first page, reading pages until the three headers are in.
    bool StartLink(std::vector<uint8_t>& bytes, container::OggPage& page) {
        vorbis_.reset();
        serial_ = page.serial;
        // The decoder trusts the lengths in the comment header; they are checked first.
        CommentHeaderCheck check(kMaxPendingBytes);
        CommentHeader state = check.AddPage(page);
        pending_ = std::move(bytes);
        while (state != CommentHeader::kSound) {
            if (state == CommentHeader::kBroken) return false;
            if (pending_.size() > kMaxPendingBytes || !pages_.Next(bytes, page)) return false;
            if (page.serial == serial_) state = check.AddPage(page);
            pending_.insert(pending_.end(), bytes.begin(), bytes.end());
        }
        if (arena_.empty()) arena_.resize(kFirstArenaBytes);
        for (;;) {
            int used = 0, error = 0;
            const stb_vorbis_alloc alloc{arena_.data(), static_cast<int>(arena_.size())};
            stb_vorbis* v = stb_vorbis_open_pushdata(pending_.data(), static_cast<int>(pending_.size()), &used,
                                                     &error, &alloc);
            if (v) {
                vorbis_.reset(v);
                pending_.erase(pending_.begin(), pending_.begin() + used);
                break;
            }
            if (error == VORBIS_outofmem && arena_.size() < kMaxArenaBytes) {
                arena_.resize(arena_.size() * 2);
                continue;
            }
            if (error != VORBIS_need_more_data || pending_.size() > kMaxPendingBytes) return false;
            std::vector<uint8_t> more;
            container::OggPage page;
            if (!pages_.Next(more, page)) return false;
            pending_.insert(pending_.end(), more.begin(), more.end());
        }
        const stb_vorbis_comment comment = stb_vorbis_get_comment(vorbis_.get());
        std::vector<std::string> fields;
        for (int i = 0; i < comment.comment_list_length; ++i) fields.emplace_back(comment.comment_list[i]);
        StreamTitle title;
        if (onTitle_ && TitleFromComments(fields, title)) onTitle_(title);
        return true;
    }

    // One step: 1 decoded (maybe nothing audible yet), 0 the end, -1 broken.
    int DecodeNext() {
        decoded_.clear();
        decodedAt_ = 0;
        int channels = 0, samples = 0;
        float** output = nullptr;
        const int used = pending_.empty() ? 0
                                          : stb_vorbis_decode_frame_pushdata(vorbis_.get(), pending_.data(),
                                                                             static_cast<int>(pending_.size()),
                                                                             &channels, &output, &samples);
        if (used > 0) {
            pending_.erase(pending_.begin(), pending_.begin() + used);
            const int keep = std::min(channels, format_.channels);
            decoded_.assign(static_cast<size_t>(samples) * format_.channels, 0.0f);
            for (int s = 0; s < samples; ++s)
                for (int c = 0; c < keep; ++c) decoded_[static_cast<size_t>(s) * format_.channels + c] =
                    ToSampleRange(output[c][s]);
            return 1;
        }
        std::vector<uint8_t> bytes;
        container::OggPage page;
        if (!pages_.Next(bytes, page)) return 0;
        if (page.flags & container::kOggFirst) {
            // A new link: same layout, or the stream cannot go on.
            if (!StartLink(bytes, page)) return -1;
            const stb_vorbis_info info = stb_vorbis_get_info(vorbis_.get());
            return info.channels == format_.channels ? 1 : 0;
        }
        if (page.serial != serial_) return 1;  // another logical stream interleaved: not ours
        if (pending_.size() + bytes.size() > kMaxPendingBytes) return -1;
        pending_.insert(pending_.end(), bytes.begin(), bytes.end());
        return 1;
    }

    std::unique_ptr<Reader> reader_;
    OggPageReader pages_;  // over reader_
    TitleCallback onTitle_;
    StreamFormat format_;
    std::vector<char> arena_;
    std::unique_ptr<stb_vorbis, StbCloser> vorbis_;  // declared after its arena, so it goes first
    uint32_t serial_ = 0;
    std::vector<uint8_t> pending_;  // bytes of this link not yet decoded
    std::vector<float> decoded_;    // the last frame, interleaved
    size_t decodedAt_ = 0;          // frames of it handed out
};

}  // namespace

bool TitleFromComments(const std::vector<std::string>& fields, StreamTitle& out) {
    bool found = false;
    StreamTitle title;
    for (const std::string& field : fields) {
        const size_t eq = field.find('=');
        if (eq == std::string::npos) continue;
        std::string name = field.substr(0, eq);
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (name == "ARTIST") title.artist = AnyTextToUtf8(field.substr(eq + 1));
        else if (name == "TITLE") title.title = AnyTextToUtf8(field.substr(eq + 1));
        else continue;
        found = true;
    }
    if (found) out = std::move(title);
    return found;
}

FMOD_RESULT OpenOggStream(std::unique_ptr<Reader> reader, TitleCallback onTitle, std::unique_ptr<Decoder>* out) {
    auto decoder = std::make_unique<OggStreamDecoder>(std::move(reader), std::move(onTitle));
    if (!decoder->Start()) return FMOD_ERR_FORMAT;
    *out = std::move(decoder);
    return FMOD_OK;
}

}  // namespace engine
