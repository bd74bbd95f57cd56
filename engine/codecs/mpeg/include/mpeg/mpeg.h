#pragma once
// MPEG audio decoding (layers I, II and III; MPEG-1, 2 and 2.5) on byte buffers, one frame
// per call: the caller hands over bytes, the decoder says how many it used and either gives
// the PCM of one frame or asks for more. No I/O, no exceptions, no allocation per frame.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace mpeg {

constexpr int kMaxChannels = 2;
constexpr int kMaxSamplesPerFrame = 1152;
// Room a caller gives DecodeFrame for one frame of interleaved samples.
constexpr int kMaxFrameFloats = kMaxChannels * kMaxSamplesPerFrame;

enum class Result {
    Ok,            // one frame decoded into pcm
    NeedMoreData,  // no whole frame in the buffer; `consumed` bytes of garbage may be dropped
    InfoFrame,     // a Xing/Info/VBRI frame was consumed: it carries no audio
    EndOfData,     // endOfStream was set and no frame is left; everything was consumed
};

const char* ResultName(Result result);

enum class Version { Mpeg1, Mpeg2, Mpeg25 };
enum class ChannelMode { Stereo = 0, JointStereo = 1, DualChannel = 2, Mono = 3 };

struct FrameHeader {
    Version version = Version::Mpeg1;
    int layer = 0;           // 1, 2 or 3
    bool hasCrc = false;
    int bitrateIndex = 0;    // 0: free format
    int bitrateKbps = 0;     // 0: free format
    int sampleRate = 0;
    bool padding = false;
    ChannelMode mode = ChannelMode::Stereo;
    int modeExtension = 0;
    int channels = 0;
    int samplesPerFrame = 0;
    int frameBytes = 0;      // whole frame with header; 0 for free format (size unknown)
};

// Reads the four header bytes at `bytes`. False when they are no valid frame header.
bool ParseFrameHeader(const uint8_t* bytes, FrameHeader& out);

// Frames of one stream agree in these fields; a header that does not is taken for garbage.
bool SameStream(const FrameHeader& a, const FrameHeader& b);

// Bytes of the frame when its size is known from the header (not free format).
int FrameBytes(const FrameHeader& header);

struct Decoder;
struct DecoderDeleter {
    void operator()(Decoder* decoder) const;
};
using DecoderPtr = std::unique_ptr<Decoder, DecoderDeleter>;

DecoderPtr CreateDecoder();

// Forgets the bit reservoir, the transform overlap, the filter history and the stream lock.
// Call it after a seek; see README.md for the frames to decode and discard afterwards.
void ResetDecoder(Decoder& decoder);

struct FrameOutput {
    size_t consumed = 0;    // bytes used from `data`: skipped garbage plus the frame
    size_t frameStart = 0;  // where the frame began in `data` (Ok and InfoFrame)
    int samples = 0;        // per channel written to pcm
    int channels = 0;
    int sampleRate = 0;
    bool damaged = false;   // the frame broke the format's rules; pcm holds what was saved
    FrameHeader header;     // of the frame (Ok and InfoFrame)
};

// Decodes the next frame of `data`. A frame found after garbage is only taken once the
// header after it agrees (or the data ends there with `endOfStream` set); frames that follow
// a decoded one directly are taken at once. `pcm` receives interleaved floats in -1..1 and
// must hold kMaxFrameFloats. The PCM does not depend on how the input is cut into calls
// as long as the caller passes the unconsumed rest again together with new bytes.
Result DecodeFrame(Decoder& decoder, const uint8_t* data, size_t size, bool endOfStream,
                   float* pcm, FrameOutput& out);

// Converts with rounding and clipping.
void FloatToInt16(const float* in, int16_t* out, size_t count);

}  // namespace mpeg
