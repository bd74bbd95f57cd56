#pragma once
// Small modules written in code: one looped square or saw sample, a few cells.
#include <memory>

#include "tracker/module.h"

namespace tracker_test {

// A module of `type` with `channels` channels and one pattern of `rows` rows per order.
std::shared_ptr<tracker::Module> MakeModule(tracker::ModuleType type, int channels, int patterns, int rows);

// A looped single-cycle sample: `frames` long, square or rising saw, full scale.
void AddSample(tracker::Module& module, int frames, bool square, uint8_t volume = 64);

// An instrument playing `sample` (1-based) on every key.
tracker::Instrument& AddInstrument(tracker::Module& module, int sample);

tracker::Cell& At(tracker::Module& module, int pattern, int row, int channel);

}  // namespace tracker_test
