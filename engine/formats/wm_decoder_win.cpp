// WMA (and any audio in ASF) through the Windows Media runtime's synchronous reader:
// wmvcore.dll is loaded when the first such file is opened, so the library starts where
// it is missing (such files are then refused). The reader gets our file through an
// IStream and hands out 16-bit PCM; length and tags come from our own header parse.
#include <windows.h>
#include <wmsdkidl.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "formats/asf_header.h"
#include "formats/reader_stream_win.h"
#include "formats/system_pcm_decoder.h"
#include "formats/system_decoders.h"

namespace engine {
namespace {

constexpr GUID kMediaTypeAudio = {0x73647561, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr GUID kFormatWaveFormatEx = {0x05589F81, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
constexpr HRESULT kNoMoreSamples = static_cast<HRESULT>(0xC00D0BCF);

using CreateSyncReaderFn = HRESULT(WINAPI*)(IUnknown*, DWORD, IWMSyncReader**);

CreateSyncReaderFn LoadCreateSyncReader() {
    static const CreateSyncReaderFn create = [] {
        HMODULE module = LoadLibraryW(L"wmvcore.dll");  // kept for the life of the process
        if (!module) return CreateSyncReaderFn{};
        void* address = reinterpret_cast<void*>(GetProcAddress(module, "WMCreateSyncReader"));
        return reinterpret_cast<CreateSyncReaderFn>(address);
    }();
    return create;
}

// The wave format an output offers with these props: 16-bit PCM, or false.
bool OffersPcm16(IWMOutputMediaProps* props, WAVEFORMATEX& format) {
    DWORD size = 0;
    if (FAILED(props->GetMediaType(nullptr, &size)) || size < sizeof(WM_MEDIA_TYPE)) return false;
    std::vector<uint8_t> buffer(size);
    auto* type = reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data());
    if (FAILED(props->GetMediaType(type, &size))) return false;
    if (type->majortype != kMediaTypeAudio || type->formattype != kFormatWaveFormatEx ||
        type->cbFormat < sizeof(PCMWAVEFORMAT) || !type->pbFormat)
        return false;
    std::memcpy(&format, type->pbFormat, sizeof(PCMWAVEFORMAT));
    format.cbSize = 0;
    return format.wFormatTag == WAVE_FORMAT_PCM && format.wBitsPerSample == 16 &&
           PlausibleLayout(format.nChannels, format.nSamplesPerSec);
}

class WmDecoder : public SystemPcmDecoder {
public:
    ~WmDecoder() override {
        ScopedCom com;  // released on whichever thread lets the sound go
        if (sync_) sync_->Close();  // stops the runtime's own reading before the stream goes
        ReleaseCom(sync_);
        ReleaseCom(stream_);
    }

    // Opens the stream and picks the first audio output in 16-bit PCM.
    FMOD_RESULT Open(std::unique_ptr<Reader>& reader, const AsfHeader& header) {
        const int64_t size = reader->Size();
        format_.rawBytes = size > static_cast<int64_t>(header.headerBytes) ? size - header.headerBytes : 0;
        CreateSyncReaderFn create = LoadCreateSyncReader();
        if (!create) return FMOD_ERR_FORMAT;
        ScopedCom com;
        if (FAILED(create(nullptr, 0, &sync_))) return FMOD_ERR_FORMAT;
        stream_ = MakeReaderStream(std::move(reader));
        if (FAILED(sync_->OpenStream(stream_)) || !ChooseOutput()) {
            sync_->Close();
            ReleaseCom(sync_);
            reader = TakeReader(stream_);
            return FMOD_ERR_FORMAT;
        }
        format_.type = FMOD_SOUND_TYPE_ASF;
        format_.format = FMOD_SOUND_FORMAT_PCM16;
        format_.bitsPerSample = 16;
        // The header counts frames at the stream's rate; the output's may differ.
        const uint32_t streamRate = std::max<uint32_t>(header.audio.sampleRate, 1);
        format_.lengthFrames = header.LengthFrames() * format_.sampleRate / streamRate;
        return FMOD_OK;
    }

private:
    bool SeekToTime(uint64_t time) override {
        EnsureComOnThisThread();
        return SUCCEEDED(sync_->SetRange(time, 0));
    }

    bool ChooseOutput() {
        DWORD outputs = 0;
        if (FAILED(sync_->GetOutputCount(&outputs))) return false;
        for (DWORD output = 0; output < outputs; ++output) {
            DWORD formats = 0;
            if (FAILED(sync_->GetOutputFormatCount(output, &formats))) continue;
            for (DWORD i = 0; i < formats; ++i) {
                IWMOutputMediaProps* props = nullptr;
                if (FAILED(sync_->GetOutputFormat(output, i, &props))) continue;
                WAVEFORMATEX wave{};
                const bool chosen = OffersPcm16(props, wave) && SUCCEEDED(sync_->SetOutputProps(output, props)) &&
                                    SUCCEEDED(sync_->GetStreamNumberForOutput(output, &streamNumber_));
                props->Release();
                if (chosen) {
                    format_.channels = wave.nChannels;
                    format_.sampleRate = wave.nSamplesPerSec;
                    return true;
                }
            }
        }
        return false;
    }

    int NextBlock() override {
        EnsureComOnThisThread();
        INSSBuffer* buffer = nullptr;
        QWORD time = 0, duration = 0;
        DWORD flags = 0, output = 0;
        WORD stream = 0;
        const HRESULT hr = sync_->GetNextSample(streamNumber_, &buffer, &time, &duration, &flags, &output, &stream);
        if (hr == kNoMoreSamples) return 0;
        if (FAILED(hr) || !buffer) return -1;
        BYTE* data = nullptr;
        DWORD bytes = 0;
        const bool ok = SUCCEEDED(buffer->GetBufferAndLength(&data, &bytes));
        if (ok) TakeBlock(data, bytes, time);
        buffer->Release();
        return ok ? 1 : -1;
    }

    IWMSyncReader* sync_ = nullptr;
    IStream* stream_ = nullptr;
    WORD streamNumber_ = 0;
};

}  // namespace

FMOD_RESULT OpenWindowsMedia(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out) {
    AsfHeader header;
    if (!reader->CanSeek() || !ReadAsfHeader(*reader, header, tags) || !header.hasAudio) return FMOD_ERR_FORMAT;
    auto decoder = std::make_unique<WmDecoder>();
    const FMOD_RESULT r = decoder->Open(reader, header);
    if (r != FMOD_OK) return r;
    out.format = decoder->Format();
    out.decoder = std::move(decoder);
    return FMOD_OK;
}

}  // namespace engine
