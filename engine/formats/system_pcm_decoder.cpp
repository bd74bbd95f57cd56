#include "formats/system_pcm_decoder.h"

#include <algorithm>
#include <cstring>

namespace engine {

uint64_t HundredNsToFrames(uint64_t time, uint32_t rate) {
    return time / kHundredNsPerSecond * rate + time % kHundredNsPerSecond * rate / kHundredNsPerSecond;
}

uint64_t FramesToHundredNs(uint64_t frames, uint32_t rate) {
    return frames / rate * kHundredNsPerSecond + frames % rate * kHundredNsPerSecond / rate;
}

int64_t SystemPcmDecoder::ReadFrames(float* out, size_t maxFrames) {
    const int channels = format_.channels;
    size_t written = 0;
    while (written < maxFrames && (format_.lengthFrames == 0 || frame_ < format_.lengthFrames)) {
        if (pendingAt_ == pending_.size()) {
            const int r = NextBlock();
            if (r < 0) return written > 0 ? static_cast<int64_t>(written) : -1;
            if (r > 0) continue;
            if (format_.lengthFrames > frame_) format_.lengthFrames = frame_;  // shorter than announced
            break;
        }
        size_t n = std::min(maxFrames - written, (pending_.size() - pendingAt_) / channels);
        if (format_.lengthFrames) n = static_cast<size_t>(std::min<uint64_t>(n, format_.lengthFrames - frame_));
        for (size_t i = 0; i < n * channels; ++i) out[written * channels + i] = pending_[pendingAt_ + i] / 32768.0f;
        pendingAt_ += n * channels;
        written += n;
        frame_ += n;
    }
    return static_cast<int64_t>(written);
}

bool SystemPcmDecoder::SeekToFrame(uint64_t frame) {
    if (format_.lengthFrames) frame = std::min(frame, format_.lengthFrames);
    if (!SeekToTime(FramesToHundredNs(frame, format_.sampleRate))) return false;
    pending_.clear();
    pendingAt_ = 0;
    frame_ = seekTarget_ = frame;
    trimAfterSeek_ = true;
    return true;
}

void SystemPcmDecoder::TakeBlock(const uint8_t* data, size_t bytes, uint64_t time) {
    const size_t channels = static_cast<size_t>(format_.channels);
    pending_.resize(bytes / 2 / channels * channels);
    std::memcpy(pending_.data(), data, pending_.size() * 2);
    pendingAt_ = 0;
    if (!trimAfterSeek_) return;
    const uint64_t first = HundredNsToFrames(time, format_.sampleRate);
    if (seekTarget_ >= first + pending_.size() / channels) {
        pendingAt_ = pending_.size();  // wholly before the target
        return;
    }
    if (seekTarget_ > first) pendingAt_ = static_cast<size_t>(seekTarget_ - first) * channels;
    trimAfterSeek_ = false;
}

}  // namespace engine
