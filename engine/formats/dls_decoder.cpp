// A DLS bank opened on its own: its waves one after another, each at its own rate brought
// to ours, with a short pause between them.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "formats/compressed_formats.h"
#include "formats/format_open.h"
#include "formats/sound_banks.h"
#include "midi/bank.h"

namespace engine {
namespace {

constexpr uint32_t kAuditionRate = 44100;
constexpr uint32_t kPauseFrames = kAuditionRate / 5;
constexpr uint64_t kMaxDlsBytes = 512ull << 20;

class DlsAudition : public Decoder {
public:
    DlsAudition(std::unique_ptr<midi::Bank> bank, const StreamFormat& format)
        : bank_(std::move(bank)), format_(format) {
        uint64_t at = 0;
        for (const midi::Wave& w : bank_->waves) {
            starts_.push_back(at);
            at += FramesOf(w) + kPauseFrames;
        }
        format_.lengthFrames = at;
    }
    const StreamFormat& Format() const override { return format_; }

    int64_t ReadFrames(float* out, size_t maxFrames) override {
        size_t written = 0;
        while (written < maxFrames && position_ < format_.lengthFrames) {
            // The wave the position falls in, and how far into it (or into the pause after it).
            const auto after = std::upper_bound(starts_.begin(), starts_.end(), position_);
            const size_t index = size_t(after - starts_.begin()) - 1;
            const midi::Wave& w = bank_->waves[index];
            const uint64_t into = position_ - starts_[index];
            const uint64_t waveFrames = FramesOf(w);
            const uint64_t partEnd = into < waveFrames ? waveFrames : waveFrames + kPauseFrames;
            const size_t n = size_t(std::min<uint64_t>(maxFrames - written, partEnd - into));
            for (size_t i = 0; i < n; ++i) {
                float s = 0;
                if (into + i < waveFrames) {
                    const double at = double(into + i) * w.sampleRate / kAuditionRate;
                    const size_t a = size_t(at);
                    const float f = float(at - double(a));
                    const float* p = bank_->pcm.data() + w.start;
                    s = p[a] + f * ((a + 1 < w.length ? p[a + 1] : 0.0f) - p[a]);
                }
                out[2 * (written + i)] = out[2 * (written + i) + 1] = s;
            }
            written += n;
            position_ += n;
        }
        return static_cast<int64_t>(written);
    }

    bool SeekToFrame(uint64_t frame) override {
        if (frame > format_.lengthFrames) return false;
        position_ = frame;
        return true;
    }

private:
    static uint64_t FramesOf(const midi::Wave& w) { return uint64_t(w.length) * kAuditionRate / w.sampleRate; }

    std::unique_ptr<midi::Bank> bank_;
    StreamFormat format_;
    std::vector<uint64_t> starts_;
    uint64_t position_ = 0;
};

}  // namespace

int ProbeDls(const uint8_t* head, size_t size) {
    return size >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "DLS ", 4) == 0 ? 100 : 0;
}

FMOD_RESULT OpenDls(std::unique_ptr<Reader>& reader, TagList&, OpenedSound& out) {
    std::vector<uint8_t> bytes;
    if (!ReadWhole(*reader, kMaxDlsBytes, bytes)) return FMOD_ERR_FORMAT;
    auto bank = std::make_unique<midi::Bank>();
    if (midi::ReadDls(bytes.data(), bytes.size(), *bank) != midi::BankResult::Ok || bank->waves.empty())
        return FMOD_ERR_FORMAT;
    StreamFormat format;
    format.type = FMOD_SOUND_TYPE_DLS;
    format.format = FMOD_SOUND_FORMAT_PCMFLOAT;
    format.channels = 2;
    format.bitsPerSample = 32;
    format.sampleRate = kAuditionRate;
    format.rawBytes = bytes.size();
    auto decoder = std::make_unique<DlsAudition>(std::move(bank), format);
    out.format = decoder->Format();
    out.decoder = std::move(decoder);
    reader.reset();
    return FMOD_OK;
}

}  // namespace engine
