#include "voice_mixer.h"

#include <algorithm>

#include "interpolation.h"
#include "resonant_filter.h"
#include "sample_cursor.h"
#include "sinc_table.h"

namespace tracker {
namespace {

// Frames interpolated at a time into a stack buffer, then filtered and mixed.
constexpr size_t kChunkFrames = 256;
struct Planar {
    float* channel[2];
};

// Frames from `done` on whose taps all lie in the data as stored (no loop, turn or edge
// among them), at most `limit`.
template <class Kernel>
size_t DirectFrames(const SampleCursor& cursor, const SampleView& view, size_t limit) {
    const int64_t low = cursor.backwards || cursor.looped ? view.loopStart : 0;
    const int64_t high = view.loopType == LoopType::None ? view.frames : view.loopEnd;
    const int64_t first = cursor.position >> 32;
    if (first - Kernel::Before < low || first - Kernel::Before + Kernel::Taps > high) return 0;
    if (cursor.increment == 0) return limit;
    uint64_t frames;
    if (cursor.backwards) {
        const int64_t lowest = (low + Kernel::Before) * kFixedOne;
        frames = uint64_t(cursor.position - lowest) / uint64_t(cursor.increment) + 1;
    } else {
        const int64_t beyond = (high - Kernel::Taps + Kernel::Before + 1) * kFixedOne;
        frames = uint64_t(beyond - 1 - cursor.position) / uint64_t(cursor.increment) + 1;
    }
    return frames < limit ? size_t(frames) : limit;
}

template <class Kernel, int Channels>
void ReadDirect(SampleCursor& cursor, const SampleView& view, const float* table, Planar out,
                size_t begin, size_t count) {
    const int64_t step = cursor.backwards ? -cursor.increment : cursor.increment;
    int64_t position = cursor.position;
    const float* base = view.pcm - Kernel::Before * Channels;
    for (size_t i = begin; i < begin + count; ++i) {
        const float* taps = base + (position >> 32) * Channels;
        out.channel[0][i] = Kernel::Read(taps, Channels, position, table);
        if constexpr (Channels == 2) out.channel[1][i] = Kernel::Read(taps + 1, Channels, position, table);
        position += step;
    }
    cursor.position = position;
}

// One frame whose taps cross a loop point or an edge: gathered one by one.
template <class Kernel>
void ReadGathered(SampleCursor& cursor, const SampleView& view, const float* table, Planar out, size_t at) {
    const int64_t first = (cursor.position >> 32) - Kernel::Before;
    for (int channel = 0; channel < view.channels; ++channel) {
        float taps[Kernel::Taps];
        for (int k = 0; k < Kernel::Taps; ++k) {
            const int64_t frame = TapFrame(view, first + k, cursor);
            taps[k] = frame < 0 ? 0.0f : view.pcm[frame * view.channels + channel];
        }
        out.channel[channel][at] = Kernel::Read(taps, 1, cursor.position, table);
    }
    cursor.position += cursor.backwards ? -cursor.increment : cursor.increment;
}

// Interpolates up to `count` frames; fewer when an unlooped sample ends.
template <class Kernel>
size_t Interpolate(SampleCursor& cursor, const SampleView& view, const float* table, Planar out, size_t count) {
    size_t done = 0;
    while (done < count) {
        if (!WrapIntoSample(cursor, view)) break;
        const size_t run = FramesBeforeEdge(cursor, view, count - done);
        const size_t runEnd = done + run;
        while (done < runEnd) {
            const size_t direct = DirectFrames<Kernel>(cursor, view, runEnd - done);
            if (direct == 0) {
                ReadGathered<Kernel>(cursor, view, table, out, done++);
            } else if (view.channels == 2) {
                ReadDirect<Kernel, 2>(cursor, view, table, out, done, direct);
                done += direct;
            } else {
                ReadDirect<Kernel, 1>(cursor, view, table, out, done, direct);
                done += direct;
            }
        }
    }
    return done;
}

size_t InterpolateWith(Interpolation interpolation, SampleCursor& cursor, const SampleView& view,
                       double increment, Planar out, size_t count) {
    switch (interpolation) {
    case Interpolation::Nearest: return Interpolate<NearestKernel>(cursor, view, nullptr, out, count);
    case Interpolation::Linear: return Interpolate<LinearKernel>(cursor, view, nullptr, out, count);
    case Interpolation::Cubic: return Interpolate<CubicKernel>(cursor, view, CubicWeights(), out, count);
    case Interpolation::Sinc8:
        return Interpolate<SincKernel>(cursor, view, SincTableForIncrement(increment), out, count);
    }
    return 0;
}

// Adds the chunk into the output with the gains, ramping first while a ramp is pending.
void AddWithGains(Voice& voice, Planar in, int channels, float* stereo, size_t frames) {
    const float* left = in.channel[0];
    const float* right = in.channel[channels - 1];
    size_t i = 0;
    if (voice.rampFrames > 0) {
        const size_t ramp = std::min<size_t>(frames, size_t(voice.rampFrames));
        const float stepLeft = (voice.targetLeft - voice.left) / float(voice.rampFrames);
        const float stepRight = (voice.targetRight - voice.right) / float(voice.rampFrames);
        float gainLeft = voice.left, gainRight = voice.right;
        for (; i < ramp; ++i) {
            gainLeft += stepLeft;
            gainRight += stepRight;
            stereo[2 * i] += left[i] * gainLeft;
            stereo[2 * i + 1] += right[i] * gainRight;
        }
        voice.rampFrames -= int(ramp);
        voice.left = voice.rampFrames == 0 ? voice.targetLeft : gainLeft;
        voice.right = voice.rampFrames == 0 ? voice.targetRight : gainRight;
    }
    const float gainLeft = voice.left, gainRight = voice.right;
    for (; i < frames; ++i) {
        stereo[2 * i] += left[i] * gainLeft;
        stereo[2 * i + 1] += right[i] * gainRight;
    }
}

bool Silent(const Voice& voice) {
    return voice.left == 0 && voice.right == 0 && voice.targetLeft == 0 && voice.targetRight == 0;
}

// A stop ramps to zero; without a ramp it is immediate. True while the voice still sounds.
bool PrepareStop(Voice& voice) {
    if (!voice.fadingOutToStop) return true;
    voice.targetLeft = voice.targetRight = 0;
    if (voice.rampFrames > 0) return true;
    voice.left = voice.right = 0;
    voice.active = false;
    return false;
}

void AdvanceRamp(Voice& voice, size_t frames) {
    if (voice.rampFrames <= 0) return;
    if (frames >= size_t(voice.rampFrames)) {
        voice.rampFrames = 0;
        voice.left = voice.targetLeft;
        voice.right = voice.targetRight;
        return;
    }
    const float done = float(frames) / float(voice.rampFrames);
    voice.left += (voice.targetLeft - voice.left) * done;
    voice.right += (voice.targetRight - voice.right) * done;
    voice.rampFrames -= int(frames);
}

}  // namespace

// Measured on libopenmpt's rendering of a constant sample: 17 frames from silence to full
// at a note start, 46 frames from full to silence at a volume of 0, at 48 kHz.
int DefaultRampFrames(uint32_t outputRate) {
    return std::max(1, int((uint64_t(outputRate) * 95 + 50000) / 100000));
}

int AttackRampFrames(uint32_t outputRate) {
    return std::max(1, int((uint64_t(outputRate) * 36 + 50000) / 100000));
}

void SkipVoice(Voice& voice, size_t frames) {
    if (!voice.active || !voice.sample || frames == 0) return;
    if (!PrepareStop(voice)) return;
    const SampleView view = ViewOfVoice(voice);
    SampleCursor cursor = CursorOfVoice(voice, view);
    const bool stops = voice.fadingOutToStop && frames >= size_t(voice.rampFrames);
    AdvanceRamp(voice, frames);
    // Wrapping folds any distance into the loop at once; an unlooped end simply ends. Steps
    // of 2^20 frames keep the distance within 64 bits at any increment.
    bool playing = true;
    while (frames > 0 && playing) {
        const size_t step = std::min<size_t>(frames, size_t(1) << 20);
        const int64_t distance = int64_t(step) * cursor.increment;
        cursor.position += cursor.backwards ? -distance : distance;
        playing = WrapIntoSample(cursor, view);
        frames -= step;
    }
    if (!playing || stops) voice.active = false;
    StoreCursor(cursor, voice);
}

void MixVoice(Voice& voice, Interpolation interpolation, float* stereo, size_t frames) {
    if (!voice.active || !voice.sample) return;
    if (!PrepareStop(voice)) return;
    if (Silent(voice)) {
        SkipVoice(voice, frames);
        return;
    }
    const SampleView view = ViewOfVoice(voice);
    SampleCursor cursor = CursorOfVoice(voice, view);
    float buffer[2][kChunkFrames];
    const Planar chunk = {{buffer[0], buffer[1]}};
    while (frames > 0) {
        size_t count = std::min(frames, kChunkFrames);
        if (voice.fadingOutToStop) count = std::min(count, size_t(voice.rampFrames));
        const size_t made = InterpolateWith(interpolation, cursor, view, voice.increment, chunk, count);
        if (voice.filter.enabled) ApplyResonantFilter(voice.filter, chunk.channel, view.channels, made);
        AddWithGains(voice, chunk, view.channels, stereo, made);
        stereo += 2 * made;
        frames -= made;
        if (made < count || (voice.fadingOutToStop && voice.rampFrames == 0)) {
            voice.active = false;
            break;
        }
    }
    // The last step may have passed a loop end: the voice keeps a position inside.
    if (!WrapIntoSample(cursor, view)) voice.active = false;
    StoreCursor(cursor, voice);
}

}  // namespace tracker
