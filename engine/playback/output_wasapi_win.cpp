// WASAPI shared mode, event-driven, in the device's mix format. The thread
// owns every COM object; when the device goes away mid-playback it releases
// them and keeps time silently, so playback positions carry on.
#include <windows.h>
#include <audioclient.h>
#include <mmdeviceapi.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <thread>
#include <vector>

#include "playback/device_samples.h"
#include "playback/wasapi_output.h"

namespace engine {
namespace {

const CLSID kMMDeviceEnumerator = {0xbcde0395, 0xe52f, 0x467c, {0x8e, 0x3d, 0xc4, 0x57, 0x92, 0x91, 0x69, 0x2e}};
const IID kIMMDeviceEnumerator = {0xa95664d2, 0x9614, 0x4f35, {0xa7, 0x46, 0xde, 0x8d, 0xb6, 0x36, 0x17, 0xe6}};
const IID kIAudioClient = {0x1cb9ad4c, 0xdbfa, 0x4c32, {0xb1, 0x78, 0xc2, 0xf5, 0x68, 0xa7, 0x03, 0xb2}};
const IID kIAudioRenderClient = {0xf294acfc, 0x3146, 0x4483, {0xa7, 0xbf, 0xad, 0xdc, 0xa7, 0xc2, 0x60, 0xe2}};

// 100 ms in 100-ns units: small enough for prompt pauses, large enough to ride out
// a busy machine without gaps.
constexpr REFERENCE_TIME kBufferDuration = 1000000;
constexpr DWORD kEventTimeoutMs = 200;

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() { if (p) p->Release(); }
    T** Out() { return &p; }
    T* operator->() const { return p; }
};

struct CoTaskFormat {
    WAVEFORMATEX* format = nullptr;
    ~CoTaskFormat() { CoTaskMemFree(format); }
};

struct EventHandle {
    HANDLE h = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ~EventHandle() { if (h) CloseHandle(h); }
};

// Which of our sample layouts the mix format is, if any.
bool SamplesOf(const WAVEFORMATEX* f, DeviceSamples* kind) {
    WORD tag = f->wFormatTag;
    WORD bits = f->wBitsPerSample;
    if (tag == WAVE_FORMAT_EXTENSIBLE && f->cbSize >= 22) {
        const auto* ext = reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(f);
        tag = static_cast<WORD>(ext->SubFormat.Data1);
    }
    if (tag == WAVE_FORMAT_IEEE_FLOAT && bits == 32) { *kind = DeviceSamples::Float32; return true; }
    if (tag != WAVE_FORMAT_PCM) return false;
    if (bits == 16) { *kind = DeviceSamples::Int16; return true; }
    if (bits == 24) { *kind = DeviceSamples::Int24; return true; }
    if (bits == 32) { *kind = DeviceSamples::Int32; return true; }
    return false;
}

class WasapiOutput : public Output {
public:
    explicit WasapiOutput(Mixer& mixer) : mixer_(mixer), thread_([this] { Run(); }) {}
    ~WasapiOutput() override {
        stop_ = true;
        thread_.join();
    }
    const char* Name() const override { return "wasapi"; }

    // True once the device runs; false when it could not be opened.
    bool WaitUntilOpen() {
        std::unique_lock<std::mutex> hold(lock_);
        opened_.wait_for(hold, std::chrono::seconds(10), [this] { return state_ != State::Opening; });
        return state_ == State::Running;
    }

private:
    enum class State { Opening, Running, Failed };

    void Report(State state) {
        {
            std::lock_guard<std::mutex> hold(lock_);
            state_ = state;
        }
        opened_.notify_all();
    }

    void Run() {
        const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
        RenderWithDevice();
        if (com) CoUninitialize();
    }

    void RenderWithDevice() {
        ComPtr<IMMDeviceEnumerator> enumerator;
        ComPtr<IMMDevice> device;
        ComPtr<IAudioClient> client;
        ComPtr<IAudioRenderClient> render;
        CoTaskFormat mix;
        EventHandle ready;
        DeviceSamples kind;
        UINT32 bufferFrames = 0;
        if (FAILED(CoCreateInstance(kMMDeviceEnumerator, nullptr, CLSCTX_ALL, kIMMDeviceEnumerator,
                                    reinterpret_cast<void**>(enumerator.Out()))) ||
            FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, device.Out())) ||
            FAILED(device->Activate(kIAudioClient, CLSCTX_ALL, nullptr, reinterpret_cast<void**>(client.Out()))) ||
            FAILED(client->GetMixFormat(&mix.format)) || !SamplesOf(mix.format, &kind) || !ready.h ||
            FAILED(client->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_EVENTCALLBACK, kBufferDuration,
                                      0, mix.format, nullptr)) ||
            FAILED(client->SetEventHandle(ready.h)) || FAILED(client->GetBufferSize(&bufferFrames)) ||
            FAILED(client->GetService(kIAudioRenderClient, reinterpret_cast<void**>(render.Out())))) {
            Report(State::Failed);
            return;
        }
        const int channels = mix.format->nChannels;
        mixer_.Configure({mix.format->nSamplesPerSec, channels});
        std::vector<float> buffer(static_cast<size_t>(bufferFrames) * channels);
        Report(State::Running);

        bool started = false;
        while (!stop_) {
            if (started && WaitForSingleObject(ready.h, kEventTimeoutMs) != WAIT_OBJECT_0) {
                // No event for a long while: a stalled device is as good as gone.
                UINT32 padding;
                if (FAILED(client->GetCurrentPadding(&padding))) break;
                continue;
            }
            UINT32 padding = 0;
            if (FAILED(client->GetCurrentPadding(&padding))) break;
            const UINT32 frames = bufferFrames - padding;
            if (frames > 0) {
                BYTE* data = nullptr;
                if (FAILED(render->GetBuffer(frames, &data))) break;
                mixer_.Render(buffer.data(), frames);
                FloatToDevice(buffer.data(), data, static_cast<size_t>(frames) * channels, kind);
                if (FAILED(render->ReleaseBuffer(frames, 0))) break;
            }
            mixer_.PublishQueued(padding + frames);
            if (!started) {
                if (FAILED(client->Start())) break;
                started = true;
            }
        }
        if (started) client->Stop();
        if (!stop_) {
            // The device went away: positions and the end of the track go on in silence.
            std::vector<float> silent(static_cast<size_t>(mix.format->nSamplesPerSec / 10) * channels);
            mixer_.PublishQueued(0);
            RunSilentTiming(mixer_, stop_, silent);
        }
    }

    Mixer& mixer_;
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::condition_variable opened_;
    State state_ = State::Opening;
    std::thread thread_;
};

}  // namespace

std::unique_ptr<Output> StartWasapiOutput(Mixer& mixer) {
    auto output = std::make_unique<WasapiOutput>(mixer);
    if (!output->WaitUntilOpen()) return nullptr;
    return output;
}

}  // namespace engine
