#pragma once
// Whole-stream facts for length and seeking: the Xing/Info header with the LAME tag's
// encoder delay and padding, the VBRI header, length estimates, and seek plans.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "mpeg/mpeg.h"

namespace mpeg {

// Samples that the decoder's filter banks put in front of the audio (layer III, as the
// LAME tag counts it): a stream with a LAME tag drops encoderDelay + this at the start.
constexpr int kDecoderDelay = 529;

struct XingInfo {
    bool present = false;
    bool isInfo = false;       // "Info" (written for CBR) rather than "Xing"
    uint32_t frames = 0;       // audio frames after this one; 0 unknown
    uint32_t bytes = 0;        // bytes of the stream including this frame; 0 unknown
    bool hasToc = false;
    uint8_t toc[100] = {};     // byte position of each percent of the duration, in 1/256ths
    bool hasLameTag = false;
    int encoderDelay = 0;      // samples the encoder put in front
    int encoderPadding = 0;    // samples the encoder appended
};

struct VbriInfo {
    bool present = false;
    uint32_t frames = 0;
    uint32_t bytes = 0;
    uint32_t framesPerEntry = 0;
    std::vector<uint32_t> entryBytes;  // bytes of each run of framesPerEntry frames
};

// Both look inside one whole frame (header included).
bool ParseXing(const uint8_t* frame, size_t frameBytes, XingInfo& out);
bool ParseVbri(const uint8_t* frame, size_t frameBytes, VbriInfo& out);
bool IsVbrInfoFrame(const uint8_t* frame, size_t frameBytes);

// Size of an ID3v2 tag at the start of `data` (header, footer and all), 0 when there is none.
size_t Id3v2Size(const uint8_t* data, size_t size);

struct StreamInfo {
    FrameHeader header;              // of the first frame
    uint64_t firstFrameOffset = 0;   // after an ID3v2 tag and garbage
    uint64_t audioOffset = 0;        // first audio frame (after the Xing/VBRI frame)
    uint64_t audioBytes = 0;         // from audioOffset to the end of the audio
    uint64_t frames = 0;             // audio frames; estimated when `exact` is false
    uint64_t decodedSamples = 0;     // per channel, what DecodeFrame yields for all frames
    uint64_t skipStart = 0;          // samples to drop at the start (LAME tag), else 0
    uint64_t length = 0;             // playable samples per channel
    bool exact = false;              // frames counted by a header rather than estimated
    XingInfo xing;
    VbriInfo vbri;
};

// Reads the start of a stream. `data` holds its first `size` bytes (a few kB suffice; the
// whole file gives the best estimate), `totalSize` is the size of the whole stream.
// Without a Xing or VBRI header the length comes from the frames found in `data` and
// totalSize. False when no frame is found. An ID3v2 tag longer than `data` (cover art)
// hides the frames: skip it first (Id3v2Size) and pass what follows, with totalSize less
// the tag; offsets are then counted from there.
bool ReadStreamInfo(const uint8_t* data, size_t size, uint64_t totalSize, StreamInfo& out);

// Frames in a row that make data MPEG audio when nothing else (an ID3v2 tag, a Xing or
// VBRI header) says so: other binary files hold a few frame headers by chance.
constexpr int kRunFrames = 4;

// Where MPEG audio starts in `data` (the first `size` bytes of a stream): the first frame
// from which kRunFrames frames of one stream follow one another, each where the size of the
// one before says, or fewer that end exactly at `size` when `dataIsWhole`. Free-format
// frames must also decode without breaking the format's rules. Only starts up to
// `searchBytes` count; `size` when there is none.
size_t FindFrameRun(const uint8_t* data, size_t size, bool dataIsWhole, size_t searchBytes);

// Start offsets of the audio frames from info.audioOffset on, following the frame sizes
// and resynchronising after garbage. Exact, but reads all of `data`.
std::vector<uint64_t> ScanFrames(const uint8_t* data, size_t size, const StreamInfo& info);

// Frames to decode and discard before the target after ResetDecoder, so that the bit
// reservoir, the transform overlap and the filter history hold what they would hold.
int PrerollFrames(const FrameHeader& header);

struct SeekPlan {
    uint64_t byteOffset = 0;      // feed the decoder from here after ResetDecoder
    uint64_t frame = 0;           // audio frame that starts there (estimated without an index)
    uint64_t discardSamples = 0;  // per channel, decode and drop these before the target
};

// Plans a seek to playable sample `sample` (0 = the first sample after skipStart). With
// `frameOffsets` from ScanFrames the plan is exact; without, it uses the Xing TOC, the VBRI
// table or, for constant bitrate, plain arithmetic, and is as good as those.
SeekPlan PlanSeek(const StreamInfo& info, const std::vector<uint64_t>* frameOffsets, uint64_t sample);

}  // namespace mpeg
