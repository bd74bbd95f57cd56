#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/build_ui_win.h"
#include "app/mini_window_win.h"
#include "app/ui_teardown_win.h"
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

TEST_F(UserInterface, MainWindowIsAnOwnedPopupWithoutCaption) {
    HWND main = WindowHandle(kMainWindow);
    ASSERT_NE(main, nullptr);
    const LONG style = GetWindowLongA(main, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU);
    EXPECT_EQ(GetWindow(main, GW_OWNER), WindowHandle(kFrameWindow));
    EXPECT_FALSE(IsWindowVisible(main));
    char title[64] = {};
    GetWindowTextA(main, title, sizeof title);
    EXPECT_STREQ(title, "Quendra Player");
    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, 220);
    EXPECT_EQ(client.bottom, 270);
}

TEST_F(UserInterface, FrameWindowIsHiddenWithACaption) {
    HWND frame = WindowHandle(kFrameWindow);
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_TRUE(GetWindowLongA(frame, GWL_STYLE) & WS_CAPTION);
    char title[64] = {};
    GetWindowTextA(frame, title, sizeof title);
    EXPECT_STREQ(title, "Quendra Rahmen");
}

TEST_F(UserInterface, SkinRegionCutsTheCorners) {
    HWND main = WindowHandle(kMainWindow);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(main, region), ERROR);
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 2);
    EXPECT_EQ(box.right, 219);
    EXPECT_EQ(box.bottom, 269);
    EXPECT_FALSE(PtInRegion(region, 2, 2));
    EXPECT_FALSE(PtInRegion(region, 4, 2));
    EXPECT_TRUE(PtInRegion(region, 5, 2));
    EXPECT_TRUE(PtInRegion(region, 2, 5));
    EXPECT_FALSE(PtInRegion(region, 218, 266));
    EXPECT_TRUE(PtInRegion(region, 217, 266));
    DeleteObject(region);
}

TEST_F(UserInterface, ControlsCarryTheirNumbersAsIdentifiers) {
    HWND main = WindowHandle(kMainWindow);
    for (int number = kCloseButton; number <= kPlaylistView; ++number) {
        HWND control = GetDlgItem(main, number);
        EXPECT_NE(control, nullptr) << number;
        EXPECT_EQ(control, ControlHandle(number)) << number;
    }
    HWND mini = WindowHandle(kMiniWindow);
    for (int number = kMiniTextArea; number <= kMiniNextButton; ++number)
        EXPECT_EQ(GetDlgItem(mini, number), ControlHandle(number)) << number;
}

TEST_F(UserInterface, ImageButtonsReportClicks) {
    for (int number : {kCloseButton, kMinimizeButton, kAboutButton, kPlayPauseButton, kStopButton, kPreviousButton,
                       kNextButton, kMiniPlayPauseButton, kMiniPreviousButton, kMiniNextButton}) {
        const LONG style = GetWindowLongA(ControlHandle(number), GWL_STYLE);
        EXPECT_EQ(style & SS_TYPEMASK, SS_BITMAP) << number;
        EXPECT_TRUE(style & SS_NOTIFY) << number;
        EXPECT_NE(SendMessageA(ControlHandle(number), STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << number;
    }
}

TEST_F(UserInterface, SliderRangeIsZeroToHundred) {
    HWND slider = ControlHandle(kPositionSlider);
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMAX, 0, 0), 100);
}

TEST_F(UserInterface, PlaylistViewHasTwoHeaderlessColumns) {
    HWND list = ControlHandle(kPlaylistView);
    const LONG style = GetWindowLongA(list, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(style & LVS_NOCOLUMNHEADER);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_FALSE(style & LVS_SINGLESEL);
    EXPECT_TRUE(GetWindowLongA(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0), 140);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), 40);
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT;
    ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_CENTER);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0)), RGB(0, 180, 0));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETBKCOLOR, 0, 0)), RGB(0, 0, 0));
}

TEST_F(UserInterface, ContextMenuItemsInOrder) {
    ASSERT_NE(g_ui.contextMenu, nullptr);
    const std::vector<std::string> top = {
        "18:Auswahl entfernen", "-", "19:Datei \xF6" "ffnen", "20:Stream \xF6" "ffnen",
        "21:Audio-CD \xF6" "ffnen", "22:Playlist exportieren", "-", "23:Wiederholen", "28:Mischen", "-",
        "-1:Optionen", "-", "29:Beenden"};
    EXPECT_EQ(MenuItems(g_ui.contextMenu), top);
    HMENU options = GetSubMenu(g_ui.contextMenu, 10);
    ASSERT_NE(options, nullptr);
    const std::vector<std::string> optionItems = {
        "-1:Minifenster", "30:Replaygain", "24:Balloontipps", "27:Hohe Priorit\xE4t", "31:Fenster on Top",
        "32:Dateiverkn\xFCpfungen..."};
    EXPECT_EQ(MenuItems(options), optionItems);
    HMENU mini = GetSubMenu(options, 0);
    ASSERT_NE(mini, nullptr);
    EXPECT_EQ(MenuItems(mini), (std::vector<std::string>{"25:Aktiviert", "26:Text anzeigen"}));
}

TEST_F(UserInterface, CheckMarksFollowTheValueAndReachSubMenus) {
    SetMenuCheck(kCmdMiniWindowText, 1);
    EXPECT_TRUE(GetMenuState(g_ui.contextMenu, kCmdMiniWindowText, MF_BYCOMMAND) & MF_CHECKED);
    SetMenuCheck(kCmdMiniWindowText, 0);
    EXPECT_FALSE(GetMenuState(g_ui.contextMenu, kCmdMiniWindowText, MF_BYCOMMAND) & MF_CHECKED);
    SetMenuCheck(kCmdRepeat, 7); // any value but 0 shows the mark
    EXPECT_TRUE(GetMenuState(g_ui.contextMenu, kCmdRepeat, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(UserInterface, ShortcutsAreDeleteAndControlA) {
    ASSERT_NE(g_ui.shortcuts, nullptr);
    ACCEL keys[4] = {};
    ASSERT_EQ(CopyAcceleratorTableA(g_ui.shortcuts, keys, 4), 2);
    EXPECT_EQ(keys[0].key, VK_DELETE);
    EXPECT_EQ(keys[0].cmd, kCmdDeleteKey);
    EXPECT_EQ(keys[1].key, 0x41);
    EXPECT_TRUE(keys[1].fVirt & FCONTROL);
    EXPECT_EQ(keys[1].cmd, kCmdSelectAllKey);
}

TEST_F(UserInterface, TimeLabelStartsAtZeroInGreen) {
    char text[32] = {};
    GetWindowTextA(ControlHandle(kTimeLabel), text, sizeof text);
    EXPECT_STREQ(text, "00:00");
    EXPECT_EQ(g_ui.textColor[kTimeLabel], RGB(0, 150, 0));
    EXPECT_EQ(g_ui.backColor[kTimeLabel], RGB(0, 0, 0));
}

TEST_F(UserInterface, MiniWindowIsAHiddenPopup) {
    HWND mini = WindowHandle(kMiniWindow);
    ASSERT_NE(mini, nullptr);
    EXPECT_FALSE(IsWindowVisible(mini));
    EXPECT_TRUE(GetWindowLongA(mini, GWL_STYLE) & WS_POPUP);
    char title[64] = {};
    GetWindowTextA(mini, title, sizeof title);
    EXPECT_STREQ(title, "Quendra MiniFenster");
}
