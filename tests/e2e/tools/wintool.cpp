// A small Windows program the end-to-end tests run beside the player to look at it from
// the inside of Wine: clipboard, windows by title, control rectangles, messages.
#include <windows.h>
#include <commctrl.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Fail(const char* what) {
    std::fprintf(stderr, "wintool: %s\n", what);
    return 2;
}

int ClipboardGet() {
    if (!OpenClipboard(nullptr)) return Fail("clipboard busy");
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (text) {
        std::fwrite(text, 1, std::strlen(text), stdout);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text ? 0 : 1;
}

int ClipboardSet(const char* text) {
    if (!OpenClipboard(nullptr)) return Fail("clipboard busy");
    EmptyClipboard();
    const size_t size = std::strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory) {
        std::memcpy(GlobalLock(memory), text, size);
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
    }
    CloseClipboard();
    return memory ? 0 : 1;
}

// A "." in the title stands for any one character, so that callers pass ASCII only
// ("Stream .ffnen"): how a non-ASCII argument reaches a Windows program depends on the locale.
bool TitleMatches(const char* pattern, const char* title) {
    for (; *pattern && *title; ++pattern, ++title)
        if (*pattern != '.' && *pattern != *title) return false;
    return *pattern == *title;
}

// The top-level window with this title, or its child with identifier `id` (from 0); null
// when there is none.
HWND Find(const char* title, int id = -1) {
    struct Search { const char* pattern; HWND found; } search = {title, FindWindowA(nullptr, title)};
    if (!search.found && std::strchr(title, '.'))
        EnumWindows([](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            char text[256] = {};
            GetWindowTextA(window, text, sizeof text);
            if (!TitleMatches(s->pattern, text)) return TRUE;
            s->found = window;
            return FALSE;
        }, reinterpret_cast<LPARAM>(&search));
    return search.found && id >= 0 ? GetDlgItem(search.found, id) : search.found;
}

// Prints "x y width height visible" of a child, relative to its parent's client area.
int ChildRect(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    std::printf("%ld %ld %ld %ld %d\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                IsWindowVisible(child) ? 1 : 0);
    return 0;
}

// Prints "visible x y width height topmost enabled" of a top-level window: its client area
// on the screen, whether it stays above all others and whether it takes input.
int WindowInfo(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    std::printf("%d %ld %ld %ld %ld %d %d\n", IsWindowVisible(window) ? 1 : 0, origin.x, origin.y, client.right,
                client.bottom, (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0,
                IsWindowEnabled(window) ? 1 : 0);
    return 0;
}

int ChildText(HWND child) {
    char text[1024] = {};
    GetWindowTextA(child, text, sizeof text);
    return std::fputs(text, stdout) < 0;
}

// Reads a list view of another process: one line per row, "selected<TAB>col0<TAB>col1"; or
// only the number of rows.
int ListRows(HWND list, bool countOnly) {
    DWORD processId = 0;
    if (!GetWindowThreadProcessId(list, &processId)) return 1;
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    if (countOnly) return std::printf("%d\n", rows) < 0;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return 1;
    constexpr SIZE_T kText = 1024;
    char* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + kText, MEM_COMMIT, PAGE_READWRITE));
    if (!remote) {
        CloseHandle(process);
        return 1;
    }
    for (int row = 0; row < rows; ++row) {
        const bool selected = SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED;
        std::printf("%d", selected ? 1 : 0);
        for (int column = 0; column < 2; ++column) {
            LVITEMA item = {};
            item.iSubItem = column;
            item.pszText = remote + sizeof(LVITEMA);
            item.cchTextMax = kText;
            WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
            SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote));
            char text[kText] = {};
            ReadProcessMemory(process, remote + sizeof(LVITEMA), text, kText - 1, nullptr);
            std::printf("\t%s", text);
        }
        std::printf("\n");
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return 0;
}

// Reads a drop-down list of another process: one line per row, "selected<TAB>text". The
// rows cross over as wide texts (Wine cuts the narrow form short) and are printed narrow.
int ComboRows(HWND combo) {
    const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    const int rows = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        wchar_t wide[1024] = {};
        char text[1024] = {};
        if (SendMessageW(combo, CB_GETLBTEXTLEN, row, 0) < 1024) SendMessageW(combo, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(wide));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        std::printf("%d\t%s\n", row == selected ? 1 : 0, text);
    }
    return 0;
}

// The temporary folder as the player sees it, long form, ending in a backslash.
int TempFolder() {
    char folder[MAX_PATH + 1] = {}, longFolder[MAX_PATH + 1] = {};
    GetTempPathA(sizeof folder, folder);
    const DWORD length = GetLongPathNameA(folder, longFolder, sizeof longFolder);
    std::printf("%s", length > 0 && length <= MAX_PATH ? longFolder : folder);
    return 0;
}

// Waits until a child shows the text (polling every few milliseconds, so a text that stands
// only for half a second is seen too); 0 when it did within the time-out.
int WaitChildText(const char* title, int id, const char* expected, DWORD timeoutMs) {
    std::printf("polling\n"); // the caller acts once it reads this
    std::fflush(stdout);
    const DWORD start = GetTickCount();
    do {
        HWND child = Find(title, id);
        char text[1024] = {};
        if (child) GetWindowTextA(child, text, sizeof text);
        if (std::strcmp(text, expected) == 0) return 0;
        Sleep(5);
    } while (GetTickCount() - start < timeoutMs);
    return 1;
}

// Posts a message, or sends it and waits for the answer: 2 when none comes within 5 s.
int Message(bool send, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    if (!send) return PostMessageA(window, message, wParam, lParam) ? 0 : 1;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 5000, &answer) ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail("usage: wintool COMMAND ...");
    _setmode(_fileno(stdout), _O_BINARY); // texts are printed byte for byte
    const std::string command = argv[1];
    auto number = [&](int i) { return i < argc ? std::strtoull(argv[i], nullptr, 0) : 0ull; };
    const char* title = argc > 2 ? argv[2] : "";
    const int id = static_cast<int>(number(3));
    if (command == "clip-get") return ClipboardGet();
    if (command == "clip-set" && argc > 2) return ClipboardSet(argv[2]);
    if (command == "temp-folder") return TempFolder();
    if (command == "wait-text" && argc > 5) return WaitChildText(title, id, argv[4], static_cast<DWORD>(number(5)));
    // The rest act on a window named by its title, or on its child named by title and identifier.
    const bool onWindow = command == "window" || command == "post" || command == "send";
    HWND window = argc > (onWindow ? 2 : 3) ? Find(title, onWindow ? -1 : id) : nullptr;
    if (!window) return 1;
    if (command == "window") return WindowInfo(window);
    if (command == "child-rect") return ChildRect(window);
    if (command == "child-text") return ChildText(window);
    if (command == "list-rows" || command == "list-count") return ListRows(window, command == "list-count");
    if (command == "combo-rows") return ComboRows(window);
    if (command == "post" || command == "send")
        return Message(command == "send", window, static_cast<UINT>(number(3)), static_cast<WPARAM>(number(4)),
                       static_cast<LPARAM>(number(5)));
    return Fail("unknown command");
}
