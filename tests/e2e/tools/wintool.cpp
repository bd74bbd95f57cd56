// A small Windows program the end-to-end tests run beside the player to look at it from
// the inside of Wine: clipboard, windows by title, control rectangles, messages.
#include <windows.h>
#include <commctrl.h>

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

HWND FindTitled(const char* title) {
    return FindWindowA(nullptr, title);
}

// Prints the rectangle of a window's child with the given identifier, relative to the
// parent's client area: "x y width height".
int ChildRect(const char* title, int id) {
    HWND parent = FindTitled(title);
    HWND child = parent ? GetDlgItem(parent, id) : nullptr;
    if (!child) return 1;
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
}

// Prints "visible x y width height" of a top-level window's client area on the screen.
int WindowInfo(const char* title) {
    HWND window = FindTitled(title);
    if (!window) return 1;
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    std::printf("%d %ld %ld %ld %ld\n", IsWindowVisible(window) ? 1 : 0, origin.x, origin.y, client.right,
                client.bottom);
    return 0;
}

int ChildText(const char* title, int id) {
    HWND parent = FindTitled(title);
    HWND child = parent ? GetDlgItem(parent, id) : nullptr;
    if (!child) return 1;
    char text[1024] = {};
    GetWindowTextA(child, text, sizeof text);
    std::fwrite(text, 1, std::strlen(text), stdout);
    return 0;
}

int Post(const char* title, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = FindTitled(title);
    return window && PostMessageA(window, message, wParam, lParam) ? 0 : 1;
}

// Sends a message and waits for the answer (WM_QUERYENDSESSION, hand-over tests).
int Send(const char* title, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = FindTitled(title);
    if (!window) return 1;
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 5000, &answer);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail("usage: wintool COMMAND ...");
    const std::string command = argv[1];
    auto number = [&](int i) { return i < argc ? std::strtoull(argv[i], nullptr, 0) : 0ull; };
    if (command == "clip-get") return ClipboardGet();
    if (command == "clip-set" && argc > 2) return ClipboardSet(argv[2]);
    if (command == "window" && argc > 2) return WindowInfo(argv[2]);
    if (command == "child-rect" && argc > 3) return ChildRect(argv[2], static_cast<int>(number(3)));
    if (command == "child-text" && argc > 3) return ChildText(argv[2], static_cast<int>(number(3)));
    if (command == "post" && argc > 3)
        return Post(argv[2], static_cast<UINT>(number(3)), static_cast<WPARAM>(number(4)),
                    static_cast<LPARAM>(number(5)));
    if (command == "send" && argc > 3)
        return Send(argv[2], static_cast<UINT>(number(3)), static_cast<WPARAM>(number(4)),
                    static_cast<LPARAM>(number(5)));
    return Fail("unknown command");
}
