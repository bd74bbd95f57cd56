#include "formats/time_units.h"

namespace engine {
namespace {

uint64_t BytesPerFrame(const StreamFormat& f) {
    return static_cast<uint64_t>(f.channels) * ((f.bitsPerSample + 7) / 8);
}

}  // namespace

uint64_t FramesToMs(uint64_t frames, uint32_t rate) {
    if (rate == 0) return 0;
    return frames / rate * 1000 + frames % rate * 1000 / rate;
}

uint64_t MsToFrames(uint64_t ms, uint32_t rate) {
    uint64_t whole = ms / 1000 * rate;
    uint64_t part = ms % 1000 * rate;
    return whole + (part + 999) / 1000;
}

bool FramesToUnit(uint64_t frames, FMOD_TIMEUNIT unit, const StreamFormat& f, uint64_t* value) {
    switch (unit) {
    case FMOD_TIMEUNIT_MS: *value = FramesToMs(frames, f.sampleRate); return true;
    case FMOD_TIMEUNIT_PCM: *value = frames; return true;
    case FMOD_TIMEUNIT_PCMBYTES: *value = frames * BytesPerFrame(f); return true;
    case FMOD_TIMEUNIT_RAWBYTES:
        // Compressed formats: proportional to the encoded size.
        if (f.lengthFrames == 0) { *value = 0; return true; }
        if (f.rawBytes % f.lengthFrames == 0) { *value = frames * (f.rawBytes / f.lengthFrames); return true; }
        *value = static_cast<uint64_t>(static_cast<double>(frames) / f.lengthFrames * f.rawBytes);
        return true;
    default: return false;
    }
}

bool UnitToFrames(uint64_t value, FMOD_TIMEUNIT unit, const StreamFormat& f, uint64_t* frames) {
    switch (unit) {
    case FMOD_TIMEUNIT_MS: *frames = MsToFrames(value, f.sampleRate); return true;
    case FMOD_TIMEUNIT_PCM: *frames = value; return true;
    case FMOD_TIMEUNIT_PCMBYTES: {
        uint64_t bpf = BytesPerFrame(f);
        if (bpf == 0) return false;
        *frames = value / bpf;
        return true;
    }
    case FMOD_TIMEUNIT_RAWBYTES:
        if (f.rawBytes == 0 || f.lengthFrames == 0) return false;
        if (f.rawBytes % f.lengthFrames == 0) { *frames = value / (f.rawBytes / f.lengthFrames); return true; }
        *frames = static_cast<uint64_t>(static_cast<double>(value) / f.rawBytes * f.lengthFrames);
        return true;
    default: return false;
    }
}

unsigned int Saturate32(uint64_t value) {
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<unsigned int>(value);
}

}  // namespace engine
