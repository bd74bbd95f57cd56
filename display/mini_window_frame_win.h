#pragma once

// Draws one frame of the mini window (window 0): the trace with the main oscilloscope's
// afterglow, scaled to the window, and over it either the scrolling track description or,
// for one second after a volume change, the volume; then shows it on the text area
// (control 1). The event loop calls it after FitMiniWindow while the window is visible.
void DrawMiniWindowFrame();
