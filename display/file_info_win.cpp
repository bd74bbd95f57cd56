#include "display/file_info_win.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "display/file_info_rows.h"
#include "playback/track_info.h"
#include "ui/dialog_win.h"
#include "ui/elements_win.h"

namespace {

constexpr char kClass[] = "QuendraFileInfo";
constexpr int kListId = 1;
constexpr int kOkId = 2;
constexpr COLORREF kText = RGB(0, 200, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

std::string ListText(HWND list, int row, int column) {
    char text[4096] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

void PutOnClipboard(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (memory) {
        CopyMemory(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

// With no row selected nothing is copied.
void CopySelectedRow(HWND window, HWND list) {
    const int row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row < 0) return;
    PutOnClipboard(window, FileInfoClipText({ListText(list, row, 0), ListText(list, row, 1)}));
}

LRESULT CALLBACK FileInfoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kOkId) NoteButtonClicked(kOkId);
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == kListId && header->code == NM_DBLCLK) CopySelectedRow(window, header->hwndFrom);
        return 0;
    }
    case WM_DRAWITEM:
        if (wParam == kOkId) {
            DrawDialogButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_CLOSE: // only "Ok" closes the window
        return 0;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateList(HWND window, const TrackInfo& track) {
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL, 0, 0,
                                kDialogWidth, kDialogHeight - 20, window, reinterpret_cast<HMENU>(kListId),
                                g_ui.instance, nullptr);
    if (!list) return nullptr;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    SendMessageA(list, LVM_SETBKCOLOR, 0, kBlack);
    SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, kBlack);
    SendMessageA(list, LVM_SETTEXTCOLOR, 0, kText);
    char empty[] = "";
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = empty;
    column.cx = 80;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    column.cx = 6 * static_cast<int>(track.path.size()); // the path sets the width, whatever the other values
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));

    const std::vector<FileInfoRow> rows = FileInfoRows(track);
    for (size_t i = 0; i < rows.size(); ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(rows[i].label.c_str());
        const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        item.iSubItem = 1;
        item.pszText = const_cast<char*>(rows[i].value.c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    }
    return list;
}

} // namespace

int ShowFileInfo() {
    HWND window = OpenDialogWindow(kClass, FileInfoProc, "Dateiinfo");
    HWND list = window ? CreateList(window, g_track) : nullptr;
    HWND ok = window ? CreateWindowExA(0, "BUTTON", "Ok", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_OWNERDRAW, 0,
                                       kDialogHeight - 20, kDialogWidth, 20, window, reinterpret_cast<HMENU>(kOkId),
                                       g_ui.instance, nullptr)
                     : nullptr;
    // Without its controls the window could never be closed, so it is not run at all.
    if (list && ok) {
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        RunUntilButton();
    }
    CloseDialogWindow(window);
    return 1;
}
