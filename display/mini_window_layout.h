#pragma once
#include <cstdint>
#include <string>

// Where the task-bar mini window goes and what its picture says, without Win32: the band
// window gives up 100 pixels, and the mini window, one pixel wider, sits right of it.

struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct PlacedRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// left XOR top XOR width XOR height: a change of the task bar changes it.
int32_t TaskbarLayoutKeyOf(const ScreenRect& band);

// The band window narrowed by 100 pixels; its screen left edge serves as the position
// inside the task bar and its top as 0, whatever edge of the screen the task bar is on.
PlacedRect NarrowedBand(const ScreenRect& band);

// The mini window's client area right of the (narrowed) band: 101 wide, as high as the band.
PlacedRect MiniWindowBeside(const ScreenRect& band);

// Left edges of the buttons 3, 2 and 4, and their top in a mini window `height` high.
constexpr int32_t kMiniButtonLeft[3] = {3, 35, 67};
int32_t MiniButtonTop(int32_t height);

// The volume notice: shown for one second after every volume change, announced by the
// first refresh after the window is shown again when the volume changed meanwhile.
struct VolumeNotice {
    int32_t shownVolume = -1; // the volume seen at the last refresh; -1 before the first
    uint32_t tick = 0;        // when the last change was seen; 0 = no notice pending
};

struct VolumeNoticeStep {
    bool showTextArea = false;           // a change was seen: the text area comes up
    bool hideTextAreaIfHovered = false;  // the second is over: the buttons come back
    bool drawNotice = false;             // this refresh draws the notice instead of the text
};

VolumeNoticeStep StepVolumeNotice(VolumeNotice& notice, int32_t volume, uint32_t now);

// "Volume 75%"; drawn in red shades at 0 (muted or turned down), in green otherwise.
std::string VolumeNoticeText(int32_t volume);
struct NoticeColours {
    uint32_t light; // 0x00BBGGRR, as Win32 colours are
    uint32_t dark;
};
NoticeColours VolumeNoticeColours(int32_t volume);
