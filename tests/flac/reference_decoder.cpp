#include "reference_decoder.h"

#include <FLAC/stream_decoder.h>

#include <algorithm>
#include <cstring>

namespace {

struct Session {
    const std::vector<uint8_t>* file;
    size_t pos = 0;
    ReferenceAudio* audio;
};

FLAC__StreamDecoderReadStatus Read(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes, void* data) {
    auto* s = static_cast<Session*>(data);
    size_t n = std::min(*bytes, s->file->size() - s->pos);
    std::memcpy(buffer, s->file->data() + s->pos, n);
    s->pos += n;
    *bytes = n;
    return n ? FLAC__STREAM_DECODER_READ_STATUS_CONTINUE : FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
}

FLAC__StreamDecoderWriteStatus Write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                     const FLAC__int32* const channels[], void* data) {
    auto* s = static_cast<Session*>(data);
    unsigned count = frame->header.channels;
    s->audio->channels = count;
    s->audio->bitsPerSample = frame->header.bits_per_sample;
    auto& out = s->audio->samples;
    size_t base = out.size();
    out.resize(base + size_t(frame->header.blocksize) * count);
    for (unsigned i = 0; i < frame->header.blocksize; ++i)
        for (unsigned c = 0; c < count; ++c)
            out[base + size_t(i) * count + c] = channels[c][i];
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void Metadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* block, void* data) {
    auto* s = static_cast<Session*>(data);
    if (block->type == FLAC__METADATA_TYPE_STREAMINFO)
        s->audio->totalSamples = block->data.stream_info.total_samples;
}

void Error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* data) {
    ++static_cast<Session*>(data)->audio->errors;
}

}  // namespace

ReferenceAudio DecodeWithLibFlac(const std::vector<uint8_t>& file, bool ogg) {
    ReferenceAudio audio;
    Session session{&file, 0, &audio};
    FLAC__StreamDecoder* decoder = FLAC__stream_decoder_new();
    if (!decoder)
        return audio;
    auto init = ogg ? FLAC__stream_decoder_init_ogg_stream : FLAC__stream_decoder_init_stream;
    if (init(decoder, Read, nullptr, nullptr, nullptr, nullptr, Write, Metadata, Error, &session) ==
        FLAC__STREAM_DECODER_INIT_STATUS_OK)
        audio.ok = FLAC__stream_decoder_process_until_end_of_stream(decoder) != 0;
    FLAC__stream_decoder_delete(decoder);
    return audio;
}
