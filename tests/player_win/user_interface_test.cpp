#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/build_ui_win.h"
#include "app/dispatch_win.h"
#include "app/event_wait_win.h"
#include "app/mini_window_win.h"
#include "app/ui_teardown_win.h"
#include "playback/audio_engine_win.h"
#include "playlist/playlist.h"
#include "settings/settings.h"
#include "ui/elements_win.h"

namespace {

// Builds the user interface once for all tests of this file, as start-up does.
class UserInterface : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_ui.instance = GetModuleHandleA(nullptr);
        CreateUserInterfaceResources();
        CreateMiniWindow();
        BuildUserInterface();
    }
    static void TearDownTestSuite() { DestroyUserInterface(); }
};

std::string MenuText(HMENU menu, int position) {
    char text[128] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, position, TRUE, &info)) return "<missing>";
    if (info.fType & MFT_SEPARATOR) return "-";
    return std::to_string(info.hSubMenu ? -1 : static_cast<int>(info.wID)) + ":" + text;
}

std::vector<std::string> MenuItems(HMENU menu) {
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) items.push_back(MenuText(menu, i));
    return items;
}

} // namespace

// Automation and tests address controls and commands by number. The main window's controls
// and the shortcuts are shown end to end (tests/e2e: startup, controls).
TEST_F(UserInterface, ControlsAndMenuItemsCarryTheirNumbers) {
    for (int number = kMiniTextArea; number <= kMiniNextButton; ++number)
        EXPECT_EQ(GetDlgItem(WindowHandle(kMiniWindow), number), ControlHandle(number)) << number;
    const std::vector<std::string> top = {
        "18:Auswahl entfernen", "-", "19:Datei \xF6" "ffnen", "20:Stream \xF6" "ffnen",
        "21:Audio-CD \xF6" "ffnen", "22:Playlist exportieren", "-", "23:Wiederholen", "28:Mischen", "-",
        "-1:Optionen", "-", "29:Beenden"};
    EXPECT_EQ(MenuItems(g_ui.contextMenu), top);
    HMENU options = GetSubMenu(g_ui.contextMenu, 10);
    const std::vector<std::string> optionItems = {
        "-1:Minifenster", "30:Replaygain", "24:Balloontipps", "27:Hohe Priorit\xE4t", "31:Fenster on Top",
        "32:Dateiverkn\xFCpfungen..."};
    EXPECT_EQ(MenuItems(options), optionItems);
    EXPECT_EQ(MenuItems(GetSubMenu(options, 0)), (std::vector<std::string>{"25:Aktiviert", "26:Text anzeigen"}));
}

TEST_F(UserInterface, OptionItemsToggleTheirFlagAndCheckMarkAndApplyAtOnce) {
    const std::pair<int, int32_t*> options[] = {
        {kCmdRepeat, &g_settings.WiederholenEnable},        {kCmdBalloonTips, &g_settings.BalloonTipEnable},
        {kCmdMiniWindowEnabled, &g_settings.MiniFensterEnable}, {kCmdMiniWindowText, &g_settings.MiniFensterScrollTextEnable},
        {kCmdHighPriority, &g_settings.HohePrioEnable},     {kCmdReplayGain, &g_settings.ReplayGainEnable},
        {kCmdOnTop, &g_settings.FensterOnTop}};
    for (const auto& [command, flag] : options) {
        for (const int32_t expected : {1, 0}) {
            DispatchEvent(Event{EventKind::Menu, kMainWindow, command});
            EXPECT_EQ(*flag, expected) << command;
            EXPECT_EQ((GetMenuState(g_ui.contextMenu, command, MF_BYCOMMAND) & MF_CHECKED) != 0, expected == 1) << command;
            if (command == kCmdOnTop) {
                EXPECT_EQ((GetWindowLongA(WindowHandle(kMainWindow), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, expected == 1);
            }
            if (command == kCmdHighPriority) {
                EXPECT_EQ(GetPriorityClass(GetCurrentProcess()),
                          static_cast<DWORD>(expected == 1 ? HIGH_PRIORITY_CLASS : NORMAL_PRIORITY_CLASS));
            }
        }
    }
}

TEST_F(UserInterface, DroppedFilesAreAddedInOrderAndShown) {
    ASSERT_TRUE(LoadAudioEngine(g_audio)) << "fmodex.dll beside the tests";
    ASSERT_EQ(g_audio.System_Create(&g_audio.system), FMOD_OK);
    // Names that open nothing: each is listed all the same.
    const std::string names[] = {"C:\\quendra-nowhere\\eins.mp3", "C:\\quendra-nowhere\\zwei \xE4.ogg"};
    // A drop handle as the shell makes it: DROPFILES, then zero-ended names, then one more zero.
    std::string block(sizeof(DROPFILES), '\0');
    for (const std::string& name : names) block += name + '\0';
    block += '\0';
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE, block.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    std::memcpy(header, block.data(), block.size());
    header->pFiles = sizeof(DROPFILES);
    GlobalUnlock(drop);
    g_playlist.clear();
    DispatchEvent(Event{EventKind::Message, kMainWindow, 0, 0, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0});
    ASSERT_EQ(g_playlist.size(), 2u);
    EXPECT_EQ(g_playlist[0].path + "|" + g_playlist[1].path, names[0] + "|" + names[1]);
    EXPECT_EQ(SendMessageA(ControlHandle(kPlaylistView), LVM_GETITEMCOUNT, 0, 0), 2);
    g_playlist.clear();
    g_audio.System_Release(g_audio.system);
    UnloadAudioEngine(g_audio);
}

// A tray click sent by another thread is handled inside the same peek that returns a posted
// menu command: both events come out, the sent one first.
TEST_F(UserInterface, ASentAndAPostedMessageTogetherLoseNoEvent) {
    HWND main = WindowHandle(kMainWindow);
    ASSERT_TRUE(PostMessageA(main, WM_COMMAND, kCmdRepeat, 0));
    HANDLE sender = CreateThread(
        nullptr, 0,
        [](void* window) -> DWORD {
            SendMessageA(static_cast<HWND>(window), kTrayCallbackMessage, 0, WM_RBUTTONUP);
            return 0;
        },
        main, 0, nullptr);
    ASSERT_NE(sender, nullptr);
    Sleep(200); // the sent message waits for the next message call
    std::vector<Event> events;
    for (int pass = 0; pass < 20 && events.size() < 2; ++pass) {
        const Event event = WaitEvent(50);
        if (event.kind == EventKind::Tray || event.kind == EventKind::Menu) events.push_back(event);
    }
    WaitForSingleObject(sender, 5000);
    CloseHandle(sender);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_TRUE(events[0].kind == EventKind::Tray && events[0].type == 1) << "the sent tray click first";
    EXPECT_TRUE(events[1].kind == EventKind::Menu && events[1].number == kCmdRepeat);
}
