#pragma once
// Where a voice reads in its sample: a 32.32 fixed-point position that moves through the
// sample and its loops. Fixed point keeps every step exact however long a loop plays;
// the voice keeps a double, converted on the way in and out of each mix call.
//
// Ping-pong loops turn on frames: reading forward, on the frame just past the loop (its
// data read as it is, or the last loop frame's when the sample ends there) or, for IT, half
// a frame sooner; reading backwards, on the loop's first frame. Interpolation taps past a turn read the
// mirrored data and taps past a forward loop's end read the loop's start (and, once the loop
// has played, taps before its start read its end), so loops join without clicks; taps
// before the sample or past an unlooped end read silence.
#include <cstddef>
#include <cstdint>

#include "voice_mixer.h"

namespace tracker {

constexpr int64_t kFixedOne = int64_t(1) << 32;

struct SampleView {
    const float* pcm = nullptr;
    int channels = 1;
    int64_t frames = 0;      // frames the data really holds
    LoopType loopType = LoopType::None;
    int64_t loopStart = 0;   // frames
    int64_t loopEnd = 0;
    bool itPingPong = false;  // ping-pong: IT's turn, half a frame sooner
};

struct SampleCursor {
    int64_t position = 0;    // 32.32 frames
    int64_t increment = 0;   // 32.32 frames per output frame, >= 0
    bool backwards = false;
    bool looped = false;     // the loop wrapped or turned: taps before its start wrap too
};

// The sample as the voice plays it now: the sustain loop while it is held, else the loop;
// damaged loops are treated as none.
SampleView ViewOfVoice(const Voice& voice);
SampleCursor CursorOfVoice(const Voice& voice, const SampleView& view);
void StoreCursor(const SampleCursor& cursor, Voice& voice);

// Brings a position that went past a loop end or turn back into the loop. False when it is
// past the end of an unlooped sample: the voice has ended.
bool WrapIntoSample(SampleCursor& cursor, const SampleView& view);

// Output frames, at most `limit`, before the position passes the next loop end or turn
// (or the sample's end); at least 1 after WrapIntoSample.
size_t FramesBeforeEdge(const SampleCursor& cursor, const SampleView& view, size_t limit);

// Index of the frame that tap `index` reads (loops and turns applied), or -1 for silence.
int64_t TapFrame(const SampleView& view, int64_t index, const SampleCursor& cursor);

}  // namespace tracker
