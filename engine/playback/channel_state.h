#pragma once
// One playing channel as the mixer sees it. Every field is guarded by the
// audio lock (mixer.h). All buffers are sized when the channel is made, on the
// API thread, so mixing never allocates.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "playback/resampler.h"
#include "playback/stream_job.h"

namespace engine {

// Where a stretch of source frames went in the output: lets the API map the
// output's played position back to the source frame that is audible now.
struct PlayMark {
    uint64_t outputFrame = 0;
    uint64_t sourceFrame = 0;
};

constexpr size_t kPlayMarks = 256;
constexpr uint64_t kWaveHistoryFrames = 32768;

struct ChannelState {
    std::shared_ptr<StreamJob> job;
    uint64_t playId = 0;
    bool paused = true;
    float volume = 1.0f;
    int priority = 128;
    bool loops = false;  // opened with FMOD_LOOP_NORMAL
    uint32_t outputRate = 0;  // the output format the state was built for
    int outputChannels = 0;

    uint64_t consumedFrame = 0;  // source frames taken from the ring
    bool drained = false;        // the stream ended and the ring is empty

    // When the source rate differs from the output rate (no filter otherwise).
    Resampler resampler;
    std::vector<float> resampled;  // a block of converted frames on their way out

    std::vector<float> gains;  // sourceChannels x outputChannels, volume excluded

    std::array<PlayMark, kPlayMarks> marks{};
    size_t markCount = 0;  // valid marks, oldest first ending at markHead
    size_t markHead = 0;   // index after the newest

    std::vector<float> history;  // kWaveHistoryFrames * sourceChannels, after volume
    uint64_t historyStart = 0;   // first source frame with a valid history sample
};

// Builds the rate converter's filter when the rates differ (the output format stays
// the channel's for its life; a new output format needs a new state).
std::unique_ptr<ChannelState> MakeChannelState(std::shared_ptr<StreamJob> job, int outputChannels,
                                               uint32_t outputRate);
// Makes `to` (built for another output format) go on where `from` is: play number,
// volume and flags, from the next frame in the ring. Allocates nothing.
void CarryOverChannel(const ChannelState& from, ChannelState& to);
// Mixes up to `frames` output frames into out (added), starting at output frame `outputStart`.
void MixChannel(ChannelState& ch, float* out, uint32_t frames, int outputChannels, uint64_t outputStart);
// The source frame audible when the output has played `playedFrames` frames.
// Frames count on across loops; PositionInTrack folds them back into the track.
uint64_t AudibleFrame(const ChannelState& ch, uint64_t playedFrames);
uint64_t PositionInTrack(uint64_t frame, uint64_t lengthFrames);
bool ChannelEnded(const ChannelState& ch, uint64_t playedFrames);
// Moves the channel and its stream to `frame` (clamped to the length).
void SeekChannel(ChannelState& ch, uint64_t frame);
// The count source samples of one source channel ending at `endFrame`; false
// when nothing has been played there yet.
bool ReadWaveHistory(const ChannelState& ch, uint64_t endFrame, int sourceChannel, float* out, int count);
// Gains for mapping source channels onto the output's.
void FillChannelGains(std::vector<float>& gains, int sourceChannels, int outputChannels);

}  // namespace engine
