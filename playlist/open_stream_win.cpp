#include "playlist/open_stream_win.h"

#include <windows.h>
#include <string>

#include "playback/load_track_win.h"
#include "playlist/add_to_playlist_win.h"
#include "playlist/open_stream.h"
#include "playlist/playlist_view_win.h"
#include "playlist/stream_download_win.h"
#include "ui/dialog_win.h"
#include "ui/elements_win.h"

#define LINE_BASE 350000
#include "ui/current_line.h"

namespace {

constexpr char kClass[] = "QuendraOpenStream";
constexpr int kOkId = 1;
constexpr int kCancelId = 2;
constexpr COLORREF kText = RGB(0, 200, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

LRESULT CALLBACK OpenStreamProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kOkId || LOWORD(wParam) == kCancelId) NoteButtonClicked(LOWORD(wParam));
        return 0;
    case WM_CTLCOLOREDIT:
        SetTextColor(reinterpret_cast<HDC>(wParam), kText);
        SetBkColor(reinterpret_cast<HDC>(wParam), kBlack);
        return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
    case WM_DRAWITEM:
        DrawDialogButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CLOSE: // only the buttons close the window
        return 0;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The typed address, or nothing when "Abbrechen" was clicked.
bool AskForAddress(std::string* address) {
    HWND window = OpenDialogWindow(kClass, OpenStreamProc, "Stream \xF6" "ffnen");
    HWND field = nullptr;
    bool ok = false;
    if (window) {
        ShowWindow(window, SW_SHOW);
        field = AddDialogControl(window, "EDIT", "http://stream:port/", ES_AUTOHSCROLL, 0, 100, 202, 20, 0);
        HWND okButton = AddDialogControl(window, "BUTTON", "Ok", BS_PUSHBUTTON | BS_OWNERDRAW, 0, 120, 101, 20, kOkId);
        HWND cancel =
            AddDialogControl(window, "BUTTON", "Abbrechen", BS_PUSHBUTTON | BS_OWNERDRAW, 102, 120, 100, 20, kCancelId);
        // Without its buttons the window could never be closed, so it is not run at all.
        if (field && okButton && cancel) {
            SetForegroundWindow(window);
            ok = RunUntilButton() == kOkId;
        }
    }
    if (ok) {
        const int length = GetWindowTextLengthA(field);
        std::string text(static_cast<size_t>(length) + 1, '\0');
        GetWindowTextA(field, &text[0], length + 1);
        text.resize(static_cast<size_t>(length));
        *address = text;
    }
    CloseDialogWindow(window);
    return ok;
}

std::string StreamListPath() {
    char folder[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH) return "QuendraStreamlist.tmp";
    char longFolder[MAX_PATH + 1] = {};
    length = GetLongPathNameA(folder, longFolder, sizeof longFolder);
    std::string path = (length > 0 && length <= MAX_PATH) ? longFolder : folder;
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path + "QuendraStreamlist.tmp";
}

// What to add for an address with an extension: the saved list, the address itself when
// it answers with audio (a stream is listed, not fetched), or the empty text when nothing
// usable came back (no answer, an error page).
std::string FetchStreamList(const std::string& address) {
    const std::string listPath = StreamListPath();
    // The main window stays closed to input while the download runs: the windows are
    // drawn meanwhile, and a second "Stream öffnen" must not start inside the first.
    HWND main = WindowHandle(kMainWindow);
    EnableWindow(main, FALSE);
    AT_LINE(); const StreamAnswer answer = DownloadStreamAnswer(address, listPath);
    EnableWindow(main, TRUE);
    switch (KindOfAnswer(answer.contentType, answer.head.data(), answer.head.size())) {
    case AnswerKind::List: return answer.saved ? listPath : "";
    case AnswerKind::Audio: return address;
    case AnswerKind::Neither: break;
    }
    return "";
}

} // namespace

void OpenStream() {
    std::string address;
    if (!AskForAddress(&address)) return;
    // A list that could not be fetched leaves the playlist and the playing track alone.
    if (StreamAddressNeedsDownload(address)) address = FetchStreamList(address);
    if (address.empty()) return;
    AT_LINE(); const std::string toPlay = AddToPlaylist(address, 0);
    AT_LINE(); RefreshPlaylistView(toPlay);
    AT_LINE(); LoadTrack(toPlay);
}
