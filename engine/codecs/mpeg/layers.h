#pragma once
// What the frame loop in decoder.cpp calls for each layer. Each function decodes one
// whole frame (header included at `frame`) into interleaved floats and returns false when
// the frame breaks the format's rules; the PCM then holds silence or what could be saved.
#include <cstdint>

#include "layer3_state.h"
#include "mpeg.h"
#include "synthesis.h"

namespace mpeg {

bool DecodeLayer1(const FrameHeader& header, const uint8_t* frame, int frameBytes,
                  SynthesisState* synthesis, float* pcm);
bool DecodeLayer2(const FrameHeader& header, const uint8_t* frame, int frameBytes,
                  SynthesisState* synthesis, float* pcm);
bool DecodeLayer3(Layer3State& state, const FrameHeader& header, const uint8_t* frame,
                  int frameBytes, SynthesisState* synthesis, float* pcm);

// Offset of the audio data after the header and the optional CRC.
inline int HeaderBytes(const FrameHeader& header) { return header.hasCrc ? 6 : 4; }

// Layers I and II: the subbands below this are coded per channel, the rest once for both.
inline int JointBound(const FrameHeader& header, int limit) {
    if (header.mode != ChannelMode::JointStereo) return limit;
    const int bound = (header.modeExtension + 1) * 4;
    return bound < limit ? bound : limit;
}

// Layers I and II: a requantised sample of `levels` steps at `scale`.
inline float Dequantize(uint32_t value, int levels, float scale) {
    return (2.0f * static_cast<float>(value) - static_cast<float>(levels - 1)) /
           static_cast<float>(levels) * scale;
}

// Layers I and II: the scalefactor for index 0..63 (2 times 2^(-index / 3)).
float LayerScale(int index);

}  // namespace mpeg
