#include "playlist/audio_cd_win.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "playback/load_track_win.h"
#include "playlist/add_to_playlist_win.h"
#include "playlist/audio_cd.h"
#include "playlist/playlist_view_win.h"
#include "ui/dialog_win.h"
#include "ui/elements_win.h"

#define LINE_BASE 360000
#include "ui/current_line.h"

namespace {

constexpr char kClass[] = "QuendraAudioCd";
constexpr int kDriveListId = 1;
constexpr int kOkId = 2;
constexpr int kCancelId = 3;
constexpr int kRowHeight = 18; // the 16-pixel icon with a pixel above and below
constexpr int kDroppedRows = 6; // rows the opened list shows before it scrolls
constexpr int kClosedHeight = 25; // the list while it is not opened
constexpr int kShell32CdDriveIcon = 11;
constexpr COLORREF kText = RGB(0, 200, 0);
constexpr COLORREF kFocusText = RGB(0, 255, 0);

HICON g_driveIcon = nullptr; // loaded once per dialog

void DrawDriveRow(const DRAWITEMSTRUCT& draw) {
    SetBkMode(draw.hDC, TRANSPARENT);
    FillRect(draw.hDC, &draw.rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetTextColor(draw.hDC, (draw.itemState & ODS_FOCUS) ? kFocusText : kText);
    if (draw.itemID == static_cast<UINT>(-1)) return;
    char text[512] = {};
    if (SendMessageA(draw.hwndItem, CB_GETLBTEXTLEN, draw.itemID, 0) >= static_cast<LRESULT>(sizeof text)) return;
    SendMessageA(draw.hwndItem, CB_GETLBTEXT, draw.itemID, reinterpret_cast<LPARAM>(text));
    if (g_driveIcon) DrawIconEx(draw.hDC, draw.rcItem.left + 2, draw.rcItem.top + 1, g_driveIcon, 16, 16, 0, nullptr, DI_NORMAL);
    TextOutA(draw.hDC, draw.rcItem.left + 22, draw.rcItem.top + 1, text, static_cast<int>(strlen(text)));
}

LRESULT CALLBACK AudioCdProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kOkId || LOWORD(wParam) == kCancelId) NoteButtonClicked(LOWORD(wParam));
        return 0;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kRowHeight;
        return TRUE;
    case WM_DRAWITEM: {
        const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (draw.CtlType == ODT_COMBOBOX) DrawDriveRow(draw);
        else DrawDialogButton(draw);
        return TRUE;
    }
    case WM_CTLCOLORLISTBOX: // the drive list's background around the rows
        return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
    case WM_CLOSE: // only the buttons close the window
        return 0;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The closed list is its selection field plus a frame whose width the system decides, and
// Wine reads the field back larger than it was set: so the field is set, and set once more
// by what the outer height still misses.
void FitClosedHeight(HWND list, int height) {
    LRESULT field = SendMessageA(list, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int pass = 0; pass < 2 && field != CB_ERR; ++pass) {
        RECT outer = {};
        GetWindowRect(list, &outer);
        const LONG excess = outer.bottom - outer.top - height;
        if (excess == 0 || field - excess < 1) return;
        field -= excess;
        SendMessageA(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

// One row per CD drive, A to Z. A drive without a disc must not stop the player with the
// system's "no disc" message box, so critical errors go to the caller while labels are read.
void ListCdDrives(HWND list) {
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const char root[] = {letter, ':', '\\', '\0'};
        if (GetDriveTypeA(root) != DRIVE_CDROM) continue;
        char label[255];
        memset(label, ' ', sizeof label);
        GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0);
        const std::string row = CdDriveRowText(letter, label, sizeof label);
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    }
    SetErrorMode(oldMode);
    SendMessageA(list, CB_SETCURSEL, 0, 0);
}

std::string SelectedRow(HWND list) {
    const LRESULT row = SendMessageA(list, CB_GETCURSEL, 0, 0);
    const LRESULT length = row == CB_ERR ? CB_ERR : SendMessageA(list, CB_GETLBTEXTLEN, row, 0);
    if (length == CB_ERR) return "";
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(list, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

// The drive chosen with "Ok" ("D:"), or the empty text for "Abbrechen" and for "Ok" on an
// empty list.
std::string ChooseCdDrive() {
    HWND window = OpenDialogWindow(kClass, AudioCdProc, "CD abspielen");
    g_driveIcon = ExtractIconA(g_ui.instance, "shell32.dll", kShell32CdDriveIcon);
    if (g_driveIcon == reinterpret_cast<HICON>(1)) g_driveIcon = nullptr; // "not a program file"
    std::string drive;
    if (window) {
        ShowWindow(window, SW_SHOW);
        // The height given to a drop-down list includes its opened rows.
        HWND list = AddDialogControl(window, "COMBOBOX", "", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL,
                               26, 100, 150, kClosedHeight + kDroppedRows * kRowHeight, kDriveListId);
        HWND ok = AddDialogControl(window, "BUTTON", "Ok", BS_PUSHBUTTON | BS_OWNERDRAW, 26, 125, 75, 20, kOkId);
        HWND cancel = AddDialogControl(window, "BUTTON", "Abbrechen", BS_PUSHBUTTON | BS_OWNERDRAW, 101, 125, 75, 20, kCancelId);
        // Without its buttons the window could never be closed, so it is not run at all.
        if (list && ok && cancel) {
            FitClosedHeight(list, kClosedHeight);
            ListCdDrives(list);
            SetForegroundWindow(window);
            if (RunUntilButton() == kOkId) drive = SelectedRow(list).substr(0, 2);
        }
    }
    CloseDialogWindow(window);
    if (g_driveIcon) DestroyIcon(g_driveIcon);
    g_driveIcon = nullptr;
    return drive;
}

} // namespace

void PlayAudioCd() {
    const std::string drive = ChooseCdDrive();
    if (drive.empty()) return;
    AT_LINE(); const std::string toPlay = AddToPlaylist(drive, 0);
    AT_LINE(); RefreshPlaylistView(toPlay);
    AT_LINE(); LoadTrack(toPlay);
}
