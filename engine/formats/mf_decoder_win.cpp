// AAC in MP4/M4A and ADTS through Media Foundation's source reader, where the system has
// it (mfplat.dll and mfreadwrite.dll are loaded when the first such file is opened; without
// them, or without a decoder, the file is refused). Our file reaches it through an IStream;
// it hands out 16-bit PCM. The type reported is FMOD_SOUND_TYPE_ASF: the header has no
// type for AAC or MP4, and ASF is the one that stands for the system's media runtime.
#include <windows.h>
#include <mfapi.h>
#include <mferror.h>
#include <mfidl.h>
#include <mfreadwrite.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "formats/reader_stream_win.h"
#include "formats/system_decoders.h"

namespace engine {
namespace {

constexpr uint64_t kUnitsPerSecond = 10000000;  // Media Foundation's times are in 100 ns
constexpr DWORD kAudio = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);
// AAC frames overlap their neighbours: a seek starts this far earlier, so that the decoder
// has settled by the frame asked for; what comes before it is dropped.
constexpr uint64_t kSeekPrerollFrames = 4096;

struct MediaFoundation {
    HRESULT(WINAPI* createByteStream)(IStream*, IMFByteStream**) = nullptr;
    HRESULT(WINAPI* createSourceReader)(IMFByteStream*, IMFAttributes*, IMFSourceReader**) = nullptr;
    HRESULT(WINAPI* createMediaType)(IMFMediaType**) = nullptr;
    bool ready = false;
};

template <typename Fn>
void Resolve(HMODULE module, const char* name, Fn& fn) {
    fn = module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// Loaded and started once, kept for the life of the process.
const MediaFoundation& LoadMediaFoundation() {
    static const MediaFoundation mf = [] {
        MediaFoundation m;
        HMODULE plat = LoadLibraryW(L"mfplat.dll");
        HMODULE readwrite = LoadLibraryW(L"mfreadwrite.dll");
        HRESULT(WINAPI * startup)(ULONG, DWORD) = nullptr;
        Resolve(plat, "MFStartup", startup);
        Resolve(plat, "MFCreateMFByteStreamOnStream", m.createByteStream);
        Resolve(plat, "MFCreateMediaType", m.createMediaType);
        Resolve(readwrite, "MFCreateSourceReaderFromByteStream", m.createSourceReader);
        m.ready = startup && m.createByteStream && m.createMediaType && m.createSourceReader &&
                  SUCCEEDED(startup(MF_VERSION, MFSTARTUP_LITE));
        return m;
    }();
    return mf;
}

template <typename T>
void ReleaseCom(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

uint64_t TimeToFrames(uint64_t time, uint32_t rate) {
    return time / kUnitsPerSecond * rate + time % kUnitsPerSecond * rate / kUnitsPerSecond;
}

class MfDecoder : public Decoder {
public:
    ~MfDecoder() override {
        ReleaseCom(source_);
        ReleaseCom(bytes_);
        ReleaseCom(stream_);
    }

    FMOD_RESULT Open(std::unique_ptr<Reader>& reader, const wchar_t* contentType) {
        const MediaFoundation& mf = LoadMediaFoundation();
        if (!mf.ready) return FMOD_ERR_FORMAT;
        EnsureComOnThisThread();
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

    const StreamFormat& Format() const override { return format_; }

    int64_t ReadFrames(float* out, size_t maxFrames) override {
        EnsureComOnThisThread();
        const int channels = format_.channels;
        size_t written = 0;
        while (written < maxFrames && (format_.lengthFrames == 0 || frame_ < format_.lengthFrames)) {
            if (pendingAt_ == pending_.size()) {
                const int r = NextSample();
                if (r < 0) return written > 0 ? static_cast<int64_t>(written) : -1;
                if (r == 0) {
                    if (format_.lengthFrames > frame_) format_.lengthFrames = frame_;  // shorter than announced
                    break;
                }
                continue;
            }
            size_t n = std::min(maxFrames - written, (pending_.size() - pendingAt_) / channels);
            if (format_.lengthFrames) n = static_cast<size_t>(std::min<uint64_t>(n, format_.lengthFrames - frame_));
            for (size_t i = 0; i < n * channels; ++i) out[written * channels + i] = pending_[pendingAt_ + i] / 32768.0f;
            pendingAt_ += n * channels;
            written += n;
            frame_ += n;
        }
        return static_cast<int64_t>(written);
    }

    bool SeekToFrame(uint64_t frame) override {
        EnsureComOnThisThread();
        if (format_.lengthFrames) frame = std::min(frame, format_.lengthFrames);
        PROPVARIANT position;
        PropVariantInit(&position);
        position.vt = VT_I8;
        const uint64_t start = frame > kSeekPrerollFrames ? frame - kSeekPrerollFrames : 0;
        position.hVal.QuadPart = static_cast<LONGLONG>(start / format_.sampleRate * kUnitsPerSecond +
                                                       start % format_.sampleRate * kUnitsPerSecond / format_.sampleRate);
        if (FAILED(source_->SetCurrentPosition(GUID_NULL, position))) return false;
        pending_.clear();
        pendingAt_ = 0;
        frame_ = seekTarget_ = frame;
        trimAfterSeek_ = true;
        ended_ = false;
        return true;
    }

private:
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
            format_.lengthFrames = TimeToFrames(duration.uhVal.QuadPart, rate);
        PropVariantClear(&duration);
        return true;
    }

    // The next decoded sample into pending_: 1, 0 at the end, -1 on an error.
    int NextSample() {
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
        bool ok = SUCCEEDED(sample->ConvertToContiguousBuffer(&buffer)) && SUCCEEDED(buffer->Lock(&data, nullptr, &bytes));
        if (ok) {
            pending_.resize(bytes / 2 / format_.channels * format_.channels);
            std::memcpy(pending_.data(), data, pending_.size() * 2);
            buffer->Unlock();
        }
        ReleaseCom(buffer);
        sample->Release();
        if (!ok) return -1;
        pendingAt_ = 0;
        if (trimAfterSeek_) {
            // The source starts at a frame before the time asked for: drop what lies before it.
            const uint64_t first = time > 0 ? TimeToFrames(static_cast<uint64_t>(time), format_.sampleRate) : 0;
            const uint64_t frames = pending_.size() / format_.channels;
            if (seekTarget_ >= first + frames) {
                pendingAt_ = pending_.size();
            } else {
                if (seekTarget_ > first) pendingAt_ = static_cast<size_t>(seekTarget_ - first) * format_.channels;
                trimAfterSeek_ = false;
            }
        }
        return 1;
    }

    IStream* stream_ = nullptr;
    IMFByteStream* bytes_ = nullptr;
    IMFSourceReader* source_ = nullptr;
    StreamFormat format_;
    std::vector<int16_t> pending_;
    size_t pendingAt_ = 0;
    uint64_t frame_ = 0;
    uint64_t seekTarget_ = 0;
    bool trimAfterSeek_ = false;
    bool ended_ = false;
};

}  // namespace

FMOD_RESULT OpenMediaFoundation(std::unique_ptr<Reader>& reader, TagList&, OpenedSound& out) {
    uint8_t head[8];
    if (!reader->Seek(0) || !ReadExact(*reader, head, sizeof head) || !reader->Seek(0)) return FMOD_ERR_FORMAT;
    const bool mp4 = std::memcmp(head + 4, "ftyp", 4) == 0;
    auto decoder = std::make_unique<MfDecoder>();
    const FMOD_RESULT r = decoder->Open(reader, mp4 ? L"audio/mp4" : L"audio/aac");
    if (r != FMOD_OK) return r;
    out.format = decoder->Format();
    out.decoder = std::move(decoder);
    return FMOD_OK;
}

}  // namespace engine
