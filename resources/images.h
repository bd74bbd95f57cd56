#pragma once
#include "resources/image.h"

// The button images. Every button has a normal image in dark greens and a hover image that
// repeats the drawing in brighter greens.
enum class ImageId {
    CloseNormal,
    CloseHover,
    MinimizeNormal,
    MinimizeHover,
    AboutNormal,
    AboutHover,
    PlayNormal,
    PlayHover,
    PauseNormal,
    PauseHover,
    StopNormal,
    StopHover,
    PreviousNormal,
    PreviousHover,
    NextNormal,
    NextHover,
    MiniPlayNormal,
    MiniPlayHover,
    MiniPauseNormal,
    MiniPauseHover,
    MiniPreviousNormal,
    MiniPreviousHover,
    MiniNextNormal,
    MiniNextHover,
    Count
};

// 10 x 10 for close, minimize and about; 50 x 18 for the transport buttons; 30 x 18 for the
// mini window's buttons. An id out of range gives an empty image.
Image MakeButtonImage(ImageId id);
