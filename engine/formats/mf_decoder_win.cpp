// AAC in MP4/M4A and ADTS through Media Foundation's source reader, where the system has
// it (mfplat.dll and mfreadwrite.dll are loaded when the first such file is opened; without
// them, or without a decoder, the file is refused). Our file reaches it through an IStream;
// it hands out 16-bit PCM. The type reported is FMOD_SOUND_TYPE_ASF: the header has no
// type for AAC or MP4, and ASF is the one that stands for the system's media runtime. MP4
// tags are our own parse (ReadMp4Tags). ADTS that cannot seek goes to aac_transform_win.cpp.
#include <windows.h>
#include <mfapi.h>
#include <mferror.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "formats/media_foundation_win.h"
#include "formats/reader_stream_win.h"
#include "formats/system_pcm_decoder.h"
#include "formats/system_decoders.h"

namespace engine {
namespace {

constexpr DWORD kAudio = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);
// AAC frames overlap their neighbours: a seek starts this far earlier, so that the decoder
// has settled by the frame asked for; what comes before it is dropped.
constexpr uint64_t kSeekPrerollFrames = 4096;

bool SourceReaderReady(const MediaFoundation& mf) {
    return mf.started && mf.createByteStream && mf.createMediaType && mf.createSourceReader;
}

class MfDecoder : public SystemPcmDecoder {
public:
    ~MfDecoder() override {
        ScopedCom com;  // released on whichever thread lets the sound go
        ReleaseCom(source_);
        ReleaseCom(bytes_);
        ReleaseCom(stream_);
    }

    FMOD_RESULT Open(std::unique_ptr<Reader>& reader, const wchar_t* contentType) {
        const MediaFoundation& mf = LoadMediaFoundation();
        if (!SourceReaderReady(mf) || !reader->Seek(0)) return FMOD_ERR_FORMAT;
        ScopedCom com;
        const int64_t size = reader->Size();
        format_.rawBytes = size > 0 ? static_cast<uint64_t>(size) : 0;
        stream_ = MakeReaderStream(std::move(reader));
        if (!OpenSource(mf, contentType)) {
            ReleaseCom(source_);
            ReleaseCom(bytes_);
            reader = TakeReader(stream_);
            return FMOD_ERR_FORMAT;
        }
        format_.type = FMOD_SOUND_TYPE_ASF;
        format_.format = FMOD_SOUND_FORMAT_PCM16;
        format_.bitsPerSample = 16;
        return FMOD_OK;
    }

private:
    bool SeekToTime(uint64_t time) override {
        EnsureComOnThisThread();
        const uint64_t preroll = FramesToHundredNs(kSeekPrerollFrames, format_.sampleRate);
        PROPVARIANT position;
        PropVariantInit(&position);
        position.vt = VT_I8;
        position.hVal.QuadPart = static_cast<LONGLONG>(time > preroll ? time - preroll : 0);
        ended_ = false;
        return SUCCEEDED(source_->SetCurrentPosition(GUID_NULL, position));
    }

    bool OpenSource(const MediaFoundation& mf, const wchar_t* contentType) {
        if (FAILED(mf.createByteStream(stream_, &bytes_))) return false;
        // The resolver picks a source by content type; a stream has no file name to go by.
        IMFAttributes* attributes = nullptr;
        if (SUCCEEDED(bytes_->QueryInterface(IID_PPV_ARGS(&attributes)))) {
            attributes->SetString(MF_BYTESTREAM_CONTENT_TYPE, contentType);
            attributes->Release();
        }
        if (FAILED(mf.createSourceReader(bytes_, nullptr, &source_))) return false;
        source_->SetStreamSelection(static_cast<DWORD>(MF_SOURCE_READER_ALL_STREAMS), FALSE);
        if (FAILED(source_->SetStreamSelection(kAudio, TRUE))) return false;
        IMFMediaType* pcm = nullptr;
        if (FAILED(mf.createMediaType(&pcm))) return false;
        pcm->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
        pcm->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_PCM);
        pcm->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, 16);
        const HRESULT set = source_->SetCurrentMediaType(kAudio, nullptr, pcm);
        pcm->Release();
        IMFMediaType* chosen = nullptr;
        if (FAILED(set) || FAILED(source_->GetCurrentMediaType(kAudio, &chosen))) return false;
        UINT32 channels = 0, rate = 0, bits = 0;
        chosen->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &channels);
        chosen->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &rate);
        chosen->GetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, &bits);
        chosen->Release();
        if (bits != 16 || !PlausibleLayout(static_cast<int>(channels), rate)) return false;
        format_.channels = static_cast<int>(channels);
        format_.sampleRate = rate;
        PROPVARIANT duration;
        PropVariantInit(&duration);
        if (SUCCEEDED(source_->GetPresentationAttribute(static_cast<DWORD>(MF_SOURCE_READER_MEDIASOURCE),
                                                        MF_PD_DURATION, &duration)) &&
            duration.vt == VT_UI8)
            format_.lengthFrames = HundredNsToFrames(duration.uhVal.QuadPart, rate);
        PropVariantClear(&duration);
        return true;
    }

    int NextBlock() override {
        EnsureComOnThisThread();
        if (ended_) return 0;
        DWORD stream = 0, flags = 0;
        LONGLONG time = 0;
        IMFSample* sample = nullptr;
        if (FAILED(source_->ReadSample(kAudio, 0, &stream, &flags, &time, &sample))) return -1;
        if (flags & MF_SOURCE_READERF_ENDOFSTREAM) ended_ = true;
        if (!sample) return ended_ ? 0 : 1;  // a gap or a format note: ask again
        IMFMediaBuffer* buffer = nullptr;
        BYTE* data = nullptr;
        DWORD bytes = 0;
        const bool ok = SUCCEEDED(sample->ConvertToContiguousBuffer(&buffer)) &&
                        SUCCEEDED(buffer->Lock(&data, nullptr, &bytes));
        if (ok) {
            TakeBlock(data, bytes, time > 0 ? static_cast<uint64_t>(time) : 0);
            buffer->Unlock();
        }
        ReleaseCom(buffer);
        sample->Release();
        return ok ? 1 : -1;
    }

    IStream* stream_ = nullptr;
    IMFByteStream* bytes_ = nullptr;
    IMFSourceReader* source_ = nullptr;
    bool ended_ = false;
};

}  // namespace

FMOD_RESULT OpenMediaFoundation(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out) {
    uint8_t head[8];
    if (!reader->Seek(0) || !ReadExact(*reader, head, sizeof head) || !reader->Seek(0)) return FMOD_ERR_FORMAT;
    const bool mp4 = std::memcmp(head + 4, "ftyp", 4) == 0;
    // The source reader seeks about the file while it looks at it: streams are not for it.
    if (reader->CanSeek()) {
        if (mp4) ReadMp4Tags(*reader, tags);
        auto decoder = std::make_unique<MfDecoder>();
        const FMOD_RESULT r = decoder->Open(reader, mp4 ? L"audio/mp4" : L"audio/aac");
        if (r == FMOD_OK) {
            out.format = decoder->Format();
            out.decoder = std::move(decoder);
            return FMOD_OK;
        }
        if (!reader || !reader->Seek(0)) return r;
    }
    // ADTS that the source reader cannot take (a radio stream, or a file it refused) goes frame
    // by frame to the decoder transform.
    return mp4 ? FMOD_ERR_FORMAT : OpenAacTransform(reader, tags, out);
}

}  // namespace engine
