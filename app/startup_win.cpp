#include "app/startup_win.h"

#include "app/build_ui_win.h"
#include "app/elements_win.h"
#include "app/error_report_win.h"
#include "app/event_loop_win.h"
#include "app/main_window_visibility_win.h"
#include "app/program_end_win.h"
#include "app/single_instance_win.h"
#include "display/mini_window_win.h"
#include "display/oscilloscope_pens_win.h"
#include "playback/audio_engine_win.h"
#include "playback/volume_win.h"

#define LINE_BASE 10000
#include "app/current_line.h"

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

} // namespace

void RunPlayer(HINSTANCE instance, int argumentCount, char** arguments) {
    g_ui.instance = instance;
    const char* firstArgument = argumentCount > 1 ? arguments[1] : "";
    if (!ClaimSingleInstance(firstArgument)) ExitProcess(0);

    CreateOscilloscopePens();
    CreateUserInterfaceResources();
    LoadAudioEngine(g_audio);
    InstallErrorReport();

    AT_LINE(); CreateMiniWindow();
    AT_LINE(); BuildUserInterface();
    if (!g_audio.library) LibraryUnavailable();
    StartSoundSystem();

    AT_LINE(); ChangeVolume(0);
    AT_LINE(); RestoreMainWindow();
    RunEventLoop();
}
