#include "app/single_instance_win.h"

#include <windows.h>

#include "ui/ui_numbers.h"

namespace {

// The first instance may still be starting. Its window appears within a second or two;
// after a minute something is wrong with it and the argument is given up rather than
// leaving a hidden process behind.
constexpr DWORD kWindowWaitLimitMs = 60000;

HWND FindFirstInstanceWindow() {
    return FindWindowA(nullptr, "Quendra Player");
}

[[noreturn]] void HandOver(const char* argument) {
    const DWORD start = GetTickCount();
    while (static_cast<LONG>(GetTickCount() - start) < static_cast<LONG>(kWindowWaitLimitMs)) {
        Sleep(1);
        if (FindFirstInstanceWindow()) break;
    }
    // Names longer than an atom allows give atom 0; the receiver copes with that.
    const ATOM atom = GlobalAddAtomA(argument);
    HWND window = FindFirstInstanceWindow();
    if (window) {
        SendMessageA(window, kHandOverMessage, atom, 0);
    } else if (atom) {
        GlobalDeleteAtom(atom); // nobody will receive it
    }
    ExitProcess(0);
}

} // namespace

bool ClaimSingleInstance(const char* firstArgument) {
    // The handle stays open for the life of the process; the system closes it at the end,
    // which frees the name for the next start.
    HANDLE semaphore = CreateSemaphoreA(nullptr, 0, 1, "Quendra_Player");
    if (!semaphore || GetLastError() != ERROR_ALREADY_EXISTS) return true;
    if (!firstArgument || firstArgument[0] == '\0') ExitProcess(0);
    HandOver(firstArgument);
}
