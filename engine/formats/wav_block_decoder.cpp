#include "formats/wav_block_decoder.h"

#include <algorithm>
#include <vector>

namespace engine {
namespace {

class WavBlockDecoder : public Decoder {
public:
    WavBlockDecoder(std::unique_ptr<Reader> reader, const WavBlockStream& stream)
        : reader_(std::move(reader)), stream_(stream),
          raw_(static_cast<size_t>(stream.codec.blockAlign)),
          samples_(static_cast<size_t>(stream.codec.framesPerBlock) * stream.codec.channels) {
        positioned_ = reader_->Seek(stream_.dataOffset);
    }

    const StreamFormat& Format() const override { return stream_.format; }

    int64_t ReadFrames(float* out, size_t maxFrames) override {
        if (!positioned_) return -1;
        const int channels = stream_.codec.channels;
        size_t written = 0;
        while (written < maxFrames && frame_ < stream_.format.lengthFrames) {
            if (used_ == inBlock_) {
                const int r = NextBlock();
                if (r < 0) return written > 0 ? static_cast<int64_t>(written) : -1;
                if (r == 0) break;
                continue;
            }
            const size_t n = static_cast<size_t>(std::min<uint64_t>(
                {static_cast<uint64_t>(inBlock_ - used_), maxFrames - written, stream_.format.lengthFrames - frame_}));
            const int16_t* from = samples_.data() + static_cast<size_t>(used_) * channels;
            float* to = out + written * channels;
            for (size_t i = 0; i < n * channels; ++i) to[i] = from[i] / 32768.0f;
            used_ += static_cast<int>(n);
            written += n;
            frame_ += n;
        }
        return static_cast<int64_t>(written);
    }

    bool SeekToFrame(uint64_t frame) override {
        frame = std::min(frame, stream_.format.lengthFrames);
        const uint64_t block = frame / stream_.codec.framesPerBlock;
        positioned_ = reader_->Seek(stream_.dataOffset + block * stream_.codec.blockAlign);
        frame_ = frame;
        inBlock_ = used_ = 0;
        skip_ = static_cast<int>(frame % stream_.codec.framesPerBlock);
        return positioned_;
    }

private:
    // 1: a block is ready, 0: the data ended, -1: a read error.
    int NextBlock() {
        size_t got = 0;
        while (got < raw_.size()) {
            const int64_t n = reader_->Read(raw_.data() + got, raw_.size() - got);
            if (n < 0) return -1;
            if (n == 0) break;
            got += static_cast<size_t>(n);
        }
        const int frames = FramesInBlock(stream_.codec, got);
        if (frames <= skip_) {
            // The file is shorter than its header said (or was cut while we played it).
            stream_.format.lengthFrames = frame_;
            return 0;
        }
        DecodeWavBlock(stream_.codec, raw_.data(), got, samples_.data());
        inBlock_ = frames;
        used_ = skip_;
        skip_ = 0;
        return 1;
    }

    std::unique_ptr<Reader> reader_;
    WavBlockStream stream_;
    std::vector<uint8_t> raw_;
    std::vector<int16_t> samples_;
    bool positioned_ = false;
    uint64_t frame_ = 0;  // of the next frame handed out
    int inBlock_ = 0;     // frames decoded in samples_
    int used_ = 0;        // of those, already handed out
    int skip_ = 0;        // frames to drop from the next block (after a seek)
};

}  // namespace

std::unique_ptr<Decoder> MakeWavBlockDecoder(std::unique_ptr<Reader> reader, const WavBlockStream& stream) {
    return std::make_unique<WavBlockDecoder>(std::move(reader), stream);
}

}  // namespace engine
