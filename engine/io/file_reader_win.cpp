#include <windows.h>

#include <string>

#include "io/file_reader.h"

namespace engine {
namespace {

class Win32FileReader : public Reader {
public:
    Win32FileReader(HANDLE file, uint64_t size) : file_(file), size_(size) {}
    ~Win32FileReader() override { CloseHandle(file_); }
    Win32FileReader(const Win32FileReader&) = delete;
    Win32FileReader& operator=(const Win32FileReader&) = delete;

    int64_t Read(void* buffer, size_t count) override {
        auto* out = static_cast<uint8_t*>(buffer);
        size_t done = 0;
        while (done < count) {
            DWORD step = count - done > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count - done);
            DWORD got = 0;
            if (!ReadFile(file_, out + done, step, &got, nullptr)) return done > 0 ? static_cast<int64_t>(done) : -1;
            if (got == 0) break;
            done += got;
        }
        position_ += done;
        return static_cast<int64_t>(done);
    }
    bool Seek(uint64_t offset) override {
        if (offset > size_) return false;
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(file_, to, nullptr, FILE_BEGIN)) return false;
        position_ = offset;
        return true;
    }
    uint64_t Tell() const override { return position_; }
    int64_t Size() const override { return static_cast<int64_t>(size_); }
    bool CanSeek() const override { return true; }

private:
    HANDLE file_;
    uint64_t size_;
    uint64_t position_ = 0;
};

// A name with characters the ANSI code page cannot hold reaches us as UTF-8; a name in
// the code page that merely looks like UTF-8 was tried as it is first.
HANDLE OpenUtf8Path(const char* path) {
    bool wideCharacters = false;
    for (const char* c = path; *c; ++c) wideCharacters = wideCharacters || static_cast<unsigned char>(*c) >= 0x80;
    if (!wideCharacters) return INVALID_HANDLE_VALUE;
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    if (length <= 0) return INVALID_HANDLE_VALUE;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, &wide[0], length);
    return CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

}  // namespace

std::unique_ptr<Reader> OpenWin32File(const char* path, FMOD_RESULT* result) {
    *result = FMOD_ERR_FILE_NOTFOUND;
    if (!path || !*path) return nullptr;
    // Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open, as wanted.
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) file = OpenUtf8Path(path);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return nullptr;
    }
    *result = FMOD_OK;
    return std::make_unique<Win32FileReader>(file, static_cast<uint64_t>(size.QuadPart));
}

}  // namespace engine
