#pragma once
#include <windows.h>

// What one wait of the event loop yields.
enum class EventKind {
    None,    // nothing within the wait
    Control, // `number` is the control, `type` 0 left click, 1 right click, 2 left double, 3 right double
    Menu,    // `number` is the command: a menu item or a keyboard shortcut
    Tray,    // `type` 0 left up, 1 right up, 2 left double, 3 right double
    Close,   // close request for `window`
    Message, // any other window message: `message`, `wParam`, `lParam`
};

struct Event {
    EventKind kind = EventKind::None;
    int window = -1; // window number the event belongs to, -1 for none of ours
    int number = 0;
    int type = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
