#include "playlist/pls_writer_win.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "playlist/playlist.h"
#include "playlist/pls_writer.h"
#include "ui/elements_win.h"
#include "ui/exe_folder_win.h"
#include "ui/whole_file_win.h"

namespace {
std::string g_lastExportFolder; // for this run only
}

bool WritePlaylistFile(const std::string& path) {
    return WriteWholeFile(path, PlsText(g_playlist));
}

void SaveLastRunPlaylist() {
    const std::string path = FileInExecutableFolder("Quendra.pls");
    if (!path.empty()) WritePlaylistFile(path);
}

void ExportPlaylist() {
    char name[MAX_PATH + 1] = {};
    const std::string proposal = g_lastExportFolder + "Playlist.pls";
    std::strncpy(name, proposal.c_str(), MAX_PATH);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = WindowHandle(kMainWindow);
    dialog.lpstrFilter = "Playlistdatei (*.pls)\0*.pls\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name;
    dialog.nMaxFile = sizeof name;
    dialog.lpstrTitle = "Playlist exportieren";
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameA(&dialog) || name[0] == '\0') return;
    g_lastExportFolder = FolderPart(name);
    if (!WritePlaylistFile(name)) {
        const std::string text = std::string("Playlist konnte nicht unter \"") + name + "\" abgespeichert werden.";
        MessageBoxA(WindowHandle(kMainWindow), text.c_str(), "Playlist exportieren", MB_OK);
    }
}
