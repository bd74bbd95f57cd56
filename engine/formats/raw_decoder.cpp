// Headerless audio, chosen by a ".raw" name when nothing else recognises the content:
// 16-bit signed little-endian stereo at 44,100 Hz, the usual shape of such files.
#include <cstring>

#include "formats/format_open.h"
#include "formats/pcm_decoder.h"

namespace engine {

bool NamesRawFile(const char* path) {
    const size_t length = std::strlen(path);
    if (length < 4) return false;
    const char* tail = path + length - 4;
    return tail[0] == '.' && (tail[1] | 0x20) == 'r' && (tail[2] | 0x20) == 'a' && (tail[3] | 0x20) == 'w';
}

FMOD_RESULT OpenRaw(std::unique_ptr<Reader>& reader, TagList&, OpenedSound& out) {
    const int64_t size = reader->Size();
    if (size < 4 || !reader->CanSeek()) return FMOD_ERR_FORMAT;  // not one whole frame, or a stream
    PcmBlock block;
    block.format.type = FMOD_SOUND_TYPE_RAW;
    block.format.format = FMOD_SOUND_FORMAT_PCM16;
    block.format.channels = 2;
    block.format.bitsPerSample = 16;
    block.format.sampleRate = 44100;
    block.blockAlign = 4;
    block.format.lengthFrames = static_cast<uint64_t>(size) / 4;
    block.format.rawBytes = static_cast<uint64_t>(size);
    block.layout.bytesPerSample = 2;
    out.format = block.format;
    out.decoder = MakePcmDecoder(std::move(reader), block);
    return FMOD_OK;
}

}  // namespace engine
