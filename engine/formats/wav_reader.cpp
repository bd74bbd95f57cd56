// RIFF WAVE: PCM 8/16/24/32, IEEE float, WAVE_FORMAT_EXTENSIBLE, INFO and ID3 tags.
#include <cstring>
#include <string>
#include <vector>

#include "containers/endian.h"
#include "formats/format_open.h"
#include "formats/pcm_decoder.h"
#include "tags/id3v2.h"
#include "tags/riff_info.h"

namespace engine {
namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagExtensible = 0xFFFE;
constexpr uint32_t kMaxMetadataChunk = 1 << 20;
constexpr int kMaxChunks = 100000;

using container::Le16;
using container::Le32;

// The 12 bytes that follow the first two of the KSDATAFORMAT_SUBTYPE_* GUIDs.
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

FMOD_RESULT ParseFmt(const uint8_t* p, size_t size, PcmBlock& block) {
    if (size < 16) return FMOD_ERR_FORMAT;
    uint16_t tag = Le16(p);
    int channels = Le16(p + 2);
    uint32_t rate = Le32(p + 4);
    int blockAlign = Le16(p + 12);
    int bits = Le16(p + 14);
    if (tag == kTagExtensible) {
        if (size < 40 || Le16(p + 16) < 22) return FMOD_ERR_FORMAT;
        const uint8_t* guid = p + 24;
        if (std::memcmp(guid + 2, kSubFormatTail, sizeof kSubFormatTail) != 0) return FMOD_ERR_FORMAT;
        tag = Le16(guid);
    }
    if (!PlausibleLayout(channels, rate)) return FMOD_ERR_FORMAT;
    int container;
    if (tag == kTagPcm) {
        if (bits < 1 || bits > 32) return FMOD_ERR_FORMAT;
        container = (bits + 7) / 8;
        // A block alignment wider than the samples means wider containers (e.g. 20 in 24 bits).
        if (blockAlign % channels == 0 && blockAlign / channels > container && blockAlign / channels <= 4)
            container = blockAlign / channels;
        block.layout.unsigned8 = container == 1;
        static const FMOD_SOUND_FORMAT kByWidth[] = {FMOD_SOUND_FORMAT_PCM8, FMOD_SOUND_FORMAT_PCM16,
                                                     FMOD_SOUND_FORMAT_PCM24, FMOD_SOUND_FORMAT_PCM32};
        block.format.format = kByWidth[container - 1];
    } else if (tag == kTagFloat) {
        if (bits != 32 && bits != 64) return FMOD_ERR_FORMAT;
        container = bits / 8;
        block.layout.isFloat = true;
        block.format.format = FMOD_SOUND_FORMAT_PCMFLOAT;
    } else {
        return FMOD_ERR_FORMAT;  // compressed WAV (ADPCM, MP3 in RIFF, ...) is not ours
    }
    block.layout.bytesPerSample = container;
    block.blockAlign = container * channels;
    block.format.channels = channels;
    block.format.sampleRate = rate;
    block.format.bitsPerSample = bits;
    return FMOD_OK;
}

bool ReadChunkBody(Reader& reader, uint32_t size, std::vector<uint8_t>& body) {
    if (size > kMaxMetadataChunk) return false;
    body.resize(size);
    return ReadExact(reader, body.data(), size);
}

}  // namespace

int ProbeWav(const uint8_t* head, size_t size) {
    return size >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0 ? 100 : 0;
}

FMOD_RESULT OpenWav(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out) {
    Reader& in = *reader;
    uint8_t header[12];
    if (!in.Seek(0) || !ReadExact(in, header, 12) || !ProbeWav(header, 12)) return FMOD_ERR_FORMAT;
    const int64_t fileSize = in.Size();

    PcmBlock block;
    block.format.type = FMOD_SOUND_TYPE_WAV;
    bool haveFmt = false, haveData = false;
    uint64_t declaredData = 0;
    std::vector<uint8_t> body;
    for (int chunk = 0; chunk < kMaxChunks; ++chunk) {
        uint8_t h[8];
        if (!ReadExact(in, h, 8)) break;
        const uint32_t size = Le32(h + 4);
        const uint64_t start = in.Tell();
        if (std::memcmp(h, "fmt ", 4) == 0 && !haveFmt) {
            if (size < 16 || !ReadChunkBody(in, size < 64 ? size : 64, body)) return FMOD_ERR_FORMAT;
            FMOD_RESULT r = ParseFmt(body.data(), body.size(), block);
            if (r != FMOD_OK) return r;
            haveFmt = true;
        } else if (std::memcmp(h, "data", 4) == 0 && !haveData) {
            haveData = true;
            block.dataOffset = start;
            declaredData = size;
            if (fileSize < 0) break;  // a stream: nothing to look for behind the audio
        } else if (std::memcmp(h, "LIST", 4) == 0) {
            if (ReadChunkBody(in, size, body) && size >= 4 && std::memcmp(body.data(), "INFO", 4) == 0)
                ReadRiffInfo(body.data() + 4, body.size() - 4, tags);
        } else if (std::memcmp(h, "id3 ", 4) == 0 || std::memcmp(h, "ID3 ", 4) == 0) {
            if (ReadChunkBody(in, size, body)) ReadId3v2(body.data(), body.size(), tags);
        }
        const uint64_t next = start + size + (size & 1);
        if (fileSize >= 0 && next >= static_cast<uint64_t>(fileSize)) break;
        if (!in.Seek(next)) break;
    }
    if (!haveFmt || !haveData) return FMOD_ERR_FORMAT;

    // A data size that claims more than the file holds gives a shorter track.
    uint64_t available = declaredData;
    if (fileSize >= 0) {
        uint64_t left = static_cast<uint64_t>(fileSize) > block.dataOffset ? fileSize - block.dataOffset : 0;
        if (available > left) available = left;
    }
    block.format.lengthFrames = available / block.blockAlign;
    block.format.rawBytes = block.format.lengthFrames * block.blockAlign;
    out.format = block.format;
    out.decoder = MakePcmDecoder(std::move(reader), block);
    return FMOD_OK;
}

}  // namespace engine
