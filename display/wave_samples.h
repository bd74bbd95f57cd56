#pragma once

// Sample buffers of the oscilloscopes, 201 values each (indices 0 to 200), zero-filled
// at start-up: one for the main window, one for the mini window.
constexpr int kWaveSampleCount = 201;
extern float g_waveSamples[kWaveSampleCount];
extern float g_miniWaveSamples[kWaveSampleCount];
