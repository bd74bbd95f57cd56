#pragma once
// The header object of an ASF file (WMA, ASF): play time, the first audio stream's
// WAVEFORMATEX and the text of the content descriptions. Portable: the decoding itself
// is the system's (wm_decoder_win.cpp).
#include <cstddef>
#include <cstdint>

#include "io/reader.h"
#include "tags/tag_list.h"

namespace engine {

struct AsfAudioFormat {
    uint16_t formatTag = 0;  // 0x160 WMA v1, 0x161 WMA v2, 0x162 Pro, 0x163 Lossless
    int channels = 0;
    uint32_t sampleRate = 0;
    uint32_t bytesPerSecond = 0;
    int bitsPerSample = 0;
};

struct AsfHeader {
    uint64_t headerBytes = 0;   // the header object's size: where the data object starts
    uint64_t playDuration = 0;  // 100-ns units, preroll included
    uint64_t prerollMs = 0;
    bool hasAudio = false;
    AsfAudioFormat audio;       // the first audio stream
    // The audio's length: play time less preroll, in frames at the audio's rate (0: unknown).
    uint64_t LengthFrames() const;
};

// The header object's GUID at the start.
int ProbeAsf(const uint8_t* head, size_t size);
// Parses a whole header object held in memory; tags of type FMOD_TAGTYPE_ASF go to `tags`
// under common names (TITLE, ARTIST, ALBUM, GENRE, YEAR, TRACKNUMBER, COMMENT, COPYRIGHT),
// other descriptors under their own names. False when it is no ASF header.
bool ParseAsfHeader(const uint8_t* data, size_t size, AsfHeader& header, TagList& tags);
// Reads the header object from the reader's start (at most kMaxAsfHeaderBytes) and parses it.
bool ReadAsfHeader(Reader& reader, AsfHeader& header, TagList& tags);

constexpr size_t kMaxAsfHeaderBytes = 16 << 20;  // room for cover pictures in the descriptions

}  // namespace engine
