#include "formats/pcm_decoder.h"

namespace engine {
namespace {

class PcmDecoder : public Decoder {
public:
    PcmDecoder(std::unique_ptr<Reader> reader, const PcmBlock& block) : reader_(std::move(reader)), block_(block) {
        positioned_ = reader_->Seek(block_.dataOffset);
    }

    const StreamFormat& Format() const override { return block_.format; }

    int64_t ReadFrames(float* out, size_t maxFrames) override {
        if (!positioned_) return -1;
        uint64_t left = block_.format.lengthFrames - frame_;
        size_t frames = maxFrames < left ? maxFrames : static_cast<size_t>(left);
        if (frames == 0) return 0;
        size_t bytes = frames * static_cast<size_t>(block_.blockAlign);
        if (raw_.size() < bytes) raw_.resize(bytes);
        int64_t got = reader_->Read(raw_.data(), bytes);
        if (got < 0) return -1;
        frames = static_cast<size_t>(got) / block_.blockAlign;
        if (frames == 0) {
            // The file ended early after all (it was cut while we played it).
            block_.format.lengthFrames = frame_;
            return 0;
        }
        PcmToFloat(raw_.data(), out, frames * block_.format.channels, block_.layout);
        frame_ += frames;
        size_t partial = static_cast<size_t>(got) % block_.blockAlign;
        if (partial != 0) positioned_ = reader_->Seek(block_.dataOffset + frame_ * block_.blockAlign);
        return static_cast<int64_t>(frames);
    }

    bool SeekToFrame(uint64_t frame) override {
        if (frame > block_.format.lengthFrames) frame = block_.format.lengthFrames;
        positioned_ = reader_->Seek(block_.dataOffset + frame * block_.blockAlign);
        frame_ = frame;
        return positioned_;
    }

private:
    std::unique_ptr<Reader> reader_;
    PcmBlock block_;
    uint64_t frame_ = 0;
    bool positioned_ = false;
    std::vector<uint8_t> raw_;
};

}  // namespace

std::unique_ptr<Decoder> MakePcmDecoder(std::unique_ptr<Reader> reader, const PcmBlock& block) {
    return std::make_unique<PcmDecoder>(std::move(reader), block);
}

}  // namespace engine
