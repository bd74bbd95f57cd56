// ADTS AAC through the system's AAC decoder transform (Media Foundation: raw AAC frames in,
// 16-bit PCM out). Our own splitter (adts_frames.h) finds the frames, so the bytes are read
// once, front to back: internet radio plays this way. The transform is found by
// MFTEnumEx (mfplat.dll, loaded at run time), else by the class of Windows' own decoder;
// without one the stream is refused. No length, no seeking.
#include <windows.h>
#include <mfapi.h>
#include <mferror.h>

#include <cstring>

#include "formats/adts_frames.h"
#include "formats/media_foundation_win.h"
#include "formats/reader_stream_win.h"
#include "formats/system_decoders.h"
#include "formats/system_pcm_decoder.h"

namespace engine {
namespace {

// Windows' AAC decoder transform, for systems whose transforms are not enumerated.
constexpr GUID kAacDecoderClass = {0x32d186a7, 0x218f, 0x4c75, {0x88, 0x76, 0xdd, 0x77, 0x27, 0x3a, 0x89, 0x99}};
constexpr size_t kReadBytes = 4096;
// Bytes read in search of the first frames, and frames fed in search of the first PCM,
// before the open gives up (within what a stream keeps of its start for other formats).
constexpr size_t kMaxSearchBytes = 32 * 1024;
constexpr int kMaxFramesBeforeOutput = 16;
// The decoder's output: 2048 frames (SBR doubles the 1024 of a raw frame) of eight channels.
constexpr DWORD kMinOutputBytes = 2048 * 8 * 2;

IMFTransform* CreateAacDecoder(const MediaFoundation& mf) {
    IMFTransform* transform = nullptr;
    if (mf.enumerate) {
        const MFT_REGISTER_TYPE_INFO input = {MFMediaType_Audio, MFAudioFormat_AAC};
        IMFActivate** found = nullptr;
        UINT32 count = 0;
        const UINT32 flags = MFT_ENUM_FLAG_SYNCMFT | MFT_ENUM_FLAG_LOCALMFT | MFT_ENUM_FLAG_SORTANDFILTER;
        if (SUCCEEDED(mf.enumerate(MFT_CATEGORY_AUDIO_DECODER, flags, &input, nullptr, &found, &count))) {
            for (UINT32 i = 0; i < count; ++i) {
                if (!transform) found[i]->ActivateObject(IID_PPV_ARGS(&transform));
                found[i]->Release();
            }
            CoTaskMemFree(found);
        }
    }
    if (!transform) CoCreateInstance(kAacDecoderClass, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&transform));
    return transform;
}

class AacTransformDecoder : public SystemPcmDecoder {
public:
    explicit AacTransformDecoder(std::unique_ptr<Reader>& reader) : reader_(std::move(reader)) {}

    ~AacTransformDecoder() override {
        ScopedCom com;  // released on whichever thread lets the sound go
        ReleaseCom(output_);
        ReleaseCom(transform_);
    }

    // Gives the reader back on failure.
    FMOD_RESULT Open(std::unique_ptr<Reader>& reader) {
        const FMOD_RESULT r = Start();
        if (r != FMOD_OK) reader = std::move(reader_);
        return r;
    }

private:
    FMOD_RESULT Start() {
        const MediaFoundation& mf = LoadMediaFoundation();
        if (!(mf.started && mf.createMediaType && mf.createSample && mf.createMemoryBuffer)) return FMOD_ERR_FORMAT;
        ScopedCom com;
        AdtsFrame first;
        if (!NextFrame(first, kMaxSearchBytes)) return FMOD_ERR_FORMAT;
        stream_ = first.header;
        transform_ = CreateAacDecoder(mf);
        if (!transform_ || !SetTypes(mf, first.header) || !MakeOutputSample(mf)) return FMOD_ERR_FORMAT;
        transform_->ProcessMessage(MFT_MESSAGE_NOTIFY_BEGIN_STREAMING, 0);
        transform_->ProcessMessage(MFT_MESSAGE_NOTIFY_START_OF_STREAM, 0);
        format_.type = FMOD_SOUND_TYPE_ASF;
        format_.format = FMOD_SOUND_FORMAT_PCM16;
        format_.bitsPerSample = 16;
        // Decoded up to the first PCM, whose layout is the stream's (SBR may double the rate).
        if (!Feed(first)) return FMOD_ERR_FORMAT;
        for (int fed = 1; fed <= kMaxFramesBeforeOutput; ++fed) {
            const int got = Pull();
            if (got < 0) return FMOD_ERR_FORMAT;
            if (got > 0) {
                opened_ = true;
                return FMOD_OK;
            }
            AdtsFrame frame;
            if (!NextFrame(frame, kMaxSearchBytes) || (SameAdtsStream(frame.header, stream_) && !Feed(frame)))
                return FMOD_ERR_FORMAT;
        }
        return FMOD_ERR_FORMAT;
    }

    bool SetTypes(const MediaFoundation& mf, const AdtsHeader& h) {
        IMFMediaType* aac = nullptr;
        if (FAILED(mf.createMediaType(&aac))) return false;
        // HEAACWAVEINFO after its WAVEFORMATEX: payload 0 (raw frames), profile level not
        // given, then the two configuration bytes (AdtsDecoderConfig).
        uint8_t info[14] = {0, 0, 0xFE, 0};
        AdtsDecoderConfig(h, info + 12);
        aac->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
        aac->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_AAC);
        aac->SetUINT32(MF_MT_AUDIO_NUM_CHANNELS, static_cast<UINT32>(h.channels));
        aac->SetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, h.sampleRate);
        aac->SetUINT32(MF_MT_AUDIO_BLOCK_ALIGNMENT, 1);
        aac->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, 16);
        aac->SetUINT32(MF_MT_AAC_PAYLOAD_TYPE, 0);
        aac->SetUINT32(MF_MT_AAC_AUDIO_PROFILE_LEVEL_INDICATION, 0xFE);
        aac->SetBlob(MF_MT_USER_DATA, info, sizeof info);
        const HRESULT set = transform_->SetInputType(0, aac, 0);
        aac->Release();
        return SUCCEEDED(set) && ChooseOutput();
    }

    // The first 16-bit PCM type the decoder offers; its layout becomes the stream's.
    bool ChooseOutput() {
        for (DWORD i = 0;; ++i) {
            IMFMediaType* type = nullptr;
            if (FAILED(transform_->GetOutputAvailableType(0, i, &type))) return false;
            GUID subtype = GUID_NULL;
            UINT32 bits = 0, channels = 0, rate = 0;
            type->GetGUID(MF_MT_SUBTYPE, &subtype);
            type->GetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, &bits);
            type->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &channels);
            type->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &rate);
            const bool taken = subtype == MFAudioFormat_PCM && bits == 16 &&
                               PlausibleLayout(static_cast<int>(channels), rate) &&
                               SUCCEEDED(transform_->SetOutputType(0, type, 0));
            type->Release();
            if (!taken) continue;
            // A layout that changes once the sound is handed out cannot be followed.
            if (opened_ && (format_.channels != static_cast<int>(channels) || format_.sampleRate != rate)) return false;
            format_.channels = static_cast<int>(channels);
            format_.sampleRate = rate;
            return true;
        }
    }

    bool MakeOutputSample(const MediaFoundation& mf) {
        MFT_OUTPUT_STREAM_INFO info = {};
        if (FAILED(transform_->GetOutputStreamInfo(0, &info))) return false;
        if (info.dwFlags & (MFT_OUTPUT_STREAM_PROVIDES_SAMPLES | MFT_OUTPUT_STREAM_CAN_PROVIDE_SAMPLES)) return true;
        IMFMediaBuffer* buffer = nullptr;
        if (FAILED(mf.createSample(&output_)) ||
            FAILED(mf.createMemoryBuffer(std::max(info.cbSize, kMinOutputBytes), &buffer)))
            return false;
        const HRESULT added = output_->AddBuffer(buffer);
        buffer->Release();
        return SUCCEEDED(added);
    }

    // The next frame, reading as needed; false at the end, on a read error, or when `limit`
    // bytes (0: no limit) brought none.
    bool NextFrame(AdtsFrame& frame, size_t limit = 0) {
        size_t read = 0;
        while (!splitter_.Next(frame, atEnd_)) {
            if (atEnd_ || (limit && read >= limit)) return false;
            uint8_t bytes[kReadBytes];
            const int64_t got = reader_->Read(bytes, sizeof bytes);
            if (got < 0) return false;
            if (got == 0) atEnd_ = true;
            splitter_.Push(bytes, static_cast<size_t>(got));
            read += static_cast<size_t>(got);
        }
        return true;
    }

    bool Feed(const AdtsFrame& frame) {
        const MediaFoundation& mf = LoadMediaFoundation();
        IMFMediaBuffer* buffer = nullptr;
        IMFSample* sample = nullptr;
        BYTE* data = nullptr;
        bool ok = SUCCEEDED(mf.createMemoryBuffer(static_cast<DWORD>(frame.payloadBytes), &buffer)) &&
                  SUCCEEDED(buffer->Lock(&data, nullptr, nullptr));
        if (ok) {
            std::memcpy(data, frame.payload, frame.payloadBytes);
            buffer->Unlock();
            buffer->SetCurrentLength(static_cast<DWORD>(frame.payloadBytes));
            const uint64_t rate = frame.header.sampleRate;
            ok = SUCCEEDED(mf.createSample(&sample)) && SUCCEEDED(sample->AddBuffer(buffer));
            if (ok) {
                sample->SetSampleTime(static_cast<LONGLONG>(FramesToHundredNs(fedFrames_, rate)));
                sample->SetSampleDuration(static_cast<LONGLONG>(FramesToHundredNs(1024, rate)));
                ok = SUCCEEDED(transform_->ProcessInput(0, sample, 0));
            }
        }
        fedFrames_ += 1024;
        ReleaseCom(sample);
        ReleaseCom(buffer);
        return ok;
    }

    // 1 with a block taken, 0 when the decoder wants input, -1 on an error.
    int Pull() {
        for (;;) {
            MFT_OUTPUT_DATA_BUFFER out = {};
            out.pSample = output_;
            IMFMediaBuffer* buffer = nullptr;
            if (output_ && SUCCEEDED(output_->GetBufferByIndex(0, &buffer))) buffer->SetCurrentLength(0);
            ReleaseCom(buffer);
            DWORD status = 0;
            const HRESULT hr = transform_->ProcessOutput(0, 1, &out, &status);
            ReleaseCom(out.pEvents);
            if (hr == MF_E_TRANSFORM_NEED_MORE_INPUT) return 0;
            if (hr == MF_E_TRANSFORM_STREAM_CHANGE) {
                if (!ChooseOutput()) return -1;
                continue;
            }
            if (FAILED(hr) || !out.pSample) return -1;
            BYTE* data = nullptr;
            DWORD bytes = 0;
            bool ok = SUCCEEDED(out.pSample->ConvertToContiguousBuffer(&buffer)) &&
                      SUCCEEDED(buffer->Lock(&data, nullptr, &bytes));
            if (ok) {
                TakeBlock(data, bytes, 0);
                buffer->Unlock();
            }
            ReleaseCom(buffer);
            if (out.pSample != output_) out.pSample->Release();
            if (!ok) return -1;
            return bytes > 0 ? 1 : 0;  // nothing out: more input first
        }
    }

    bool SeekToTime(uint64_t) override { return false; }

    int NextBlock() override {
        EnsureComOnThisThread();
        for (;;) {
            const int got = Pull();
            if (got != 0) return got;
            if (drained_) return 0;
            AdtsFrame frame;
            if (NextFrame(frame)) {
                // Frames of another rate or layout (a station switching streams) would be noise
                // to a decoder set up for the first; a frame it rejects is damage: both skipped.
                if (SameAdtsStream(frame.header, stream_)) Feed(frame);
                continue;
            }
            if (!atEnd_) return -1;  // a read error
            transform_->ProcessMessage(MFT_MESSAGE_COMMAND_DRAIN, 0);
            drained_ = true;
        }
    }

    std::unique_ptr<Reader> reader_;
    AdtsSplitter splitter_;
    AdtsHeader stream_;  // the frames the decoder is set up for
    IMFTransform* transform_ = nullptr;
    IMFSample* output_ = nullptr;  // ours, unless the decoder brings its own
    uint64_t fedFrames_ = 0;
    bool atEnd_ = false, drained_ = false, opened_ = false;
};

}  // namespace

FMOD_RESULT OpenAacTransform(std::unique_ptr<Reader>& reader, TagList&, OpenedSound& out) {
    if (!reader->Seek(0)) return FMOD_ERR_FORMAT;
    auto decoder = std::make_unique<AacTransformDecoder>(reader);
    const FMOD_RESULT r = decoder->Open(reader);
    if (r != FMOD_OK) return r;
    out.format = decoder->Format();
    out.decoder = std::move(decoder);
    return FMOD_OK;
}

}  // namespace engine
