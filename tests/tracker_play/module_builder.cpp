#include "module_builder.h"

#include <algorithm>

namespace tracker_test {

std::shared_ptr<tracker::Module> MakeModule(tracker::ModuleType type, int channels, int patterns, int rows) {
    auto module = std::make_shared<tracker::Module>();
    module->type = type;
    module->channels = channels;
    for (int p = 0; p < patterns; ++p) {
        tracker::Pattern pattern;
        pattern.rows = rows;
        pattern.cells.resize(static_cast<size_t>(rows) * channels);
        module->patterns.push_back(pattern);
        module->orders.push_back(static_cast<uint16_t>(p));
    }
    module->channelPan.assign(channels, 128);
    module->channelVolume.assign(channels, 64);
    module->channelMuted.assign(channels, false);
    return module;
}

void AddSample(tracker::Module& module, int frames, bool square, uint8_t volume) {
    tracker::Sample sample;
    sample.frames = static_cast<uint32_t>(frames);
    for (int i = 0; i < frames; ++i) {
        float value = square ? (i < frames / 2 ? 0.5f : -0.5f) : -0.5f + static_cast<float>(i) / frames;
        sample.pcm.push_back(value);
    }
    sample.loop = {tracker::LoopType::Forward, 0, static_cast<uint32_t>(frames)};
    sample.volume = volume;
    module.samples.push_back(sample);
}

tracker::Instrument& AddInstrument(tracker::Module& module, int sample) {
    tracker::Instrument instrument;
    std::fill(std::begin(instrument.keyboardSample), std::end(instrument.keyboardSample), sample);
    module.instruments.push_back(instrument);
    return module.instruments.back();
}

tracker::Cell& At(tracker::Module& module, int pattern, int row, int channel) {
    return module.patterns[pattern].cells[static_cast<size_t>(row) * module.channels + channel];
}

}  // namespace tracker_test
