#pragma once
#include <windows.h>
#include <windows.h>
#include <commctrl.h>

// Custom drawing of the position slider in the player's colours; returns the answer to
// NM_CUSTOMDRAW, or false when the draw stage is not ours to handle.
bool DrawPositionSlider(const NMCUSTOMDRAW& draw, LRESULT* answer);
