#include "display/wave_samples.h"

float g_waveSamples[kWaveSampleCount] = {};
float g_miniWaveSamples[kWaveSampleCount] = {};
