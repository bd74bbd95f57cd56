#pragma once
// What the frame loop in decoder.cpp calls for each layer. Each function decodes one
// whole frame (header included at `frame`) into interleaved floats and returns false when
// the frame breaks the format's rules; the PCM then holds silence or what could be saved.
#include <cstdint>

#include "layer3_state.h"
#include "mpeg/mpeg.h"
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

// Layers I and II: a code of a quantiser with `levels` steps stands for
// (2 code - (levels - 1)) / levels. Kept as a step and an offset to multiply, not divide.
struct Requantizer {
    float step = 0.0f;    // 2 / levels
    float offset = 0.0f;  // (levels - 1) / levels

    explicit Requantizer(int levels = 1)
        : step(2.0f / static_cast<float>(levels)),
          offset(static_cast<float>(levels - 1) / static_cast<float>(levels)) {}
    float operator()(uint32_t code) const { return static_cast<float>(code) * step - offset; }
};

// Layers I and II: the scalefactor for index 0..63 (2 times 2^(-index / 3)).
float LayerScale(int index);

}  // namespace mpeg
