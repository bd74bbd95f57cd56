#include "playback/track_balloon_win.h"

#include <windows.h>

#include "settings/settings.h"
#include "ui/elements_win.h"
#include "ui/loop_state.h"
#include "ui/tray_icon_win.h"

#define LINE_BASE 240000
#include "ui/current_line.h"

namespace {

std::string g_lastBalloonTitle;
std::string g_lastBalloonText;

} // namespace

void ShowTrackBalloon(const std::string& title, const std::string& text) {
    const bool last = title == "LAST" && text == "LAST";
    const std::string shownTitle = last ? g_lastBalloonTitle : title;
    const std::string shownText = last ? g_lastBalloonText : text;
    if (!IsWindowNumberVisible(kMainWindow) && g_settings.BalloonTipEnable == 1) {
        AT_LINE(); ShowTrayBalloon(shownTitle, shownText);
        g_loop.BalloonShownTick = GetTickCount();
    }
    if (!shownTitle.empty() && !shownText.empty()) {
        g_lastBalloonTitle = shownTitle;
        g_lastBalloonText = shownText;
    }
}
