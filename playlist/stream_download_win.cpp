#include "playlist/stream_download_win.h"

#include <windows.h>
#include <urlmon.h>
#include <wininet.h>

#include <cstdio>
#include <cstring>

#include "playlist/open_stream.h"
#include "ui/dialog_win.h"

namespace {

constexpr size_t kMaxDownloadBytes = 1024 * 1024;
constexpr DWORD kMaxDownloadMs = 10000;
constexpr size_t kHeadBytes = 64;

// Shared by the player's thread and the download's thread: a download that outlasts the
// bound is abandoned, not waited for, and whichever side lets go last frees this.
struct Download {
    LONG references = 2;
    LONG over = 0;
    LONG abandoned = 0;
    std::string address;
    std::string path;
    DWORD playerThread = GetCurrentThreadId();
    DWORD start = GetTickCount();
    CRITICAL_SECTION lock;
    StreamAnswer answer; // under `lock`
};

void LetGo(Download* download) {
    if (InterlockedDecrement(&download->references) != 0) return;
    DeleteCriticalSection(&download->lock);
    delete download;
}

bool IsSet(LONG* flag) {
    return InterlockedCompareExchange(flag, 0, 0) != 0;
}

bool IsInternetAddress(const std::string& address) {
    const std::string head = address.substr(0, 8);
    for (const char* scheme : {"http://", "https://", "ftp://"}) {
        if (_strnicmp(head.c_str(), scheme, std::strlen(scheme)) == 0) return true;
    }
    return false;
}

std::string HeaderText(HINTERNET request, DWORD header) {
    char text[256] = {};
    DWORD size = sizeof text - 1;
    return HttpQueryInfoA(request, header, text, &size, nullptr) ? std::string(text, size) : std::string();
}

// Reads the body while it may still be a list: true when it ended within the bounds.
bool ReadBody(HINTERNET request, Download* download, const std::string& contentType, std::string* body) {
    char buffer[16 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!InternetReadFile(request, buffer, sizeof buffer, &got)) return false;
        if (got == 0) return true;
        body->append(buffer, got);
        // An endless stream served under another type shows itself by its first bytes.
        if (KindOfAnswer(contentType, body->data(), body->size() < kHeadBytes ? body->size() : kHeadBytes) ==
            AnswerKind::Audio)
            return false;
        if (body->size() > kMaxDownloadBytes || GetTickCount() - download->start > kMaxDownloadMs ||
            IsSet(&download->abandoned))
            return false;
    }
}

bool WriteListFile(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

StreamAnswer FetchFromInternet(Download* download) {
    StreamAnswer answer;
    HINTERNET session = InternetOpenA("Quendra", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) return answer;
    DWORD timeout = kMaxDownloadMs;
    InternetSetOptionA(session, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof timeout);
    InternetSetOptionA(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
    HINTERNET request = InternetOpenUrlA(session, download->address.c_str(), nullptr, 0,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI, 0);
    if (request) {
        DWORD status = 0;
        DWORD size = sizeof status;
        const bool failed = HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                                           nullptr) && status >= 400;
        const std::string contentType = HeaderText(request, HTTP_QUERY_CONTENT_TYPE);
        // Audio is known by its type before a byte is read: the stream is never fetched.
        if (!failed) answer.contentType = contentType;
        if (!failed && !ContentTypeIsAudio(contentType)) {
            std::string body;
            const bool complete = ReadBody(request, download, contentType, &body);
            answer.head = body.substr(0, kHeadBytes);
            answer.saved = complete && WriteListFile(download->path, body);
        }
        InternetCloseHandle(request);
    }
    InternetCloseHandle(session);
    return answer;
}

// Local paths and file addresses: no server, no endless answer.
StreamAnswer FetchOtherwise(const Download& download) {
    StreamAnswer answer;
    answer.saved = URLDownloadToFileA(nullptr, download.address.c_str(), download.path.c_str(), 0, nullptr) == S_OK;
    if (!answer.saved) return answer;
    char bytes[kHeadBytes] = {};
    FILE* file = std::fopen(download.path.c_str(), "rb");
    if (file) {
        answer.head.assign(bytes, std::fread(bytes, 1, sizeof bytes, file));
        std::fclose(file);
    }
    return answer;
}

DWORD WINAPI RunDownload(void* parameter) {
    Download* download = static_cast<Download*>(parameter);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const StreamAnswer answer = IsInternetAddress(download->address) ? FetchFromInternet(download)
                                                                     : FetchOtherwise(*download);
    if (SUCCEEDED(com)) CoUninitialize();
    EnterCriticalSection(&download->lock);
    download->answer = answer;
    LeaveCriticalSection(&download->lock);
    InterlockedExchange(&download->over, 1);
    PostThreadMessageA(download->playerThread, WM_NULL, 0, 0); // wakes the waiting loop
    LetGo(download);
    return 0;
}

Download* g_waitingFor = nullptr;
bool g_timeUp = false;

void CALLBACK TimeUp(HWND, UINT, UINT_PTR, DWORD) { g_timeUp = true; }

} // namespace

StreamAnswer DownloadStreamAnswer(const std::string& address, const std::string& path) {
    Download* download = new Download;
    download->address = address;
    download->path = path;
    InitializeCriticalSection(&download->lock);
    HANDLE thread = CreateThread(nullptr, 0, RunDownload, download, 0, nullptr);
    if (!thread) {
        download->references = 1;
        LetGo(download);
        return StreamAnswer();
    }
    CloseHandle(thread);
    // A little beyond the bound, for a connection that no time-out of its own ends.
    g_timeUp = false;
    g_waitingFor = download;
    const UINT_PTR timer = SetTimer(nullptr, 0, kMaxDownloadMs + 1000, TimeUp);
    RunDialogLoop([] { return g_timeUp || IsSet(&g_waitingFor->over); });
    if (timer) KillTimer(nullptr, timer);
    g_waitingFor = nullptr;
    InterlockedExchange(&download->abandoned, 1);
    EnterCriticalSection(&download->lock);
    const StreamAnswer answer = download->answer;
    LeaveCriticalSection(&download->lock);
    LetGo(download);
    return answer;
}
