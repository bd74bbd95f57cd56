// FLAC, native and in Ogg, through our FLAC decoder: Vorbis comments as tags,
// sample-accurate seeking by the decoder's frame search.
#include <algorithm>
#include <cstring>
#include <vector>

#include "flac/flac.h"
#include "flac/ogg_flac.h"
#include "formats/compressed_formats.h"
#include "formats/format_open.h"
#include "formats/ogg_probe.h"
#include "tags/id3v2.h"
#include "tags/vorbis_comment.h"

namespace engine {
namespace {

constexpr size_t kReadChunk = 64 * 1024;
// Metadata (with cover art) larger than this is taken for damage.
constexpr uint64_t kMaxHeaderBytes = 64ull << 20;

// The decoder's random access for its seek search, on our reader.
class ReaderSource : public flac::ByteSource {
public:
    explicit ReaderSource(Reader& reader) : reader_(reader) {}
    size_t ReadAt(uint64_t offset, uint8_t* dst, size_t size) override {
        if (!reader_.Seek(offset)) return 0;
        size_t got = 0;
        while (got < size) {
            const int64_t n = reader_.Read(dst + got, size - got);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        return got;
    }
    uint64_t Size() const override { return static_cast<uint64_t>(reader_.Size()); }

private:
    Reader& reader_;
};

// Native FLAC and Ogg FLAC share everything but the frame source.
class FlacFrames {
public:
    explicit FlacFrames(bool ogg) {
        if (ogg) ogg_ = std::make_unique<flac::OggFlacDecoder>();
        else native_ = std::make_unique<flac::StreamDecoder>();
    }
    void Feed(const uint8_t* data, size_t size) { ogg_ ? ogg_->Feed(data, size) : native_->Feed(data, size); }
    void FinishInput() { ogg_ ? ogg_->FinishInput() : native_->FinishInput(); }
    flac::Result ReadHeaders() { return ogg_ ? ogg_->ReadHeaders() : native_->ReadHeaders(); }
    flac::Result NextFrame() { return ogg_ ? ogg_->NextFrame() : native_->NextFrame(); }
    void Restart(uint64_t offset) { ogg_ ? ogg_->Restart(offset) : native_->Restart(offset); }
    const flac::Metadata& metadata() const { return ogg_ ? ogg_->metadata() : native_->metadata(); }
    const flac::DecodedFrame& frame() const { return ogg_ ? ogg_->frame() : native_->frame(); }
    flac::Result FindSeekTarget(flac::ByteSource& source, uint64_t sample, flac::SeekTarget& out) const {
        return ogg_ ? ogg_->FindSeekTarget(source, sample, out)
                    : flac::FindSeekTarget(source, native_->metadata(), sample, out);
    }

private:
    std::unique_ptr<flac::StreamDecoder> native_;
    std::unique_ptr<flac::OggFlacDecoder> ogg_;
};

class FlacDecoder : public Decoder {
public:
    FlacDecoder(std::unique_ptr<Reader> reader, std::unique_ptr<FlacFrames> frames, const StreamFormat& format)
        : reader_(std::move(reader)), frames_(std::move(frames)), format_(format),
          scale_(1.0f / static_cast<float>(1ull << (format.bitsPerSample - 1))) {}

    const StreamFormat& Format() const override { return format_; }

    int64_t ReadFrames(float* out, size_t maxFrames) override {
        const size_t channels = static_cast<size_t>(format_.channels);
        size_t written = 0;
        while (written < maxFrames) {
            if (frameUsed_ == frameSamples_) {
                const int r = Next();
                if (r < 0) return written > 0 ? static_cast<int64_t>(written) : -1;
                if (r == 0) break;
                continue;
            }
            const size_t n = std::min(frameSamples_ - frameUsed_, maxFrames - written);
            const int32_t* in = frames_->frame().samples.data() + frameUsed_ * channels;
            float* dst = out + written * channels;
            for (size_t i = 0; i < n * channels; ++i) dst[i] = static_cast<float>(in[i]) * scale_;
            frameUsed_ += n;
            written += n;
        }
        return static_cast<int64_t>(written);
    }

    bool SeekToFrame(uint64_t frame) override {
        if (!reader_->CanSeek()) return false;
        ReaderSource source(*reader_);
        flac::SeekTarget target;
        if (frames_->FindSeekTarget(source, frame, target) != flac::Result::Ok || target.frameSample > frame) {
            // No frame found by the search (damage): decode from the first frame instead.
            target.byteOffset = frames_->metadata().audioOffset;
            target.frameSample = 0;
        }
        if (!reader_->Seek(target.byteOffset)) return false;
        frames_->Restart(target.byteOffset);
        inputEnded_ = false;
        frameSamples_ = frameUsed_ = 0;
        toDiscard_ = frame - target.frameSample;
        return true;
    }

private:
    // 1: a frame with samples left to give, 0: the end, -1: a read error.
    int Next() {
        for (;;) {
            const flac::Result r = frames_->NextFrame();
            if (r == flac::Result::Ok) {
                const flac::DecodedFrame& f = frames_->frame();
                frameSamples_ = f.samples.size() / static_cast<size_t>(format_.channels);
                frameUsed_ = static_cast<size_t>(std::min<uint64_t>(toDiscard_, frameSamples_));
                toDiscard_ -= frameUsed_;
                if (frameUsed_ < frameSamples_) return 1;
                continue;
            }
            if (r != flac::Result::NeedMoreData || inputEnded_) return 0;
            if (!FeedMore()) return -1;
        }
    }

    bool FeedMore() {
        uint8_t chunk[kReadChunk];
        const int64_t n = reader_->Read(chunk, sizeof chunk);
        if (n < 0) return false;
        if (n == 0) {
            frames_->FinishInput();
            inputEnded_ = true;
        } else {
            frames_->Feed(chunk, static_cast<size_t>(n));
        }
        return true;
    }

    std::unique_ptr<Reader> reader_;
    std::unique_ptr<FlacFrames> frames_;
    StreamFormat format_;
    float scale_;
    size_t frameSamples_ = 0;
    size_t frameUsed_ = 0;
    uint64_t toDiscard_ = 0;
    bool inputEnded_ = false;
};

FMOD_SOUND_FORMAT FormatForBits(uint32_t bits) {
    if (bits <= 8) return FMOD_SOUND_FORMAT_PCM8;
    if (bits <= 16) return FMOD_SOUND_FORMAT_PCM16;
    if (bits <= 24) return FMOD_SOUND_FORMAT_PCM24;
    return FMOD_SOUND_FORMAT_PCM32;
}

// FLAC behind an ID3v2 tag: "fLaC" right after it, if the head reaches that far.
int ProbeBehindId3(const uint8_t* head, size_t size) {
    const size_t tag = container::Id3v2TagSize(head, size);
    if (tag == 0) return 0;
    if (tag + 4 > size) return 65;  // unseen: try before MPEG, which accepts any ID3v2 start
    return std::memcmp(head + tag, "fLaC", 4) == 0 ? 100 : 0;
}

}  // namespace

int ProbeFlac(const uint8_t* head, size_t size) {
    if (size >= 4 && std::memcmp(head, "fLaC", 4) == 0) return 100;
    if (OggFirstPacketStartsWith(head, size, "\x7F" "FLAC", 5)) return 100;
    if (size >= container::kId3v2HeaderSize && std::memcmp(head, "ID3", 3) == 0) return ProbeBehindId3(head, size);
    return 0;
}

FMOD_RESULT OpenFlac(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out) {
    Reader& in = *reader;
    uint8_t head[kProbeBytes];
    if (!in.Seek(0)) return FMOD_ERR_FILE_COULDNOTSEEK;
    const int64_t headBytes = in.Read(head, sizeof head);
    if (headBytes < 0) return FMOD_ERR_FILE_BAD;
    // A stream is replayed from a kept head for each candidate: FLAC behind an ID3v2 tag
    // longer than the head (rare in streams, common with MP3) is left to the others.
    if (!in.CanSeek() && headBytes >= static_cast<int64_t>(container::kId3v2HeaderSize) &&
        container::Id3v2TagSize(head, static_cast<size_t>(headBytes)) + 4 > static_cast<uint64_t>(headBytes))
        return FMOD_ERR_FORMAT;
    const bool ogg = OggFirstPacketStartsWith(head, static_cast<size_t>(headBytes), "\x7F" "FLAC", 5);
    auto frames = std::make_unique<FlacFrames>(ogg);
    frames->Feed(head, static_cast<size_t>(headBytes));

    uint64_t fed = static_cast<uint64_t>(headBytes);
    std::vector<uint8_t> chunk(kReadChunk);
    flac::Result r;
    while ((r = frames->ReadHeaders()) == flac::Result::NeedMoreData) {
        if (fed > kMaxHeaderBytes) return FMOD_ERR_FORMAT;
        const int64_t n = in.Read(chunk.data(), chunk.size());
        if (n < 0) return FMOD_ERR_FILE_BAD;
        if (n == 0) {
            frames->FinishInput();
            if (frames->ReadHeaders() != flac::Result::Ok) return FMOD_ERR_FORMAT;
            break;
        }
        frames->Feed(chunk.data(), static_cast<size_t>(n));
        fed += static_cast<uint64_t>(n);
    }
    if (r != flac::Result::Ok && r != flac::Result::NeedMoreData) return FMOD_ERR_FORMAT;

    const flac::Metadata& meta = frames->metadata();
    const flac::StreamInfo& info = meta.info;
    if (!PlausibleLayout(static_cast<int>(info.channels), info.sampleRate) || info.channels > 8 ||
        info.bitsPerSample < 4 || info.bitsPerSample > 32)
        return FMOD_ERR_FORMAT;
    AddVorbisComments(meta.comments, tags);

    StreamFormat format;
    format.type = FMOD_SOUND_TYPE_FLAC;
    format.format = FormatForBits(info.bitsPerSample);
    format.channels = static_cast<int>(info.channels);
    format.bitsPerSample = static_cast<int>(info.bitsPerSample);
    format.sampleRate = info.sampleRate;
    format.lengthFrames = info.totalSamples;
    const int64_t size = in.Size();
    format.rawBytes = size > 0 && static_cast<uint64_t>(size) > meta.audioOffset ? size - meta.audioOffset : 0;
    out.format = format;
    out.decoder = std::make_unique<FlacDecoder>(std::move(reader), std::move(frames), format);
    return FMOD_OK;
}

}  // namespace engine
