#pragma once
// The tracker fuzzers' one harness: load with one format's loader; when it loads, check
// the module keeps the promises load.h makes (loops inside samples, patterns as wide as
// the module), then render a bounded stretch at a low rate, take the length and seek.
#include <cmath>
#include <memory>
#include <vector>

#include "tracker/load.h"
#include "tracker/player.h"

using LoadFn = tracker::LoadResult (*)(const uint8_t*, size_t, tracker::Module&);

inline void CheckModule(const tracker::Module& m) {
    if (m.channels < 1 || m.channels > 64) __builtin_trap();
    for (const tracker::Pattern& p : m.patterns)
        if (p.rows < 1 || p.rows > 256 || p.cells.size() != size_t(p.rows) * size_t(m.channels)) __builtin_trap();
    for (const tracker::Sample& s : m.samples) {
        if (s.pcm.size() != size_t(s.frames) * size_t(s.channels)) __builtin_trap();
        for (const tracker::Loop& l : {s.loop, s.sustainLoop})
            if (l.type != tracker::LoopType::None && (l.start >= l.end || l.end > s.frames)) __builtin_trap();
    }
}

inline void FuzzModule(LoadFn load, const uint8_t* data, size_t size) {
    auto module = std::make_shared<tracker::Module>();
    if (load(data, size, *module) != tracker::LoadResult::Ok) return;
    CheckModule(*module);
    tracker::RenderSettings settings;
    settings.sampleRate = 8000;
    tracker::Player player(module, settings);
    std::vector<float> out(2 * 1024);
    for (int i = 0; i < 16; ++i) {
        const size_t n = player.Render(out.data(), 1024);
        if (n > 1024) __builtin_trap();
        for (size_t k = 0; k < n * 2; ++k)
            if (!std::isfinite(out[k])) __builtin_trap();
        if (n < 1024) break;
    }
    const uint64_t length = player.LengthFrames();
    const uint64_t target = size > 0 ? length / 256 * data[size / 2] : 0;
    if (player.SeekToFrame(target)) player.Render(out.data(), 1024);
    player.SetLooping(true);
    // A song that plays at all goes on for ever when looping.
    if (length > 0 && player.SeekToFrame(length - 1) && player.Render(out.data(), 1024) != 1024) __builtin_trap();
}
