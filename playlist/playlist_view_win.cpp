#include "playlist/playlist_view_win.h"

#include <windows.h>
#include <commctrl.h>

#include <random>
#include <vector>

#include "playback/load_track_win.h"
#include "playlist/playlist.h"
#include "ui/elements_win.h"

#define LINE_BASE 310000
#include "ui/current_line.h"

namespace {

HWND ListView() {
    return ControlHandle(kPlaylistView);
}

int RowCount(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

void SetRowState(HWND list, int row, UINT state, UINT mask) {
    LVITEMA item = {};
    item.stateMask = mask;
    item.state = state;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void AppendRow(HWND list, int row, const RowText& text) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(text.title.c_str());
    const int inserted = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (inserted < 0) return;
    item.iItem = inserted;
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(text.time.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(inserted), reinterpret_cast<LPARAM>(&item));
}

bool IsRowSelected(HWND list, int row) {
    return SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED;
}

} // namespace

void MarkPlaylistRow(int index) {
    HWND list = ListView();
    if (!list) return;
    SetRowState(list, -1, 0, LVIS_SELECTED); // row -1: every row
    // Scroll to the top, then down by index - 2 rows, so the marked row stands third.
    const int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    RECT rowRect = {LVIR_BOUNDS, 0, 0, 0};
    int rowHeight = 0;
    if (RowCount(list) > 0 && SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rowRect)))
        rowHeight = rowRect.bottom - rowRect.top;
    if (rowHeight > 0) {
        SendMessageA(list, LVM_SCROLL, 0, -top * rowHeight);
        if (index - 2 > 0) SendMessageA(list, LVM_SCROLL, 0, (index - 2) * rowHeight);
    }
    if (index >= 0 && index < RowCount(list))
        SetRowState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void RefreshPlaylistView(const std::string& currentPath) {
    HWND list = ListView();
    if (!list) return;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < g_playlist.size(); ++i) AppendRow(list, static_cast<int>(i), RowTextOf(g_playlist[i]));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    MarkPlaylistRow(LastIndexOfPath(g_playlist, currentPath));
    InvalidateRect(list, nullptr, TRUE);
}

void RemoveSelectedEntries() {
    HWND list = ListView();
    if (!list) return;
    const int rows = RowCount(list);
    std::vector<bool> selected(static_cast<size_t>(rows > 0 ? rows : 0));
    for (int row = 0; row < rows; ++row) selected[row] = IsRowSelected(list, row);
    RemoveEntries(g_playlist, selected);
}

void SelectAllRows() {
    HWND list = ListView();
    if (!list) return;
    const int rows = RowCount(list);
    for (int row = 0; row < rows; ++row)
        SetRowState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void PlaySelectedRow() {
    HWND list = ListView();
    if (!list) return;
    const int row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row < 0 || row >= static_cast<int>(g_playlist.size())) return;
    AT_LINE(); LoadTrack(g_playlist[row].path);
}

void ShuffleEntries() {
    static std::mt19937 random(std::random_device{}());
    ShuffleWithRandomKeys(g_playlist, random);
}
