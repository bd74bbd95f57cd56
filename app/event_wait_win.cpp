#include "app/event_wait_win.h"

#include "app/noted_events_win.h"
#include "ui/elements_win.h"

namespace {

bool IsImageButton(int control) {
    switch (control) {
    case kMiniPlayPauseButton: case kMiniPreviousButton: case kMiniNextButton:
    case kCloseButton: case kMinimizeButton: case kAboutButton:
    case kPlayPauseButton: case kStopButton: case kPreviousButton: case kNextButton:
        return true;
    default:
        return false;
    }
}

// Image buttons report left clicks themselves; right clicks are recognised here.
Event RightClickOnImageButton(const MSG& msg) {
    Event event;
    if (msg.message != WM_RBUTTONUP && msg.message != WM_RBUTTONDBLCLK) return event;
    const int control = GetDlgCtrlID(msg.hwnd);
    if (!IsImageButton(control) || ControlHandle(control) != msg.hwnd) return event;
    event.kind = EventKind::Control;
    event.window = WindowNumberOf(GetAncestor(msg.hwnd, GA_ROOT));
    event.number = control;
    event.type = msg.message == WM_RBUTTONUP ? 1 : 3;
    return event;
}

bool IsReportedMessage(UINT message) {
    switch (message) {
    case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONUP:
    case WM_MBUTTONUP: case WM_MOUSEWHEEL: case WM_DROPFILES:
        return true;
    default:
        return false;
    }
}

// Mouse messages over a control count as messages of the control's window.
Event WindowMessageEvent(const MSG& msg) {
    Event event;
    if (!IsReportedMessage(msg.message)) return event;
    const int window = WindowNumberOf(GetAncestor(msg.hwnd, GA_ROOT));
    if (window < 0) return event;
    event.kind = EventKind::Message;
    event.window = window;
    event.message = msg.message;
    event.wParam = msg.wParam;
    event.lParam = msg.lParam;
    return event;
}

void Dispatch(MSG& msg) {
    HWND main = WindowHandle(kMainWindow);
    if (main && g_ui.shortcuts && GetActiveWindow() == main && TranslateAcceleratorA(main, g_ui.shortcuts, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

} // namespace

Event WaitEvent(unsigned timeoutMs) {
    Event event;
    if (TakeNotedEvent(&event)) return event;
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // A message sent from another thread or process is handled inside the peek.
        if (TakeNotedEvent(&event)) return event;
        MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TakeNotedEvent(&event);
            return event;
        }
    }
    // Events noted by sent messages inside the peek stay ahead of this message's own.
    const Event rightClick = RightClickOnImageButton(msg);
    const int notedBefore = NotedEventCount();
    Dispatch(msg);
    if (rightClick.kind != EventKind::None) NoteEvent(rightClick);
    else if (NotedEventCount() == notedBefore) NoteEvent(WindowMessageEvent(msg));
    TakeNotedEvent(&event);
    return event;
}
