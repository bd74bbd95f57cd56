#include "formats/reader_stream_win.h"

#include <atomic>
#include <cstring>
#include <mutex>

namespace engine {
namespace {

class ReaderStream final : public IStream {
public:
    explicit ReaderStream(std::unique_ptr<Reader> reader) : reader_(std::move(reader)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream) {
            *out = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* done) override {
        std::lock_guard<std::mutex> hold(lock_);
        ULONG total = 0;
        if (!reader_) return STG_E_READFAULT;
        if (reader_->Tell() != position_ && !reader_->Seek(position_)) return STG_E_READFAULT;
        while (total < count) {
            const int64_t got = reader_->Read(static_cast<uint8_t*>(buffer) + total, count - total);
            if (got < 0) return STG_E_READFAULT;
            if (got == 0) break;
            total += static_cast<ULONG>(got);
        }
        position_ += total;
        if (done) *done = total;
        return total == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }

    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* now) override {
        std::lock_guard<std::mutex> hold(lock_);
        int64_t base = 0;
        if (origin == STREAM_SEEK_CUR) base = static_cast<int64_t>(position_);
        else if (origin == STREAM_SEEK_END) base = reader_ ? reader_->Size() : -1;
        else if (origin != STREAM_SEEK_SET) return STG_E_INVALIDFUNCTION;
        const int64_t target = base + move.QuadPart;
        if (base < 0 || target < 0) return STG_E_INVALIDFUNCTION;
        position_ = static_cast<uint64_t>(target);  // read there lazily: past the end reads nothing
        if (now) now->QuadPart = position_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
        std::lock_guard<std::mutex> hold(lock_);
        if (!stat) return STG_E_INVALIDPOINTER;
        if (!reader_) return STG_E_READFAULT;
        std::memset(stat, 0, sizeof *stat);
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = static_cast<ULONGLONG>(reader_->Size() < 0 ? 0 : reader_->Size());
        stat->grfMode = STGM_READ;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return STG_E_ACCESSDENIED; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

    std::unique_ptr<Reader> Take() {
        std::lock_guard<std::mutex> hold(lock_);
        return std::move(reader_);
    }

private:
    ~ReaderStream() = default;

    std::atomic<ULONG> references_{1};
    std::mutex lock_;
    std::unique_ptr<Reader> reader_;
    uint64_t position_ = 0;
};

}  // namespace

IStream* MakeReaderStream(std::unique_ptr<Reader> reader) { return new ReaderStream(std::move(reader)); }

std::unique_ptr<Reader> TakeReader(IStream* stream) { return static_cast<ReaderStream*>(stream)->Take(); }

bool EnsureComOnThisThread() {
    thread_local const bool ready = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    return ready;
}

}  // namespace engine
