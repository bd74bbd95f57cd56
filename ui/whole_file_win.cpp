#include "ui/whole_file_win.h"

#include <windows.h>

bool ReadWholeFile(const std::string& path, std::string* bytes, size_t limit) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes->clear();
    char buffer[64 * 1024];
    DWORD got = 0;
    bool ok = true;
    while (bytes->size() < limit) {
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        bytes->append(buffer, got);
    }
    if (bytes->size() > limit) bytes->resize(limit);
    CloseHandle(file);
    return ok;
}

namespace {

// An old file larger than this is not held in memory to be put back: it is not ours.
constexpr LONGLONG kMaxInPlaceBytes = 64 * 1024 * 1024;

bool WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    LARGE_INTEGER start = {};
    return SetFilePointerEx(file, start, nullptr, FILE_BEGIN) &&
           WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && SetEndOfFile(file) && FlushFileBuffers(file);
}

bool WriteInPlace(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    std::string old;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= kMaxInPlaceBytes;
    if (ok) {
        old.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = old.empty() || (ReadFile(file, &old[0], static_cast<DWORD>(old.size()), &got, nullptr) && got == old.size());
    }
    if (ok && !WriteAll(file, bytes)) {
        WriteAll(file, old);
        ok = false;
    }
    CloseHandle(file);
    return ok;
}

} // namespace

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".new";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return WriteInPlace(path, bytes);
    DWORD written = 0;
    const bool complete = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                          written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    bool placed = false;
    if (complete) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            placed = MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
        } else {
            placed = ReplaceFileA(path.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                                  nullptr) != FALSE;
            // Not every system's replace carries the attributes over.
            if (placed) SetFileAttributesA(path.c_str(), attributes);
        }
    }
    if (!placed) DeleteFileA(temporary.c_str());
    return placed;
}
