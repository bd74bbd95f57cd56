#include "app/startup_win.h"

#include "app/build_ui_win.h"
#include "app/error_report_win.h"
#include "app/event_loop_win.h"
#include "app/main_window_visibility_win.h"
#include "app/mini_window_win.h"
#include "app/program_end_win.h"
#include "app/single_instance_win.h"
#include "playback/audio_engine_win.h"
#include "playback/load_track_win.h"
#include "playback/track_info.h"
#include "playback/volume_win.h"
#include "playlist/add_to_playlist_win.h"
#include "playlist/playlist_transport_win.h"
#include "playlist/playlist_view_win.h"
#include "settings/settings_win.h"
#include "ui/elements_win.h"
#include "ui/exe_folder_win.h"

#define LINE_BASE 10000
#include "ui/current_line.h"

namespace {

[[noreturn]] void LibraryUnavailable() {
    MessageBoxA(nullptr, "Fmodex.dll konnte nicht geladen werden!", "Quendra", MB_OK);
    EndProgram();
}

void StartSoundSystem() {
    AT_LINE(); const FMOD_RESULT created = g_audio.System_Create(&g_audio.system);
    if (created != FMOD_OK) LibraryUnavailable();
    AT_LINE(); const FMOD_RESULT initialised = g_audio.System_Init(g_audio.system, 2, FMOD_INIT_NORMAL, nullptr);
    if (initialised != FMOD_OK) LibraryUnavailable();
}

// Command-line entries replace the last run's playlist and start playing at once; without
// arguments the last playlist comes back with its current entry marked, and nothing plays.
void FillPlaylistAndStart(int argumentCount, char** arguments) {
    if (argumentCount > 1) {
        for (int i = 1; i < argumentCount; ++i) {
            AT_LINE(); AddToPlaylist(arguments[i], 0);
        }
        ResetTrackInfo();
        RefreshPlaylistView(g_track.path);
        AT_LINE(); RestoreMainWindow();
        AT_LINE(); LoadTrack(NextEntryPath(0));
        return;
    }
    const std::string lastRun = FileInExecutableFolder("Quendra.pls");
    if (!lastRun.empty()) { AT_LINE(); AddToPlaylist(lastRun, 1); }
    RefreshPlaylistView(g_track.path);
    AT_LINE(); RestoreMainWindow();
    AT_LINE(); LoadTrack("");
}

} // namespace

void RunPlayer(HINSTANCE instance, int argumentCount, char** arguments) {
    g_ui.instance = instance;
    const char* firstArgument = argumentCount > 1 ? arguments[1] : "";
    if (!ClaimSingleInstance(firstArgument)) ExitProcess(0);

    CreateUserInterfaceResources();
    LoadAudioEngine(g_audio);
    InstallErrorReport();

    AT_LINE(); CreateMiniWindow();
    AT_LINE(); BuildUserInterface();
    if (!g_audio.library) LibraryUnavailable();
    StartSoundSystem();
    AT_LINE(); g_track.path = LoadSettings();

    AT_LINE(); ChangeVolume(0);
    FillPlaylistAndStart(argumentCount, arguments);
    RunEventLoop();
}
