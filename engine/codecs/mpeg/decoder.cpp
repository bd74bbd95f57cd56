// The frame loop: finding frames in the byte stream, telling audio frames from the
// Xing/Info/VBRI frame, and handing each frame to its layer.
#include <cmath>
#include <cstring>
#include <new>

#include "mpeg/frame_scan.h"
#include "layers.h"
#include "mpeg/mpeg_stream.h"

namespace mpeg {

struct Decoder {
    SynthesisState synthesis[2];
    Layer3State layer3;
    bool locked = false;       // a frame was decoded; frames right after it need no confirmation
    FrameHeader lockedHeader;
    int freeFormatBytes = 0;   // size of a free-format frame without padding; 0 unknown
};

namespace {

// Size of the frame at `p` with `available` bytes from there; 0 when more data is needed
// to tell, -1 when these bytes cannot start a frame.
int FrameSizeAt(Decoder& d, const FrameHeader& h, const uint8_t* p, size_t available, bool endOfStream) {
    if (h.bitrateIndex != 0) return h.frameBytes;
    const int padding = h.padding ? (h.layer == 1 ? 4 : 1) : 0;
    if (d.freeFormatBytes > 0 && d.locked && SameStream(h, d.lockedHeader)) return d.freeFormatBytes + padding;
    // Free format: the distance to the next header of the same stream gives the size.
    const int distance = FreeFormatDistance(h, p, available);
    if (distance > 0) {
        d.freeFormatBytes = distance - padding;
        return distance;
    }
    return (available >= kMaxFreeFormatBytes + 4 || endOfStream) ? -1 : 0;
}

Result Starve(size_t consumed, size_t size, bool endOfStream, FrameOutput& out) {
    out.consumed = endOfStream ? size : consumed;
    return endOfStream ? Result::EndOfData : Result::NeedMoreData;
}

}  // namespace

void DecoderDeleter::operator()(Decoder* decoder) const { delete decoder; }

DecoderPtr CreateDecoder() {
    DecoderPtr decoder(new (std::nothrow) Decoder);
    if (decoder) ResetDecoder(*decoder);
    return decoder;
}

void ResetDecoder(Decoder& d) {
    for (SynthesisState& s : d.synthesis) ResetSynthesis(s);
    ResetLayer3(d.layer3);
    d.locked = false;
    d.freeFormatBytes = 0;
}

Result DecodeFrame(Decoder& d, const uint8_t* data, size_t size, bool endOfStream, float* pcm,
                   FrameOutput& out) {
    out = FrameOutput{};
    for (size_t pos = 0;; ++pos) {
        if (pos + 4 > size) return Starve(pos, size, endOfStream, out);
        FrameHeader h;
        if (!ParseFrameHeader(data + pos, h)) continue;
        const bool trusted = d.locked && pos == 0 && SameStream(h, d.lockedHeader);
        const size_t available = size - pos;
        const int bytes = FrameSizeAt(d, h, data + pos, available, endOfStream);
        if (bytes < 0) continue;
        if (bytes == 0) return Starve(pos, size, false, out);
        if (static_cast<size_t>(bytes) > available) {
            if (endOfStream) continue;  // a cut-off last frame is dropped
            return Starve(pos, size, false, out);
        }
        if (!trusted) {
            // A header found after garbage counts only when the next two agree with it.
            const Confirmation c = ConfirmFrame(h, bytes, data + pos, available);
            if (c == Confirmation::Rejected) continue;
            if (c == Confirmation::Undecided && !endOfStream) return Starve(pos, size, false, out);
        }

        if (!d.locked || !SameStream(h, d.lockedHeader)) {
            // A new stream: what the filters and the reservoir hold belongs to other audio.
            // Garbage between frames of one stream keeps them, as the audio goes on.
            for (SynthesisState& s : d.synthesis) ResetSynthesis(s);
            ResetLayer3(d.layer3);
        }
        d.locked = true;
        d.lockedHeader = h;
        out.consumed = pos + static_cast<size_t>(bytes);
        out.frameStart = pos;
        out.header = h;
        out.channels = h.channels;
        out.sampleRate = h.sampleRate;
        if (h.layer == 3 && IsVbrInfoFrame(data + pos, static_cast<size_t>(bytes))) return Result::InfoFrame;

        const uint8_t* frame = data + pos;
        bool good = false;
        if (h.layer == 1) good = DecodeLayer1(h, frame, bytes, d.synthesis, pcm);
        else if (h.layer == 2) good = DecodeLayer2(h, frame, bytes, d.synthesis, pcm);
        else good = DecodeLayer3(d.layer3, h, frame, bytes, d.synthesis, pcm);
        out.samples = h.samplesPerFrame;
        out.damaged = !good;
        return Result::Ok;
    }
}

void FloatToInt16(const float* in, int16_t* out, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        float v = in[i] * 32768.0f;
        if (v > 32767.0f) v = 32767.0f;
        if (v < -32768.0f) v = -32768.0f;
        out[i] = static_cast<int16_t>(std::lrintf(v));
    }
}

const char* ResultName(Result result) {
    switch (result) {
    case Result::Ok: return "Ok";
    case Result::NeedMoreData: return "NeedMoreData";
    case Result::InfoFrame: return "InfoFrame";
    case Result::EndOfData: return "EndOfData";
    }
    return "?";
}

}  // namespace mpeg
