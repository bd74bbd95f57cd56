#pragma once
// Conversions between source frames and the API's time units: what positions, lengths
// and stream buffer sizes are measured in.
#include <cstdint>

#include "fmodex.h"
#include "formats/decoder.h"

namespace engine {

// Whole milliseconds that have passed after `frames` frames (rounded down).
uint64_t FramesToMs(uint64_t frames, uint32_t sampleRate);
// The first frame at or after `ms`, so that FramesToMs(MsToFrames(ms)) == ms.
uint64_t MsToFrames(uint64_t ms, uint32_t sampleRate);

// A frame count in a time unit; false for units this format cannot express.
bool FramesToUnit(uint64_t frames, FMOD_TIMEUNIT unit, const StreamFormat& format, uint64_t* value);
// A value in a time unit as a frame count (not clamped to the length).
bool UnitToFrames(uint64_t value, FMOD_TIMEUNIT unit, const StreamFormat& format, uint64_t* frames);
// The API's unsigned int results saturate instead of wrapping.
unsigned int Saturate32(uint64_t value);

}  // namespace engine
