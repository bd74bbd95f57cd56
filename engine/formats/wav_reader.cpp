// RIFF WAVE: PCM 8/16/24/32, IEEE float, WAVE_FORMAT_EXTENSIBLE; IMA and Microsoft
// ADPCM, mu-law and A-law; MPEG audio in the data chunk. INFO and ID3 tags.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "containers/endian.h"
#include "formats/compressed_formats.h"
#include "formats/format_open.h"
#include "formats/pcm_decoder.h"
#include "formats/wav_block_decoder.h"
#include "io/window_reader.h"
#include "tags/id3v2.h"
#include "tags/riff_info.h"

namespace engine {
namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagMpeg = 0x50;  // layers I and II
constexpr uint16_t kTagMpegLayer3 = 0x55;
constexpr uint16_t kTagExtensible = 0xFFFE;
constexpr uint32_t kMaxMetadataChunk = 1 << 20;
constexpr uint32_t kMaxFmtChunk = 2048;  // room for the largest ADPCM predictor table
constexpr int kMaxChunks = 100000;

using container::Le16;
using container::Le32;

// The 12 bytes that follow the first two of the KSDATAFORMAT_SUBTYPE_* GUIDs.
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

struct FmtChunk {
    uint16_t tag = 0;
    int channels = 0;
    uint32_t rate = 0;
    int blockAlign = 0;
    int bits = 0;
    std::vector<uint8_t> extension;  // the bytes behind cbSize
};

FMOD_RESULT ParseFmt(const uint8_t* p, size_t size, FmtChunk& fmt) {
    if (size < 16) return FMOD_ERR_FORMAT;
    fmt.tag = Le16(p);
    fmt.channels = Le16(p + 2);
    fmt.rate = Le32(p + 4);
    fmt.blockAlign = Le16(p + 12);
    fmt.bits = Le16(p + 14);
    if (size >= 18) fmt.extension.assign(p + 18, p + 18 + std::min<size_t>(Le16(p + 16), size - 18));
    if (fmt.tag == kTagExtensible) {
        if (size < 40 || Le16(p + 16) < 22) return FMOD_ERR_FORMAT;
        const uint8_t* guid = p + 24;
        if (std::memcmp(guid + 2, kSubFormatTail, sizeof kSubFormatTail) != 0) return FMOD_ERR_FORMAT;
        fmt.tag = Le16(guid);
    }
    return PlausibleLayout(fmt.channels, fmt.rate) ? FMOD_OK : FMOD_ERR_FORMAT;
}

FMOD_RESULT PcmFromFmt(const FmtChunk& fmt, PcmBlock& block) {
    const int channels = fmt.channels, bits = fmt.bits;
    int container;
    if (fmt.tag == kTagPcm) {
        if (bits < 1 || bits > 32) return FMOD_ERR_FORMAT;
        container = (bits + 7) / 8;
        // A block alignment wider than the samples means wider containers (e.g. 20 in 24 bits).
        if (fmt.blockAlign % channels == 0 && fmt.blockAlign / channels > container && fmt.blockAlign / channels <= 4)
            container = fmt.blockAlign / channels;
        block.layout.unsigned8 = container == 1;
        static const FMOD_SOUND_FORMAT kByWidth[] = {FMOD_SOUND_FORMAT_PCM8, FMOD_SOUND_FORMAT_PCM16,
                                                     FMOD_SOUND_FORMAT_PCM24, FMOD_SOUND_FORMAT_PCM32};
        block.format.format = kByWidth[container - 1];
    } else if (fmt.tag == kTagFloat) {
        if (bits != 32 && bits != 64) return FMOD_ERR_FORMAT;
        container = bits / 8;
        block.layout.isFloat = true;
        block.format.format = FMOD_SOUND_FORMAT_PCMFLOAT;
    } else {
        return FMOD_ERR_FORMAT;
    }
    block.layout.bytesPerSample = container;
    block.blockAlign = container * channels;
    block.format.channels = channels;
    block.format.sampleRate = fmt.rate;
    block.format.bitsPerSample = bits;
    return FMOD_OK;
}

bool ReadChunkBody(Reader& reader, uint32_t size, std::vector<uint8_t>& body) {
    if (size > kMaxMetadataChunk) return false;
    body.resize(size);
    return ReadExact(reader, body.data(), size);
}

// MPEG audio in the data chunk: the MPEG reader sees the chunk as a file of its own.
FMOD_RESULT OpenMpegData(std::unique_ptr<Reader>& reader, uint64_t offset, uint64_t size, TagList& tags,
                         OpenedSound& out) {
    auto window = std::make_unique<WindowReader>(std::move(reader), offset, size);
    WindowReader* view = window.get();
    std::unique_ptr<Reader> windowed = std::move(window);
    const FMOD_RESULT r = OpenMpeg(windowed, tags, out);
    if (r != FMOD_OK) {
        reader = view->Release();  // a failed open leaves the window with us
        return r;
    }
    out.format.type = FMOD_SOUND_TYPE_WAV;
    return FMOD_OK;
}

FMOD_RESULT OpenBlockData(std::unique_ptr<Reader>& reader, WavBlockStream& stream, const FmtChunk& fmt,
                          uint64_t offset, uint64_t size, uint32_t factFrames, OpenedSound& out) {
    const WavBlockCodec& codec = stream.codec;
    const uint64_t whole = size / codec.blockAlign;
    uint64_t frames = whole * codec.framesPerBlock + FramesInBlock(codec, size % codec.blockAlign);
    // The fact chunk counts the frames encoded: the last block may be padded beyond them.
    if (factFrames > 0 && factFrames < frames) frames = factFrames;
    StreamFormat& f = stream.format;
    f.type = FMOD_SOUND_TYPE_WAV;
    f.format = FMOD_SOUND_FORMAT_PCM16;
    f.channels = fmt.channels;
    f.bitsPerSample = 16;
    f.sampleRate = fmt.rate;
    f.lengthFrames = frames;
    f.rawBytes = size;
    stream.dataOffset = offset;
    out.format = f;
    out.decoder = MakeWavBlockDecoder(std::move(reader), stream);
    return FMOD_OK;
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

    FmtChunk fmt;
    bool haveFmt = false, haveData = false;
    uint64_t dataOffset = 0, declaredData = 0;
    uint32_t factFrames = 0;
    std::vector<uint8_t> body;
    for (int chunk = 0; chunk < kMaxChunks; ++chunk) {
        uint8_t h[8];
        if (!ReadExact(in, h, 8)) break;
        const uint32_t size = Le32(h + 4);
        const uint64_t start = in.Tell();
        if (std::memcmp(h, "fmt ", 4) == 0 && !haveFmt) {
            if (size < 16 || !ReadChunkBody(in, std::min(size, kMaxFmtChunk), body)) return FMOD_ERR_FORMAT;
            FMOD_RESULT r = ParseFmt(body.data(), body.size(), fmt);
            if (r != FMOD_OK) return r;
            haveFmt = true;
        } else if (std::memcmp(h, "fact", 4) == 0) {
            if (size >= 4 && ReadChunkBody(in, 4, body)) factFrames = Le32(body.data());
        } else if (std::memcmp(h, "data", 4) == 0 && !haveData) {
            haveData = true;
            dataOffset = start;
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
        uint64_t left = static_cast<uint64_t>(fileSize) > dataOffset ? fileSize - dataOffset : 0;
        if (available > left) available = left;
    }
    if (fmt.tag == kTagMpegLayer3 || fmt.tag == kTagMpeg) {
        // Streams often leave the data size at 0: the audio then goes on to the end.
        const uint64_t size = fileSize < 0 && declaredData == 0 ? UINT64_MAX : available;
        return OpenMpegData(reader, dataOffset, size, tags, out);
    }
    WavBlockStream compressed;
    if (SetUpWavBlockCodec(fmt.tag, fmt.channels, fmt.blockAlign, fmt.bits, fmt.extension.data(),
                           fmt.extension.size(), compressed.codec))
        return OpenBlockData(reader, compressed, fmt, dataOffset, available, factFrames, out);

    PcmBlock block;
    block.format.type = FMOD_SOUND_TYPE_WAV;
    if (PcmFromFmt(fmt, block) != FMOD_OK) return FMOD_ERR_FORMAT;
    block.dataOffset = dataOffset;
    block.format.lengthFrames = available / block.blockAlign;
    block.format.rawBytes = block.format.lengthFrames * block.blockAlign;
    out.format = block.format;
    out.decoder = MakePcmDecoder(std::move(reader), block);
    return FMOD_OK;
}

}  // namespace engine
