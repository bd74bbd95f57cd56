#include "playlist/open_files_win.h"

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "playback/load_track_win.h"
#include "playback/track_info.h"
#include "playlist/add_to_playlist_win.h"
#include "playlist/open_files.h"
#include "playlist/playlist_transport_win.h"
#include "playlist/playlist_view_win.h"
#include "playlist/pls_writer.h"

#define LINE_BASE 340000
#include "ui/current_line.h"

namespace {

std::string g_openFolder; // for this run only

const char kFilter[] =
    "Musikdatei (*.Aiff, *.Asf, *.Asx, *.Dls, *.Flac, *.Fsb, *.It, *.M3u, *.Mid, *.Mod, *.Mp2, *.Mp3, "
    "*.Ogg, *.Pls, *.Raw, *.S3m, *.Vag, *.Wav, *.Wax, *.Wma, *.Xm, *.Xma)|*.Aiff;*.Asf;*.Asx;*.Dls;*.Flac;"
    "*.Fsb;*.It;*.M3u;*.Mid;*.Mod;*.Mp2;*.Mp3;*.Ogg;*.Pls;*.Raw;*.S3m;*.Vag;*.Wav;*.Wax;*.Wma;*.Xm;*.Xma|"
    "Alle Dateien (*.*)|*.*|";

constexpr DWORD kNameBufferSize = 512000;

HWND OwnForegroundWindow() {
    HWND window = GetForegroundWindow();
    DWORD process = 0;
    if (window) GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId() ? window : nullptr;
}

// The chosen names as full paths; empty when the dialog was cancelled.
std::vector<std::string> AskForFiles() {
    std::string filter = kFilter;
    for (char& c : filter) {
        if (c == '|') c = '\0';
    }
    std::vector<char> names(kNameBufferSize, '\0');
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = OwnForegroundWindow();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = names.data();
    dialog.nMaxFile = kNameBufferSize;
    dialog.lpstrInitialDir = g_openFolder.empty() ? nullptr : g_openFolder.c_str();
    dialog.lpstrTitle = "Datei \xF6" "ffnen";
    dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    AT_LINE(); if (!GetOpenFileNameA(&dialog)) return {};
    return SelectedPaths(names.data(), names.size());
}

} // namespace

void OpenFiles() {
    const std::vector<std::string> selected = AskForFiles();
    if (selected.empty() || selected[0].empty()) return;
    g_openFolder = FolderPart(selected[0]);
    const OpenSelection selection = NamesToOpen(selected);
    std::string first;
    for (const std::string& name : selection.names) {
        AT_LINE(); const std::string added = AddToPlaylist(name, 0);
        if (first.empty()) first = added;
    }
    if (selection.playlist) {
        AT_LINE(); LoadTrack("");
        AT_LINE(); LoadTrack(NextEntryPath(0));
    } else {
        AT_LINE(); LoadTrack(first);
    }
    AT_LINE(); RefreshPlaylistView(g_track.path);
}
