#include "playback/channel_state.h"

#include <algorithm>

namespace engine {
namespace {

constexpr uint32_t kResampledBlock = 256;  // frames converted at a time

void PushMark(ChannelState& ch, uint64_t outputFrame, uint64_t sourceFrame) {
    if (ch.markCount > 0) {
        const PlayMark& last = ch.marks[(ch.markHead + kPlayMarks - 1) % kPlayMarks];
        if (last.outputFrame == outputFrame && last.sourceFrame == sourceFrame) return;
    }
    ch.marks[ch.markHead] = {outputFrame, sourceFrame};
    ch.markHead = (ch.markHead + 1) % kPlayMarks;
    if (ch.markCount < kPlayMarks) ++ch.markCount;
}

const PlayMark& MarkAt(const ChannelState& ch, size_t fromOldest) {
    return ch.marks[(ch.markHead + kPlayMarks - ch.markCount + fromOldest) % kPlayMarks];
}

// Applies volume, keeps the frame for the wave data, adds it to the output frame.
void EmitFrame(ChannelState& ch, const float* frame, uint64_t sourceFrame, float* out, int srcCh, int outCh,
               bool keepHistory) {
    const float volume = ch.volume > 0.0f ? ch.volume : 0.0f;
    float* history = &ch.history[(sourceFrame % kWaveHistoryFrames) * srcCh];
    for (int s = 0; s < srcCh; ++s) {
        const float sample = frame[s] * volume;
        if (keepHistory) history[s] = sample;
        const float* g = &ch.gains[static_cast<size_t>(s) * outCh];
        for (int o = 0; o < outCh; ++o) out[o] += sample * g[o];
    }
}

uint32_t MixDirect(ChannelState& ch, float* out, uint32_t frames, int outCh) {
    StreamRing& ring = ch.job->ring;
    const int srcCh = ring.channels;
    uint32_t produced = 0;
    while (produced < frames) {
        uint64_t run;
        const float* src = RingPeek(ring, &run);
        if (run == 0) break;
        run = std::min<uint64_t>(run, frames - produced);
        for (uint64_t i = 0; i < run; ++i)
            EmitFrame(ch, src + i * srcCh, ch.consumedFrame + i, out + (produced + i) * outCh, srcCh, outCh, true);
        ring.readFrame += run;
        ch.consumedFrame += run;
        produced += static_cast<uint32_t>(run);
    }
    return produced;
}

// Keeps frames taken from the ring (after volume) for the wave data.
void KeepHistory(ChannelState& ch, const float* frames, size_t count) {
    const int srcCh = ch.job->ring.channels;
    const float volume = ch.volume > 0.0f ? ch.volume : 0.0f;
    for (size_t i = 0; i < count; ++i) {
        float* history = &ch.history[((ch.consumedFrame + i) % kWaveHistoryFrames) * srcCh];
        for (int s = 0; s < srcCh; ++s) history[s] = frames[i * srcCh + s] * volume;
    }
}

bool RingEnded(const StreamRing& ring) { return RingFill(ring) == 0 && ring.endOfStream && !ring.seekPending; }

// Converted frames out while the ring feeds the converter; at the end of the stream the
// converter plays out its last frames.
uint32_t MixResampled(ChannelState& ch, float* out, uint32_t frames, int outCh) {
    StreamRing& ring = ch.job->ring;
    Resampler& r = ch.resampler;
    const int srcCh = ring.channels;
    const size_t block = ch.resampled.size() / srcCh;
    uint32_t produced = 0;
    while (produced < frames) {
        const size_t got = ResamplerPull(r, ch.resampled.data(), std::min<size_t>(block, frames - produced));
        for (size_t i = 0; i < got; ++i)
            EmitFrame(ch, &ch.resampled[i * srcCh], 0, out + (produced + i) * outCh, srcCh, outCh, false);
        produced += static_cast<uint32_t>(got);
        if (got > 0) continue;
        uint64_t run;
        const float* src = RingPeek(ring, &run);
        if (run == 0) {
            if (r.finished || !RingEnded(ring)) break;
            FinishResampler(r);
            continue;
        }
        const size_t taken = ResamplerPush(r, src, run);
        KeepHistory(ch, src, taken);
        ring.readFrame += taken;
        ch.consumedFrame += taken;
    }
    return produced;
}

// The source frame that the output mixed so far has reached.
uint64_t MixedFrame(const ChannelState& ch) {
    if (!ch.resampler.filter) return ch.consumedFrame;
    return ch.consumedFrame - ch.resampler.inputFrames + ResamplerInputReached(ch.resampler);
}

}  // namespace

void FillChannelGains(std::vector<float>& gains, int src, int out) {
    gains.assign(static_cast<size_t>(src) * out, 0.0f);
    auto gain = [&](int s, int o) -> float& { return gains[static_cast<size_t>(s) * out + o]; };
    const float half = 0.7071f;
    if (src == out) {
        for (int c = 0; c < src; ++c) gain(c, c) = 1.0f;
    } else if (src == 1) {
        for (int o = 0; o < std::min(out, 2); ++o) gain(0, o) = 1.0f;
    } else if (out == 1) {
        for (int s = 0; s < src; ++s) gain(s, 0) = 1.0f / src;
    } else if (src < out) {
        for (int c = 0; c < src; ++c) gain(c, c) = 1.0f;
    } else if (out == 2) {
        // Down-mix in the usual order: L, R, centre, LFE, rear/side pairs.
        gain(0, 0) = 1.0f;
        gain(1, 1) = 1.0f;
        if (src > 2) gain(2, 0) = gain(2, 1) = half;
        for (int s = 4; s < src; ++s) gain(s, s % 2) = half;
    } else {
        for (int s = 0; s < src; ++s) gain(s, s % out) = 1.0f;
    }
}

std::unique_ptr<ChannelState> MakeChannelState(std::shared_ptr<StreamJob> job, int outputChannels,
                                               uint32_t outputRate) {
    auto ch = std::make_unique<ChannelState>();
    const int srcCh = job->format.channels;
    if (job->format.sampleRate != outputRate) {
        InitResampler(ch->resampler, MakeResampleFilter(job->format.sampleRate, outputRate), srcCh);
        ch->resampled.assign(static_cast<size_t>(kResampledBlock) * srcCh, 0.0f);
    }
    FillChannelGains(ch->gains, srcCh, outputChannels);
    ch->history.assign(kWaveHistoryFrames * srcCh, 0.0f);
    ch->job = std::move(job);
    ch->consumedFrame = ch->historyStart = ch->job->ring.readFrame;
    ch->outputRate = outputRate;
    ch->outputChannels = outputChannels;
    return ch;
}

void CarryOverChannel(const ChannelState& from, ChannelState& to) {
    to.playId = from.playId;
    to.paused = from.paused;
    to.volume = from.volume;
    to.priority = from.priority;
    to.loops = from.loops;
    to.drained = from.drained;
    to.consumedFrame = to.historyStart = to.job->ring.readFrame;
}

void MixChannel(ChannelState& ch, float* out, uint32_t frames, int outCh, uint64_t outputStart) {
    if (ch.drained) return;
    const bool resampled = ch.resampler.filter != nullptr;
    const uint64_t before = MixedFrame(ch);
    const uint32_t produced = resampled ? MixResampled(ch, out, frames, outCh) : MixDirect(ch, out, frames, outCh);
    if (produced > 0) {
        PushMark(ch, outputStart, before);
        PushMark(ch, outputStart + produced, MixedFrame(ch));
    }
    if (produced < frames && RingEnded(ch.job->ring) && (!resampled || ResamplerDrained(ch.resampler)))
        ch.drained = true;
}

uint64_t AudibleFrame(const ChannelState& ch, uint64_t played) {
    if (ch.markCount == 0) return MixedFrame(ch);
    const PlayMark& newest = MarkAt(ch, ch.markCount - 1);
    if (played >= newest.outputFrame) return MixedFrame(ch);
    const PlayMark& oldest = MarkAt(ch, 0);
    if (played <= oldest.outputFrame) return oldest.sourceFrame;
    for (size_t i = 1; i < ch.markCount; ++i) {
        const PlayMark& b = MarkAt(ch, i);
        if (played >= b.outputFrame) continue;
        const PlayMark& a = MarkAt(ch, i - 1);
        const uint64_t span = b.outputFrame - a.outputFrame;
        if (span == 0 || b.sourceFrame < a.sourceFrame) return b.sourceFrame;
        return a.sourceFrame + (played - a.outputFrame) * (b.sourceFrame - a.sourceFrame) / span;
    }
    return MixedFrame(ch);
}

uint64_t PositionInTrack(uint64_t frame, uint64_t length) {
    // The end of the last pass reads as the length, not as 0.
    return length > 0 && frame > length ? (frame - 1) % length + 1 : frame;
}

bool ChannelEnded(const ChannelState& ch, uint64_t played) {
    if (!ch.drained) return false;
    return ch.markCount == 0 || played >= MarkAt(ch, ch.markCount - 1).outputFrame;
}

void SeekChannel(ChannelState& ch, uint64_t frame) {
    const uint64_t length = ch.job->format.lengthFrames;
    if (length > 0 && frame > length) frame = length;
    RingRequestSeek(ch.job->ring, frame);
    ch.consumedFrame = ch.historyStart = frame;
    ch.drained = false;
    if (ch.resampler.filter) ResetResampler(ch.resampler);
    ch.markCount = 0;
}

bool ReadWaveHistory(const ChannelState& ch, uint64_t endFrame, int sourceChannel, float* out, int count) {
    const int srcCh = ch.job->ring.channels;
    uint64_t lowest = ch.historyStart;
    if (ch.consumedFrame > kWaveHistoryFrames) lowest = std::max(lowest, ch.consumedFrame - kWaveHistoryFrames);
    endFrame = std::min(endFrame, ch.consumedFrame);
    if (endFrame <= lowest) return false;
    for (int i = 0; i < count; ++i) {
        const int64_t f = static_cast<int64_t>(endFrame) - count + i;
        if (f < static_cast<int64_t>(lowest)) {
            out[i] = 0.0f;
            continue;
        }
        const float v = ch.history[(static_cast<uint64_t>(f) % kWaveHistoryFrames) * srcCh + sourceChannel];
        out[i] = std::clamp(v, -1.0f, 1.0f);
    }
    return true;
}

}  // namespace engine
