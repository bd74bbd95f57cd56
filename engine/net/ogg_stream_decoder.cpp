#include "net/ogg_stream_decoder.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "formats/sample_range.h"
#include "formats/vorbis_push.h"
#include "text/utf8.h"

namespace engine {
namespace {

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
        if (!PlausibleLayout(vorbis_.Channels(), vorbis_.SampleRate())) return false;
        format_.type = FMOD_SOUND_TYPE_OGGVORBIS;
        format_.format = FMOD_SOUND_FORMAT_PCM16;
        format_.bitsPerSample = 16;
        format_.channels = vorbis_.Channels();
        format_.sampleRate = vorbis_.SampleRate();
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
    bool StartLink(std::vector<uint8_t>& bytes, const container::OggPage& page) {
        if (!vorbis_.Start(pages_, bytes, page)) return false;
        StreamTitle title;
        if (onTitle_ && TitleFromComments(vorbis_.Comments(), title)) onTitle_(title);
        return true;
    }

    // One step: 1 decoded (maybe nothing audible yet), 0 the end, -1 broken.
    int DecodeNext() {
        decoded_.clear();
        decodedAt_ = 0;
        int channels = 0, samples = 0;
        float** output = nullptr;
        if (vorbis_.Decode(&output, &channels, &samples) == VorbisPush::Step::kFrame) {
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
            return vorbis_.Channels() == format_.channels ? 1 : 0;
        }
        if (page.serial != vorbis_.Serial()) return 1;  // another logical stream interleaved: not ours
        return vorbis_.Feed(bytes) ? 1 : -1;
    }

    std::unique_ptr<Reader> reader_;
    OggPageReader pages_;  // over reader_
    TitleCallback onTitle_;
    StreamFormat format_;
    VorbisPush vorbis_;
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
