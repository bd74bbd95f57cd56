// AIFF and AIFF-C: big-endian PCM ("NONE"/"twos"), little-endian "sowt", 32-bit
// float "fl32"; text chunks NAME, AUTH, "(c) ", ANNO and an "ID3 " chunk.
#include <cmath>
#include <cstring>
#include <vector>

#include "containers/endian.h"
#include "formats/extended_float.h"
#include "formats/format_open.h"
#include "formats/pcm_decoder.h"
#include "tags/id3v2.h"
#include "tags/riff_info.h"

namespace engine {
namespace {

constexpr uint32_t kMaxMetadataChunk = 1 << 20;
constexpr int kMaxChunks = 100000;

using container::Be16;
using container::Be32;

struct Comm {
    int channels = 0;
    uint32_t frames = 0;
    int bits = 0;
    double rate = 0;
    char compression[4] = {'N', 'O', 'N', 'E'};
};

FMOD_RESULT ParseComm(const uint8_t* p, size_t size, bool aifc, Comm& comm) {
    if (size < 18 || (aifc && size < 22)) return FMOD_ERR_FORMAT;
    comm.channels = Be16(p);
    comm.frames = Be32(p + 2);
    comm.bits = Be16(p + 6);
    comm.rate = ExtendedToDouble(p + 8);
    if (aifc) std::memcpy(comm.compression, p + 18, 4);
    return FMOD_OK;
}

FMOD_RESULT BlockFromComm(const Comm& comm, PcmBlock& block) {
    if (!(comm.rate >= kMinSampleRate && comm.rate <= kMaxSampleRate)) return FMOD_ERR_FORMAT;
    const uint32_t rate = static_cast<uint32_t>(std::lround(comm.rate));
    if (!PlausibleLayout(comm.channels, rate)) return FMOD_ERR_FORMAT;
    auto is = [&](const char* code) { return std::memcmp(comm.compression, code, 4) == 0; };
    if (is("NONE") || is("twos")) {
        block.layout.bigEndian = true;
    } else if (is("sowt")) {
        block.layout.bigEndian = false;
    } else if (is("fl32") || is("FL32")) {
        if (comm.bits != 32) return FMOD_ERR_FORMAT;
        block.layout.bigEndian = true;
        block.layout.isFloat = true;
    } else {
        return FMOD_ERR_FORMAT;
    }
    if (comm.bits < 1 || comm.bits > 32) return FMOD_ERR_FORMAT;
    const int container = (comm.bits + 7) / 8;
    if (block.layout.isFloat) {
        block.format.format = FMOD_SOUND_FORMAT_PCMFLOAT;
    } else {
        static const FMOD_SOUND_FORMAT kByWidth[] = {FMOD_SOUND_FORMAT_PCM8, FMOD_SOUND_FORMAT_PCM16,
                                                     FMOD_SOUND_FORMAT_PCM24, FMOD_SOUND_FORMAT_PCM32};
        block.format.format = kByWidth[container - 1];
    }
    block.layout.bytesPerSample = container;
    block.blockAlign = container * comm.channels;
    block.format.type = FMOD_SOUND_TYPE_AIFF;
    block.format.channels = comm.channels;
    block.format.bitsPerSample = comm.bits;
    block.format.sampleRate = rate;
    return FMOD_OK;
}

const char* TextChunkName(const uint8_t* id) {
    if (std::memcmp(id, "NAME", 4) == 0) return "TITLE";
    if (std::memcmp(id, "AUTH", 4) == 0) return "ARTIST";
    if (std::memcmp(id, "(c) ", 4) == 0) return "COPYRIGHT";
    if (std::memcmp(id, "ANNO", 4) == 0) return "COMMENT";
    return nullptr;
}

}  // namespace

int ProbeAiff(const uint8_t* head, size_t size) {
    if (size < 12 || std::memcmp(head, "FORM", 4) != 0) return 0;
    return std::memcmp(head + 8, "AIFF", 4) == 0 || std::memcmp(head + 8, "AIFC", 4) == 0 ? 100 : 0;
}

FMOD_RESULT OpenAiff(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out) {
    Reader& in = *reader;
    uint8_t header[12];
    if (!in.Seek(0) || !ReadExact(in, header, 12) || !ProbeAiff(header, 12)) return FMOD_ERR_FORMAT;
    const bool aifc = std::memcmp(header + 8, "AIFC", 4) == 0;
    const int64_t fileSize = in.Size();

    Comm comm;
    bool haveComm = false, haveData = false;
    uint64_t dataOffset = 0, dataBytes = 0;
    std::vector<uint8_t> body;
    for (int chunk = 0; chunk < kMaxChunks; ++chunk) {
        uint8_t h[8];
        if (!ReadExact(in, h, 8)) break;
        const uint32_t size = Be32(h + 4);
        const uint64_t start = in.Tell();
        const bool small = size <= kMaxMetadataChunk;
        if (std::memcmp(h, "COMM", 4) == 0 && !haveComm) {
            body.resize(size < 64 ? size : 64);
            if (!ReadExact(in, body.data(), body.size())) return FMOD_ERR_FORMAT;
            FMOD_RESULT r = ParseComm(body.data(), body.size(), aifc, comm);
            if (r != FMOD_OK) return r;
            haveComm = true;
        } else if (std::memcmp(h, "SSND", 4) == 0 && !haveData) {
            uint8_t offsets[8];
            if (size < 8 || !ReadExact(in, offsets, 8)) return FMOD_ERR_FORMAT;
            const uint32_t skip = Be32(offsets);
            dataOffset = start + 8 + skip;
            dataBytes = size - 8 > skip ? size - 8 - skip : 0;
            haveData = true;
        } else if (const char* name = TextChunkName(h); name && small) {
            body.resize(size);
            if (ReadExact(in, body.data(), size))
                AddContainerText(tags, name, {reinterpret_cast<const char*>(body.data()), body.size()});
        } else if ((std::memcmp(h, "ID3 ", 4) == 0 || std::memcmp(h, "id3 ", 4) == 0) && small) {
            body.resize(size);
            if (ReadExact(in, body.data(), size)) ReadId3v2(body.data(), body.size(), tags);
        }
        const uint64_t next = start + size + (size & 1);
        if (fileSize >= 0 && next >= static_cast<uint64_t>(fileSize)) break;
        if (!in.Seek(next)) break;
    }
    if (!haveComm || !haveData) return FMOD_ERR_FORMAT;

    PcmBlock block;
    FMOD_RESULT r = BlockFromComm(comm, block);
    if (r != FMOD_OK) return r;
    block.dataOffset = dataOffset;
    if (fileSize >= 0) {
        uint64_t left = static_cast<uint64_t>(fileSize) > dataOffset ? fileSize - dataOffset : 0;
        if (dataBytes > left) dataBytes = left;
    }
    uint64_t frames = dataBytes / block.blockAlign;
    if (comm.frames < frames) frames = comm.frames;
    block.format.lengthFrames = frames;
    block.format.rawBytes = frames * block.blockAlign;
    out.format = block.format;
    out.decoder = MakePcmDecoder(std::move(reader), block);
    return FMOD_OK;
}

}  // namespace engine
