#pragma once

// Draws one frame on the oscilloscope surface and copies it to the main window: the old
// trace overdrawn in dark green, one fade step of the afterglow, the new trace from the
// channel's samples, and the track description in the text band.
void DrawOscilloscopeFrame();
