// WASAPI shared mode, event-driven, in the device's mix format, following the
// default render device (device_follower.h). The output thread owns every COM object.
#include <windows.h>
#include <audioclient.h>
#include <mmdeviceapi.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "playback/device_follower.h"
#include "playback/device_samples.h"
#include "playback/wasapi_output.h"

namespace engine {
namespace {

const CLSID kMMDeviceEnumerator = {0xbcde0395, 0xe52f, 0x467c, {0x8e, 0x3d, 0xc4, 0x57, 0x92, 0x91, 0x69, 0x2e}};
const IID kIMMDeviceEnumerator = {0xa95664d2, 0x9614, 0x4f35, {0xa7, 0x46, 0xde, 0x8d, 0xb6, 0x36, 0x17, 0xe6}};
const IID kIAudioClient = {0x1cb9ad4c, 0xdbfa, 0x4c32, {0xb1, 0x78, 0xc2, 0xf5, 0x68, 0xa7, 0x03, 0xb2}};
const IID kIAudioRenderClient = {0xf294acfc, 0x3146, 0x4483, {0xa7, 0xbf, 0xad, 0xdc, 0xa7, 0xc2, 0x60, 0xe2}};
const IID kIMMNotificationClient = {0x7991eec9, 0x7e89, 0x4d85, {0x83, 0x90, 0x6c, 0x70, 0x3c, 0xec, 0x60, 0xc0}};

// 100 ms in 100-ns units: small enough for prompt pauses, large enough to ride out
// a busy machine without gaps.
constexpr REFERENCE_TIME kBufferDuration = 1000000;
// Not every system tells about a new default device: it is also looked up this often.
constexpr DWORD kDefaultPollMs = 1000;

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { if (p) p->Release(); }
    T** Out() { return &p; }
    void** OutVoid() { return reinterpret_cast<void**>(&p); }
    T* operator->() const { return p; }
};

struct CoTaskFormat {
    WAVEFORMATEX* format = nullptr;
    ~CoTaskFormat() { CoTaskMemFree(format); }
};

struct EventHandle {
    HANDLE h = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    EventHandle() = default;
    EventHandle(const EventHandle&) = delete;
    EventHandle& operator=(const EventHandle&) = delete;
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

class WasapiDevice : public RenderDevice {
public:
    // False when any step of opening fails; the object is then dropped.
    bool Open(IMMDevice* device) {
        if (FAILED(device->Activate(kIAudioClient, CLSCTX_ALL, nullptr, client_.OutVoid())) ||
            FAILED(client_->GetMixFormat(&mix_.format)) || !SamplesOf(mix_.format, &kind_) || !ready_.h ||
            FAILED(client_->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_EVENTCALLBACK, kBufferDuration,
                                       0, mix_.format, nullptr)) ||
            FAILED(client_->SetEventHandle(ready_.h)) || FAILED(client_->GetBufferSize(&bufferFrames_)) ||
            FAILED(client_->GetService(kIAudioRenderClient, render_.OutVoid())))
            return false;
        format_ = {mix_.format->nSamplesPerSec, mix_.format->nChannels};
        return format_.sampleRate > 0 && format_.channels > 0 && bufferFrames_ > 0;
    }
    ~WasapiDevice() override {
        if (started_) client_->Stop();
    }

    OutputFormat Format() const override { return format_; }
    uint32_t BufferFrames() const override { return bufferFrames_; }
    void WaitForRoom(uint32_t timeoutMs) override { WaitForSingleObject(ready_.h, timeoutMs); }
    bool QueuedFrames(uint32_t* frames) override {
        UINT32 padding = 0;
        if (FAILED(client_->GetCurrentPadding(&padding))) return false;
        *frames = padding;
        return true;
    }
    bool Write(const float* samples, uint32_t frames) override {
        BYTE* data = nullptr;
        if (FAILED(render_->GetBuffer(frames, &data))) return false;
        FloatToDevice(samples, data, static_cast<size_t>(frames) * format_.channels, kind_);
        return SUCCEEDED(render_->ReleaseBuffer(frames, 0));
    }
    bool Start() override {
        started_ = SUCCEEDED(client_->Start());
        return started_;
    }

private:
    ComPtr<IAudioClient> client_;
    ComPtr<IAudioRenderClient> render_;
    CoTaskFormat mix_;
    EventHandle ready_;
    DeviceSamples kind_ = DeviceSamples::Float32;
    OutputFormat format_;
    UINT32 bufferFrames_ = 0;
    bool started_ = false;
};

// Hears of a new default render device from the system (on a thread of its own).
class DefaultDeviceWatch : public IMMNotificationClient {
public:
    std::atomic<bool> changed{false};

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == kIMMNotificationClient) {
            *out = static_cast<IMMNotificationClient*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives as long as the provider, which unregisters it first.
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override {
        if (flow == eRender && role == eConsole) changed = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }
};

class WasapiDevices : public DeviceProvider {
public:
    WasapiDevices() {
        if (SUCCEEDED(CoCreateInstance(kMMDeviceEnumerator, nullptr, CLSCTX_ALL, kIMMDeviceEnumerator,
                                       enumerator_.OutVoid())))
            watching_ = SUCCEEDED(enumerator_->RegisterEndpointNotificationCallback(&watch_));
    }
    ~WasapiDevices() override {
        if (watching_) enumerator_->UnregisterEndpointNotificationCallback(&watch_);
    }

    std::unique_ptr<RenderDevice> OpenDefault() override {
        watch_.changed = false;
        lastPoll_ = GetTickCount();
        openedId_ = DefaultId();
        ComPtr<IMMDevice> device;
        if (!enumerator_.p || FAILED(enumerator_->GetDefaultAudioEndpoint(eRender, eConsole, device.Out())))
            return nullptr;
        auto opened = std::make_unique<WasapiDevice>();
        if (!opened->Open(device.p)) return nullptr;
        return opened;
    }

    bool DefaultChanged() override {
        if (watch_.changed.exchange(false)) return true;
        if (GetTickCount() - lastPoll_ < kDefaultPollMs) return false;
        lastPoll_ = GetTickCount();
        return DefaultId() != openedId_;
    }

private:
    std::wstring DefaultId() {
        ComPtr<IMMDevice> device;
        LPWSTR id = nullptr;
        if (!enumerator_.p || FAILED(enumerator_->GetDefaultAudioEndpoint(eRender, eConsole, device.Out())) ||
            FAILED(device->GetId(&id)))
            return std::wstring();
        std::wstring copy(id);
        CoTaskMemFree(id);
        return copy;
    }

    ComPtr<IMMDeviceEnumerator> enumerator_;
    DefaultDeviceWatch watch_;
    bool watching_ = false;
    std::wstring openedId_;
    DWORD lastPoll_ = 0;
};

class WasapiOutput : public Output {
public:
    explicit WasapiOutput(Mixer& mixer) : mixer_(mixer), thread_([this] { Run(); }) {}
    ~WasapiOutput() override {
        stop_ = true;
        thread_.join();
    }
    const char* Name() const override { return "wasapi"; }

    // True once the first device runs; false when none could be opened.
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
        bool running = false;
        try {
            WasapiDevices devices;
            auto first = devices.OpenDefault();
            if (first) mixer_.Configure(first->Format());
            running = first != nullptr;
            Report(running ? State::Running : State::Failed);
            if (running) FollowDefaultDevice(mixer_, devices, std::move(first), stop_);
        } catch (...) {
            // Out of memory on the output thread. Before the start the null output takes
            // over; after it, time goes on in silence if a buffer can still be had.
            if (!running) Report(State::Failed);
            try {
                std::vector<float> silent(static_cast<size_t>(mixer_.Format().sampleRate / 10) * mixer_.Format().channels);
                if (running) RunSilentTiming(mixer_, silent, [this] { return !stop_.load(); });
            } catch (...) {
            }
        }
        if (com) CoUninitialize();
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
