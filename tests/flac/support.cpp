#include "support.h"

#include <FLAC/stream_decoder.h>

#include <cstring>
#include <fstream>
#include <iterator>

std::vector<uint8_t> ReadFixtureFile(const std::string& fileName) {
    std::ifstream in(std::string(QUENDRA_FIXTURES) + "/" + fileName, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {

struct Session {
    const std::vector<uint8_t>& file;
    size_t pos;
    Pcm& pcm;
};

FLAC__StreamDecoderReadStatus Read(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes, void* data) {
    auto* s = static_cast<Session*>(data);
    *bytes = std::min(*bytes, s->file.size() - s->pos);
    std::memcpy(buffer, s->file.data() + s->pos, *bytes);
    s->pos += *bytes;
    return *bytes ? FLAC__STREAM_DECODER_READ_STATUS_CONTINUE : FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
}

FLAC__StreamDecoderWriteStatus Write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                     const FLAC__int32* const channels[], void* data) {
    Pcm& pcm = static_cast<Session*>(data)->pcm;
    pcm.channels = frame->header.channels;
    pcm.bitsPerSample = frame->header.bits_per_sample;
    for (unsigned i = 0; i < frame->header.blocksize; ++i)
        for (unsigned c = 0; c < pcm.channels; ++c) pcm.samples.push_back(channels[c][i]);
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void Metadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* block, void* data) {
    if (block->type == FLAC__METADATA_TYPE_STREAMINFO)
        static_cast<Session*>(data)->pcm.totalSamples = block->data.stream_info.total_samples;
}

void Error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* data) {
    ++static_cast<Session*>(data)->pcm.errors;
}

}  // namespace

Pcm DecodeWithLibFlac(const std::vector<uint8_t>& file, bool ogg) {
    Pcm pcm;
    Session session{file, 0, pcm};
    FLAC__StreamDecoder* decoder = FLAC__stream_decoder_new();
    auto init = ogg ? FLAC__stream_decoder_init_ogg_stream : FLAC__stream_decoder_init_stream;
    if (decoder && init(decoder, Read, nullptr, nullptr, nullptr, nullptr, Write, Metadata, Error, &session) ==
                       FLAC__STREAM_DECODER_INIT_STATUS_OK)
        pcm.ok = FLAC__stream_decoder_process_until_end_of_stream(decoder) != 0;
    if (decoder) FLAC__stream_decoder_delete(decoder);
    return pcm;
}
