#include "playlist/stream_download_win.h"

#include <windows.h>
#include <urlmon.h>

#include <cstdio>

#include "playlist/open_stream.h"
#include "ui/dialog_win.h"

namespace {

constexpr ULONG kMaxDownloadBytes = 1024 * 1024;
constexpr DWORD kMaxDownloadMs = 10000;
constexpr size_t kHeadBytes = 64;

// Lives on the heap, shared by the player's thread and the download's thread: a download
// that outlasts the bound is abandoned, not waited for, and frees it when it ends.
class Download final : public IBindStatusCallback {
public:
    Download(const std::string& address, const std::string& path) : address_(address), path_(path) {
        InitializeCriticalSection(&lock_);
    }

    bool Start() {
        AddRef(); // the thread's reference
        HANDLE thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        if (!thread) {
            Release();
            return false;
        }
        CloseHandle(thread);
        return true;
    }

    bool Over() { return InterlockedCompareExchange(&over_, 0, 0) != 0; }
    void Abandon() { InterlockedExchange(&abandoned_, 1); }

    StreamAnswer Answer() {
        EnterCriticalSection(&lock_);
        StreamAnswer answer;
        answer.saved = Over() && result_ == S_OK;
        answer.contentType = contentType_;
        const std::string headFile = answer.saved ? path_ : cacheFile_;
        LeaveCriticalSection(&lock_);
        answer.head = FirstBytes(headFile);
        return answer;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
            *object = static_cast<IBindStatusCallback*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG, ULONG status, LPCWSTR text) override {
        EnterCriticalSection(&lock_);
        if (status == BINDSTATUS_MIMETYPEAVAILABLE) contentType_ = NarrowText(text);
        if (status == BINDSTATUS_CACHEFILENAMEAVAILABLE) cacheFile_ = NarrowText(text);
        const bool audio = ContentTypeIsAudio(contentType_);
        LeaveCriticalSection(&lock_);
        const bool tooLong = progress > kMaxDownloadBytes || GetTickCount() - start_ > kMaxDownloadMs;
        return audio || tooLong || InterlockedCompareExchange(&abandoned_, 0, 0) ? E_ABORT : S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD*, BINDINFO*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

private:
    ~Download() { DeleteCriticalSection(&lock_); }

    static DWORD WINAPI Run(void* parameter) {
        Download* self = static_cast<Download*>(parameter);
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const HRESULT result = URLDownloadToFileA(nullptr, self->address_.c_str(), self->path_.c_str(), 0, self);
        if (SUCCEEDED(com)) CoUninitialize();
        EnterCriticalSection(&self->lock_);
        self->result_ = result;
        LeaveCriticalSection(&self->lock_);
        InterlockedExchange(&self->over_, 1);
        PostThreadMessageA(self->playerThread_, WM_NULL, 0, 0); // wakes the waiting loop
        self->Release();
        return 0;
    }

    static std::string NarrowText(LPCWSTR text) {
        std::string narrow;
        for (; text && *text; ++text) narrow += static_cast<char>(*text < 0x100 ? *text : '?');
        return narrow;
    }

    static std::string FirstBytes(const std::string& path) {
        char bytes[kHeadBytes] = {};
        FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
        if (!file) return "";
        const size_t got = std::fread(bytes, 1, sizeof bytes, file);
        std::fclose(file);
        return std::string(bytes, got);
    }

    LONG references_ = 1;
    LONG over_ = 0;
    LONG abandoned_ = 0;
    const std::string address_;
    const std::string path_;
    const DWORD start_ = GetTickCount();
    const DWORD playerThread_ = GetCurrentThreadId();
    CRITICAL_SECTION lock_;
    HRESULT result_ = E_FAIL;
    std::string contentType_;
    std::string cacheFile_;
};

Download* g_waitingFor = nullptr;
bool g_timeUp = false;

void CALLBACK TimeUp(HWND, UINT, UINT_PTR, DWORD) { g_timeUp = true; }

} // namespace

StreamAnswer DownloadStreamAnswer(const std::string& address, const std::string& path) {
    Download* download = new Download(address, path);
    if (!download->Start()) {
        download->Release();
        return StreamAnswer();
    }
    // A little beyond the bound, for a download that no progress report can stop.
    g_timeUp = false;
    g_waitingFor = download;
    const UINT_PTR timer = SetTimer(nullptr, 0, kMaxDownloadMs + 1000, TimeUp);
    RunDialogLoop([] { return g_timeUp || g_waitingFor->Over(); });
    if (timer) KillTimer(nullptr, timer);
    g_waitingFor = nullptr;
    download->Abandon();
    const StreamAnswer answer = download->Answer();
    download->Release();
    return answer;
}
