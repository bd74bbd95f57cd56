#include "app/dispatch_win.h"

#include <windows.h>
#include <commctrl.h>

#include "app/about_box_win.h"
#include "app/dropped_files_win.h"
#include "app/hover_win.h"
#include "app/input_rules.h"
#include "app/main_window_visibility_win.h"
#include "app/program_end_win.h"
#include "display/file_info_win.h"
#include "playback/track_info.h"
#include "playback/transport_win.h"
#include "playback/volume_win.h"
#include "playlist/audio_cd_win.h"
#include "playlist/open_files_win.h"
#include "playlist/open_stream_win.h"
#include "playlist/playlist_transport_win.h"
#include "playlist/playlist_view_win.h"
#include "playlist/pls_writer_win.h"
#include "settings/file_associations_win.h"
#include "settings/priority_on_top_win.h"
#include "settings/settings.h"
#include "ui/elements_win.h"
#include "ui/loop_state.h"

#define LINE_BASE 30000
#include "ui/current_line.h"

namespace {

int SliderValue() {
    HWND slider = ControlHandle(kPositionSlider);
    return slider ? static_cast<int>(SendMessageA(slider, TBM_GETPOS, 0, 0)) : 0;
}

void ToggleOption(int32_t& flag, int command) {
    flag = ToggledFlag(flag);
    SetMenuCheck(command, flag);
}

void DispatchMainControl(const Event& event) {
    switch (event.number) {
    case kAboutButton: AT_LINE(); ShowAboutBox(); break;
    case kMinimizeButton: AT_LINE(); HideMainWindow(); break;
    case kCloseButton: AT_LINE(); QuitProgram();
    case kPositionSlider:
        AT_LINE(); SeekSeconds(SliderValue());
        FocusControl(kTimeLabel);
        break;
    case kPreviousButton:
        if (event.type == 0) { AT_LINE(); PlayPreviousEntry(); }
        break;
    case kPlayPauseButton:
        if (event.type == 0) { AT_LINE(); TogglePlayPause(); }
        break;
    case kStopButton:
        if (event.type == 0) { AT_LINE(); StopPlayback(); }
        break;
    case kNextButton:
        if (event.type == 0) { AT_LINE(); PlayNextEntry(); }
        break;
    case kPlaylistView:
        if (event.type == 2) { AT_LINE(); PlaySelectedRow(); }
        if (event.type == 1) { AT_LINE(); ShowContextMenu(); }
        break;
    default: break;
    }
}

void DispatchMenu(int command) {
    switch (command) {
    case kCmdRepeat: ToggleOption(g_settings.WiederholenEnable, command); break;
    case kCmdBalloonTips: ToggleOption(g_settings.BalloonTipEnable, command); break;
    case kCmdMiniWindowEnabled: ToggleOption(g_settings.MiniFensterEnable, command); break;
    case kCmdMiniWindowText: ToggleOption(g_settings.MiniFensterScrollTextEnable, command); break;
    case kCmdHighPriority:
        ToggleOption(g_settings.HohePrioEnable, command);
        AT_LINE(); ApplyPriority(g_settings.HohePrioEnable);
        break;
    case kCmdReplayGain: ToggleOption(g_settings.ReplayGainEnable, command); break;
    case kCmdOnTop:
        ToggleOption(g_settings.FensterOnTop, command);
        AT_LINE(); ApplyOnTop(g_settings.FensterOnTop);
        break;
    case kCmdFileAssociations: AT_LINE(); EditFileAssociations(); break;
    case kCmdOpenFile: AT_LINE(); OpenFiles(); break;
    case kCmdOpenStream: AT_LINE(); OpenStream(); break;
    case kCmdOpenAudioCd: AT_LINE(); PlayAudioCd(); break;
    case kCmdExportPlaylist: AT_LINE(); ExportPlaylist(); break;
    case kCmdShuffle:
        AT_LINE(); ShuffleEntries();
        RefreshPlaylistView(g_track.path);
        break;
    case kCmdRemoveSelection:
    case kCmdDeleteKey:
        AT_LINE(); RemoveSelectedEntries();
        RefreshPlaylistView("");
        break;
    case kCmdSelectAllKey: AT_LINE(); SelectAllRows(); break;
    case kCmdQuit: AT_LINE(); QuitProgram();
    default: break;
    }
}

void OnMainLeftButtonDown() {
    if (CursorY(kMainWindow) < 125) {
        FocusControl(kTimeLabel);
        // Lets the system move the borderless window with the mouse.
        AT_LINE(); SendMessageA(WindowHandle(kMainWindow), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    }
    if (CursorInsideControl(CursorX(kMainWindow), CursorY(kMainWindow), ControlRectangle(kTimeLabel)))
        g_settings.SongPositonVorweartsEnable = ToggledFlag(g_settings.SongPositonVorweartsEnable);
}

void OnMainMouseMove() {
    const int y = CursorY(kMainWindow);
    if (y < 178 && FocusedControl() == kPlaylistView) FocusControl(kTimeLabel);
    if (y > 178 && FocusedControl() != kPlaylistView) FocusControl(kPlaylistView);
    UpdateMainWindowHover();
}

void DispatchMainMessage(const Event& event) {
    switch (event.message) {
    case WM_LBUTTONDOWN: OnMainLeftButtonDown(); break;
    case WM_LBUTTONDBLCLK:
        if (CursorY(kMainWindow) < 125) { AT_LINE(); ShowFileInfo(); }
        break;
    case WM_RBUTTONUP:
        if (CursorY(kMainWindow) < 180) { AT_LINE(); ShowContextMenu(); }
        break;
    case WM_MOUSEMOVE: OnMainMouseMove(); break;
    case WM_MOUSEWHEEL:
        if (IsWindowNumberVisible(kMainWindow) && CursorX(kMainWindow) != -1 && FocusedControl() != kPlaylistView) {
            AT_LINE(); ChangeVolume(WheelStep(event.wParam));
            MarkRun(&g_loop.LastStatusTick, GetTickCount());
        }
        break;
    case WM_MBUTTONUP: AT_LINE(); ChangeVolume(2); break;
    case WM_DROPFILES: AT_LINE(); TakeDroppedFiles(reinterpret_cast<HDROP>(event.wParam)); break;
    default: break;
    }
}

void DispatchMainWindow(const Event& event) {
    switch (event.kind) {
    case EventKind::Control: DispatchMainControl(event); break;
    case EventKind::Menu: DispatchMenu(event.number); break;
    case EventKind::Close: AT_LINE(); QuitProgram();
    case EventKind::Tray:
        if (event.type == 0) { AT_LINE(); RestoreMainWindow(); }
        if (event.type == 1) { AT_LINE(); QuitProgram(); }
        break;
    case EventKind::Message: DispatchMainMessage(event); break;
    default: break;
    }
}

void DispatchMiniWindow(const Event& event) {
    if (event.kind == EventKind::Control && event.type == 0) {
        if (event.number == kMiniPreviousButton) { AT_LINE(); PlayPreviousEntry(); }
        if (event.number == kMiniPlayPauseButton) { AT_LINE(); TogglePlayPause(); }
        if (event.number == kMiniNextButton) { AT_LINE(); PlayNextEntry(); }
        return;
    }
    // A right click brings the main window back wherever it lands, on a button too.
    if (event.kind == EventKind::Control && event.type == 1) {
        AT_LINE(); RestoreMainWindow();
        return;
    }
    if (event.kind != EventKind::Message) return;
    switch (event.message) {
    case WM_MOUSEMOVE: UpdateMiniWindowHover(); break;
    case WM_MOUSEWHEEL:
        if (IsWindowNumberVisible(kMiniWindow) && CursorX(kMiniWindow) != -1) {
            AT_LINE(); ChangeVolume(WheelStep(event.wParam));
        }
        break;
    case WM_MBUTTONUP: AT_LINE(); ChangeVolume(2); break;
    case WM_RBUTTONUP: AT_LINE(); RestoreMainWindow(); break;
    default: break;
    }
}

} // namespace

void DispatchEvent(const Event& event) {
    if (event.window == kMainWindow) DispatchMainWindow(event);
    if (event.window == kMiniWindow) DispatchMiniWindow(event);
}
