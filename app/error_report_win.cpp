#include "app/error_report_win.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "app/error_report_text.h"
#include "app/program_end_win.h"
#include "ui/current_line.h"

namespace {

volatile LONG g_reportStarted = 0;

struct Report {
    DWORD code = 0;
    int line = 0;
};

void CopyToClipboard(const std::string& text) {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    void* target = memory ? GlobalLock(memory) : nullptr;
    if (target) {
        std::memcpy(target, text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    } else if (memory) {
        GlobalFree(memory);
    }
    CloseClipboard();
}

// Runs on a thread of its own: the faulting thread may have no stack left.
DWORD WINAPI ReportThread(void* parameter) {
    const Report* report = static_cast<const Report*>(parameter);
    const char* description = FaultDescription(report->code);
    MessageBoxA(nullptr, ErrorReportBoxText(description, report->line).c_str(), "Quendra - Fehler",
                MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
    // The box says the report was copied; the copy is made once it is closed.
    CopyToClipboard(ErrorReportClipboardText(description, report->line));
    EndProgram();
}

[[noreturn]] void ReportFault(DWORD code) {
    static Report report;
    if (InterlockedExchange(&g_reportStarted, 1) != 0) {
        for (;;) Sleep(INFINITE); // another thread is reporting already and will end the process
    }
    report.code = code;
    report.line = CurrentLine;
    HANDLE thread = CreateThread(nullptr, 64 * 1024, ReportThread, &report, 0, nullptr);
    if (thread) WaitForSingleObject(thread, INFINITE);
    ExitProcess(0);
}

bool IsProcessorFault(DWORD code) {
    return (code & 0xF0000000u) == 0xC0000000u || code == EXCEPTION_BREAKPOINT || code == EXCEPTION_SINGLE_STEP;
}

bool InModule(HMODULE module, const void* address) {
    if (!module) return false;
    HMODULE owner = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<const char*>(address), &owner) &&
           owner == module;
}

// First look at every exception: faults in our own code or the sound library are ours to
// report, before any handler inside the system can swallow them. Faults elsewhere (the
// system probing memory under its own guard) are left alone.
LONG CALLBACK FirstChanceHandler(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    const void* address = info->ExceptionRecord->ExceptionAddress;
    if (!IsProcessorFault(code)) return EXCEPTION_CONTINUE_SEARCH;
    if (!InModule(GetModuleHandleA(nullptr), address) && !InModule(GetModuleHandleA("fmodex.dll"), address))
        return EXCEPTION_CONTINUE_SEARCH;
    ReportFault(code);
}

// Whatever nobody handled ends here, raised exceptions included.
LONG WINAPI LastChanceFilter(EXCEPTION_POINTERS* info) {
    ReportFault(info->ExceptionRecord->ExceptionCode);
}

} // namespace

void InstallErrorReport() {
    AddVectoredExceptionHandler(1, FirstChanceHandler);
    SetUnhandledExceptionFilter(LastChanceFilter);
}
