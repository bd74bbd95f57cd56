#pragma once

// The half-second status update: time display, slider, the step to the next entry when a
// track has ended, and the changing titles of internet radio streams.
void UpdateStatus();

