// VAG: PlayStation 4-bit ADPCM behind a 48-byte "VAGp" header (big-endian fields).
// Mono, or two channels when byte 0x1E says 2: then the channels take turns in
// blocks of 0x1000 bytes, the layout such stereo files commonly use.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "containers/endian.h"
#include "formats/compressed_formats.h"
#include "text/utf8.h"

namespace engine {
namespace {

using container::Be32;

constexpr size_t kHeaderBytes = 0x30;
constexpr size_t kBlockBytes = 16;
constexpr int kFramesPerBlock = 28;
constexpr uint8_t kEndFlags = 7;
// One row holds this many blocks of each channel; mono is cut into rows of the same size,
// so that a row is also the distance between seek checkpoints.
constexpr size_t kInterleaveBytes = 0x1000;
constexpr size_t kBlocksPerRow = kInterleaveBytes / kBlockBytes;
constexpr uint64_t kFramesPerRow = kBlocksPerRow * kFramesPerBlock;

// Prediction filters: weights of the last and the one before, in 64ths.
constexpr int kFilters[5][2] = {{0, 0}, {60, 0}, {115, -52}, {98, -55}, {122, -60}};

struct History {
    int s1 = 0;
    int s2 = 0;
};

// Decodes one 16-byte block into 28 samples written `stride` apart.
void DecodeBlock(const uint8_t* block, History& h, float* out, int stride) {
    const int filter = std::min(block[0] >> 4, 4);
    const int shift = std::min(block[0] & 15, 12);  // 13 to 15 are not used; they act as 12
    const int c0 = kFilters[filter][0], c1 = kFilters[filter][1];
    for (int i = 0; i < kFramesPerBlock; ++i) {
        const int nibble = (block[2 + i / 2] >> ((i & 1) * 4)) & 15;
        const int raw = static_cast<int16_t>(nibble << 12) >> shift;
        int sample = raw + ((h.s1 * c0 + h.s2 * c1) >> 6);
        sample = std::clamp(sample, -32768, 32767);
        h.s2 = h.s1;
        h.s1 = sample;
        out[i * stride] = static_cast<float>(sample) / 32768.0f;
    }
}

struct VagLayout {
    StreamFormat format;
    uint64_t dataOffset = 0;
    uint64_t dataBytes = 0;  // whole blocks of all channels
    uint64_t rows = 0;
};

// Bytes of one channel in `row`: a full interleave block, or the channel's share of the rest.
size_t RowBytesPerChannel(const VagLayout& v, uint64_t row) {
    const uint64_t rowSpan = kInterleaveBytes * v.format.channels;
    const uint64_t left = v.dataBytes - row * rowSpan;
    if (left >= rowSpan) return kInterleaveBytes;
    return static_cast<size_t>(left / v.format.channels / kBlockBytes * kBlockBytes);
}

class VagDecoder : public Decoder {
public:
    VagDecoder(std::unique_ptr<Reader> reader, const VagLayout& layout) : reader_(std::move(reader)), v_(layout) {}

    const StreamFormat& Format() const override { return v_.format; }
    std::unique_ptr<Reader> Release() { return std::move(reader_); }

    // Decodes every row once: finds the end block and keeps each row's starting history.
    FMOD_RESULT Scan() {
        const int channels = v_.format.channels;
        std::vector<History> history(channels);
        uint64_t frames = 0;
        for (uint64_t row = 0; row < v_.rows; ++row) {
            checkpoints_.insert(checkpoints_.end(), history.begin(), history.end());
            size_t rowFrames = 0;
            if (!DecodeRow(row, history.data(), &rowFrames)) return FMOD_ERR_FILE_BAD;
            frames += rowFrames;
            if (rowFrames < RowBytesPerChannel(v_, row) / kBlockBytes * kFramesPerBlock) break;
        }
        if (frames == 0) return FMOD_ERR_FORMAT;
        v_.format.lengthFrames = frames;
        return SeekToFrame(0) ? FMOD_OK : FMOD_ERR_FILE_COULDNOTSEEK;
    }

    int64_t ReadFrames(float* out, size_t maxFrames) override {
        size_t written = 0;
        const int channels = v_.format.channels;
        while (written < maxFrames && frame_ < v_.format.lengthFrames) {
            if (rowCursor_ == rowFrames_) {
                if (!LoadRow(frame_ / kFramesPerRow)) return written > 0 ? static_cast<int64_t>(written) : -1;
                rowCursor_ = static_cast<size_t>(frame_ % kFramesPerRow);
            }
            size_t n = std::min(maxFrames - written, rowFrames_ - rowCursor_);
            n = static_cast<size_t>(std::min<uint64_t>(n, v_.format.lengthFrames - frame_));
            std::copy_n(row_.data() + rowCursor_ * channels, n * channels, out + written * channels);
            rowCursor_ += n;
            written += n;
            frame_ += n;
        }
        return static_cast<int64_t>(written);
    }

    bool SeekToFrame(uint64_t frame) override {
        frame_ = std::min(frame, v_.format.lengthFrames);
        rowCursor_ = rowFrames_ = 0;  // the next read loads the row from its checkpoint
        return true;
    }

private:
    bool LoadRow(uint64_t row) {
        if (row >= v_.rows || (row + 1) * v_.format.channels > checkpoints_.size()) return false;
        std::vector<History> history(checkpoints_.begin() + row * v_.format.channels,
                                     checkpoints_.begin() + (row + 1) * v_.format.channels);
        return DecodeRow(row, history.data(), &rowFrames_) && rowFrames_ > 0;
    }

    // Decodes one row into row_; stops at the first end block of any channel.
    bool DecodeRow(uint64_t row, History* history, size_t* frames) {
        const int channels = v_.format.channels;
        const size_t perChannel = RowBytesPerChannel(v_, row);
        raw_.resize(perChannel * channels);
        if (!reader_->Seek(v_.dataOffset + row * kInterleaveBytes * channels) ||
            !ReadExact(*reader_, raw_.data(), raw_.size()))
            return false;
        size_t blocks = perChannel / kBlockBytes;
        for (int c = 0; c < channels; ++c)
            for (size_t b = 0; b < blocks; ++b)
                if (raw_[c * perChannel + b * kBlockBytes + 1] == kEndFlags) blocks = b;
        row_.resize(blocks * kFramesPerBlock * channels);
        for (int c = 0; c < channels; ++c)
            for (size_t b = 0; b < blocks; ++b)
                DecodeBlock(&raw_[c * perChannel + b * kBlockBytes], history[c],
                            row_.data() + b * kFramesPerBlock * channels + c, channels);
        *frames = blocks * kFramesPerBlock;
        return true;
    }

    std::unique_ptr<Reader> reader_;
    VagLayout v_;
    std::vector<History> checkpoints_;  // per row, per channel: the history before the row
    std::vector<uint8_t> raw_;
    std::vector<float> row_;
    size_t rowFrames_ = 0;
    size_t rowCursor_ = 0;
    uint64_t frame_ = 0;
};

}  // namespace

int ProbeVag(const uint8_t* head, size_t size) {
    return size >= 4 && std::memcmp(head, "VAGp", 4) == 0 ? 100 : 0;
}

FMOD_RESULT OpenVag(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out) {
    uint8_t h[kHeaderBytes];
    if (!reader->CanSeek() || !reader->Seek(0) || !ReadExact(*reader, h, sizeof h) || !ProbeVag(h, sizeof h))
        return FMOD_ERR_FORMAT;
    VagLayout v;
    v.format.channels = h[0x1E] == 2 ? 2 : 1;
    v.format.sampleRate = Be32(h + 0x10);
    if (!PlausibleLayout(v.format.channels, v.format.sampleRate)) return FMOD_ERR_FORMAT;
    const int64_t size = reader->Size();
    const uint64_t available = size > static_cast<int64_t>(kHeaderBytes) ? size - kHeaderBytes : 0;
    // A size that claims more than the file holds gives a shorter sound.
    const uint64_t declared = std::min<uint64_t>(Be32(h + 0x0C), available);
    const uint64_t rowSpan = kInterleaveBytes * v.format.channels;
    const uint64_t tailBlocks = declared % rowSpan / v.format.channels / kBlockBytes;
    v.dataBytes = declared / rowSpan * rowSpan + tailBlocks * kBlockBytes * v.format.channels;
    if (v.dataBytes == 0) return FMOD_ERR_FORMAT;
    v.rows = (v.dataBytes + rowSpan - 1) / rowSpan;
    v.dataOffset = kHeaderBytes;
    v.format.type = FMOD_SOUND_TYPE_VAG;
    v.format.format = FMOD_SOUND_FORMAT_PCM16;
    v.format.bitsPerSample = 16;
    v.format.rawBytes = v.dataBytes;

    auto decoder = std::make_unique<VagDecoder>(std::move(reader), v);
    const FMOD_RESULT r = decoder->Scan();
    if (r != FMOD_OK) {
        reader = decoder->Release();
        return r;
    }
    const std::string name(TrimFixedField({reinterpret_cast<const char*>(h + 0x20), 16}));
    if (!name.empty()) tags.Add(FMOD_TAGTYPE_FMOD, "TITLE", AnyTextToUtf8(name));
    out.format = decoder->Format();
    out.decoder = std::move(decoder);
    return FMOD_OK;
}

}  // namespace engine
