#include "app/build_ui_win.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "app/images_win.h"
#include "ui/dialog_win.h"
#include "app/window_procs_win.h"
#include "resources/skin.h"
#include "ui/elements_win.h"
#include "ui/tray_icon_win.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);

const char kFrameClass[] = "QuendraFrame";
const char kMainClass[] = "QuendraMain";

void CreateFrameWindow() {
    RegisterWindowClass(kFrameClass, FrameWindowProc, 0);
    g_ui.windows[kFrameWindow] = CreateWindowExA(0, kFrameClass, "Quendra Rahmen", WS_CAPTION, 0, 0, 0, 0, nullptr,
                                                 nullptr, g_ui.instance, nullptr);
}

void CreateMainWindow() {
    // A drawing context of its own: the oscilloscope fetches it for every frame.
    RegisterWindowClass(kMainClass, MainWindowProc, CS_DBLCLKS | CS_OWNDC);
    const int width = 220, height = 270;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int x = (screenWidth - (width < screenWidth ? width : screenWidth)) / 2;
    const int y = (screenHeight - (height < screenHeight ? height : screenHeight)) / 2;
    // Clipping the children keeps a late erase of the skin from painting over the controls.
    g_ui.windows[kMainWindow] = CreateWindowExA(0, kMainClass, "Quendra Player", WS_POPUP | WS_CLIPCHILDREN, x, y,
                                                width, height,
                                                g_ui.windows[kFrameWindow], nullptr, g_ui.instance, nullptr);
}

void ApplySkin() {
    HWND main = g_ui.windows[kMainWindow];
    if (!main) return;
    const std::vector<uint8_t> regionData = SkinRegionData();
    HRGN region = ExtCreateRegion(nullptr, static_cast<DWORD>(regionData.size()),
                                  reinterpret_cast<const RGNDATA*>(regionData.data()));
    if (region && !SetWindowRgn(main, region, TRUE)) DeleteObject(region); // the window owns it once set
    g_ui.skinBitmap = CreateBitmapFromImage(SkinBackground());
    if (g_ui.skinBitmap) g_ui.skinBrush = CreatePatternBrush(g_ui.skinBitmap);
    // From now on every background erase paints the skin; the class brush is not used.
    SetClassLongPtrA(main, GCLP_HBRBACKGROUND, 0);
}

HWND CreateChild(const char* className, const char* text, DWORD style, DWORD exStyle, int x, int y, int width,
                 int height, int number) {
    HWND child = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                 g_ui.windows[kMainWindow], reinterpret_cast<HMENU>(static_cast<INT_PTR>(number)),
                                 g_ui.instance, nullptr);
    g_ui.controls[number] = child;
    return child;
}

void CreateImageButton(int number, int x, int y, int width, int height, ImageId image) {
    if (CreateChild("STATIC", nullptr, SS_BITMAP | SS_NOTIFY, 0, x, y, width, height, number))
        SetControlImage(number, image);
}

void CreatePositionSlider() {
    HWND slider = CreateChild(TRACKBAR_CLASSA, nullptr, TBS_HORZ, 0, 15, 128, 140, 25, kPositionSlider);
    if (!slider) return;
    SendMessageA(slider, TBM_SETRANGEMIN, FALSE, 0);
    SendMessageA(slider, TBM_SETRANGEMAX, TRUE, 100);
    SetControlTextColor(kPositionSlider, kBlack);
    SetControlBackColor(kPositionSlider, kBlack);
}

void CreateTimeLabel() {
    HWND label = CreateChild("STATIC", "00:00", SS_CENTER, 0, 155, 132, 55, 20, kTimeLabel);
    if (!label) return;
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(g_ui.timeFont), TRUE);
    SetControlBackColor(kTimeLabel, kBlack);
    SetControlTextColor(kTimeLabel, RGB(0, 150, 0));
}

void CreatePlaylistView() {
    HWND list = CreateChild(WC_LISTVIEWA, nullptr, LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS,
                            WS_EX_CLIENTEDGE, 10, 178, 201, 83, kPlaylistView);
    if (!list) return;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = 140;
    column.pszText = const_cast<char*>("Artist - Titel");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    column.cx = 40;
    column.pszText = const_cast<char*>("Zeit");
    SendMessageA(list, LVM_INSERTCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
    column.mask = LVCF_FMT;
    column.fmt = LVCFMT_CENTER;
    SendMessageA(list, LVM_SETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column));
    SendMessageA(list, LVM_SETBKCOLOR, 0, kBlack);
    SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, kBlack);
    SendMessageA(list, LVM_SETTEXTCOLOR, 0, RGB(0, 180, 0));
}

void CreateMainControls() {
    CreateImageButton(kCloseButton, 202, 0, 10, 10, ImageId::CloseNormal);
    CreateImageButton(kMinimizeButton, 185, 0, 10, 10, ImageId::MinimizeNormal);
    CreateImageButton(kAboutButton, 170, 0, 10, 10, ImageId::AboutNormal);
    CreatePositionSlider();
    CreateTimeLabel();
    CreateImageButton(kPreviousButton, 10, 155, 50, 18, ImageId::PreviousNormal);
    CreateImageButton(kPlayPauseButton, 60, 155, 50, 18, ImageId::PlayNormal);
    CreateImageButton(kStopButton, 110, 155, 50, 18, ImageId::StopNormal);
    CreateImageButton(kNextButton, 160, 155, 50, 18, ImageId::NextNormal);
    CreatePlaylistView();
}

void CreateShortcuts() {
    ACCEL keys[2] = {
        {FVIRTKEY, VK_DELETE, kCmdDeleteKey},
        {FVIRTKEY | FCONTROL, 0x41, kCmdSelectAllKey},
    };
    g_ui.shortcuts = CreateAcceleratorTableA(keys, 2);
}

void CreateContextMenu() {
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    HMENU options = CreatePopupMenu();
    HMENU mini = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, kCmdRemoveSelection, "Auswahl entfernen");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kCmdOpenFile, "Datei \xF6" "ffnen");
    AppendMenuA(menu, MF_STRING, kCmdOpenStream, "Stream \xF6" "ffnen");
    AppendMenuA(menu, MF_STRING, kCmdOpenAudioCd, "Audio-CD \xF6" "ffnen");
    AppendMenuA(menu, MF_STRING, kCmdExportPlaylist, "Playlist exportieren");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kCmdRepeat, "Wiederholen");
    AppendMenuA(menu, MF_STRING, kCmdShuffle, "Mischen");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    if (options) {
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(options), "Optionen");
        if (mini) {
            AppendMenuA(options, MF_POPUP, reinterpret_cast<UINT_PTR>(mini), "Minifenster");
            AppendMenuA(mini, MF_STRING, kCmdMiniWindowEnabled, "Aktiviert");
            AppendMenuA(mini, MF_STRING, kCmdMiniWindowText, "Text anzeigen");
        }
        AppendMenuA(options, MF_STRING, kCmdReplayGain, "Replaygain");
        AppendMenuA(options, MF_STRING, kCmdBalloonTips, "Balloontipps");
        AppendMenuA(options, MF_STRING, kCmdHighPriority, "Hohe Priorit\xE4t");
        AppendMenuA(options, MF_STRING, kCmdOnTop, "Fenster on Top");
        AppendMenuA(options, MF_STRING, kCmdFileAssociations, "Dateiverkn\xFCpfungen...");
    }
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kCmdQuit, "Beenden");
    g_ui.contextMenu = menu;
}

} // namespace

void CreateUserInterfaceResources() {
    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    g_ui.timeFont = CreateFontA(-MulDiv(14, pixelsPerInch, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, "Arial");
    CreateButtonImages();
    g_ui.trayIcon = CreateIconFromImage(TrayIconImage());
}

void BuildUserInterface() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CreateFrameWindow();
    CreateMainWindow();
    ApplySkin();
    if (g_ui.windows[kMainWindow]) DragAcceptFiles(g_ui.windows[kMainWindow], TRUE);
    CreateMainControls();
    CreateShortcuts();
    CreateContextMenu();
    AddTrayIcon();
}
