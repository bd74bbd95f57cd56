#include "app/program_end_win.h"

#include "app/ui_teardown_win.h"
#include "playback/audio_engine_win.h"
#include "playback/track_info.h"
#include "playback/transport_win.h"
#include "playlist/pls_writer_win.h"
#include "settings/settings_win.h"
#include "ui/elements_win.h"
#include "ui/tray_icon_win.h"

#define LINE_BASE 40000
#include "ui/current_line.h"

void EndProgram() {
    AT_LINE(); DestroyUserInterface();
    AT_LINE(); UnloadAudioEngine(g_audio);
    ExitProcess(0);
}

void QuitProgram() {
    // Saved while every window still exists: the settings read the window's position.
    AT_LINE(); SaveLastRunPlaylist();
    AT_LINE(); SaveSettings(g_track.path);
    // Before the windows go: the icon is known to the shell by the main window's handle.
    AT_LINE(); RemoveTrayIcon();
    for (int window : {kMiniWindow, kMainWindow, kFrameWindow}) {
        AT_LINE(); if (g_ui.windows[window]) DestroyWindow(g_ui.windows[window]);
        g_ui.windows[window] = nullptr;
    }
    for (HWND& control : g_ui.controls) control = nullptr; // gone with their windows
    AT_LINE(); StopPlayback();
    if (g_audio.System_Release) {
        AT_LINE(); g_audio.System_Release(g_audio.system);
    }
    AT_LINE(); UnloadAudioEngine(g_audio);
    EndProgram();
}
