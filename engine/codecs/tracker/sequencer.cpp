// The song position: ticks of 2.5 / tempo seconds, `speed` ticks a row (longer with
// pattern delays), rows through patterns in order-list order, following jumps, breaks
// and pattern loops. A pass ends at the order list's end or at the first row played a
// second time (rows replayed by a pattern loop do not count).
#include <algorithm>

#include "channel_effects.h"

namespace tracker {

static const Pattern& EmptyPattern() {
    static const Pattern pattern = [] {
        Pattern p;
        p.rows = 64;
        return p;
    }();
    return pattern;
}

static const Pattern& PatternAt(const SongState& s, int order) {
    const Module& module = *s.module;
    int index = module.orders[order];
    if (index >= static_cast<int>(module.patterns.size()) || module.patterns[index].rows <= 0) return EmptyPattern();
    const Pattern& pattern = module.patterns[index];
    if (pattern.cells.size() < static_cast<size_t>(pattern.rows) * module.channels) return EmptyPattern();
    return pattern;
}

static void ClearVisited(SongState& s) {
    std::fill(s.visited.begin(), s.visited.end(), false);
}

void ResetSong(SongState& s, const Module& module, const RenderSettings& settings) {
    s = SongState{};
    s.module = &module;
    s.settings = settings;
    s.channels.assign(module.channels, Channel{});
    s.voices.assign(kMaxVoices, PlayingVoice{});
    for (int i = 0; i < module.channels; ++i) {
        Channel& ch = s.channels[i];
        if (i < static_cast<int>(module.channelPan.size())) {
            int pan = module.channelPan[i];
            ch.pan = pan == 512 ? 128 : std::clamp(pan, 0, 256);
            ch.surround = pan == 512;
            // MOD channels are stored hard left and right; by default they start half
            // way to the centre, as the usual players do (8xx still pans hard).
            if (module.type == ModuleType::Mod && settings.stereoSeparation < 0) ch.pan = 128 + (ch.pan - 128) / 2;
        }
        if (i < static_cast<int>(module.channelVolume.size())) ch.channelVolume = std::min<int>(module.channelVolume[i], 64);
        if (i < static_cast<int>(module.channelMuted.size())) ch.muted = module.channelMuted[i];
        ch.tremorOn = module.type != ModuleType::Xm;  // FT2's first tremor tick switches it on
    }
    s.speed = module.initialSpeed ? module.initialSpeed : 6;
    s.tempo = std::max<int>(module.initialTempo, 32);
    s.globalVolume = module.initialGlobalVolume;
    uint32_t rows = 0;
    s.visitedOffset.resize(module.orders.size());
    for (size_t i = 0; i < module.orders.size(); ++i) {
        s.visitedOffset[i] = rows;
        int index = module.orders[i];
        rows += index < static_cast<int>(module.patterns.size()) ? std::max(module.patterns[index].rows, 64) : 64;
    }
    s.visited.assign(rows, false);
    s.order = 0;
    s.row = 0;
    s.tick = 0;
    s.rowTicks = 0;  // the first call enters row 0
}

void RestartSong(SongState& s) {
    const Module& module = *s.module;
    int restart = (IsMod(s) || IsXm(s)) ? module.restartOrder : 0;
    if (restart >= static_cast<int>(module.orders.size())) restart = 0;
    ClearVisited(s);
    s.order = restart;
    s.row = 0;
    s.tick = 0;
    s.rowTicks = 0;
    s.ended = false;
    s.breakRow = s.jumpOrder = s.loopTargetRow = -1;
    s.xmBreakFlag = s.xmJumpFlag = false;
    s.xmBreakPos = 0;
}

// Moves order/row to a playable row; false when the order list ends.
static bool SettleOrder(SongState& s) {
    const Module& module = *s.module;
    int size = static_cast<int>(module.orders.size());
    for (int guard = 0; guard <= size; ++guard) {
        if (s.order < 0 || s.order >= size) return false;
        uint16_t pattern = module.orders[s.order];
        if (pattern == kOrderEnd) return false;
        // An XM order naming a pattern the file does not have is passed over (S3M and
        // IT play such a pattern as 64 empty rows).
        bool missing = module.type == ModuleType::Xm && pattern >= module.patterns.size();
        if (pattern == kOrderSkip || missing) {
            ++s.order;
            s.row = 0;
            continue;
        }
        if (s.row >= PatternAt(s, s.order).rows) s.row = 0;
        return true;
    }
    return false;
}

static void MarkLoopRowsUnvisited(SongState& s, int fromRow, int toRow) {
    uint32_t base = s.visitedOffset[s.order];
    for (int row = std::max(0, fromRow); row <= toRow; ++row) s.visited[base + row] = false;
}

// After a row's last tick: where the next row is.
static void NextPosition(SongState& s) {
    int rows = PatternAt(s, s.order).rows;
    if (IsXm(s)) {
        // FT2 keeps the break row after a pattern loop, so a later pattern end starts
        // the next pattern at the loop's row.
        ++s.row;
        if (s.xmBreakFlag) {
            MarkLoopRowsUnvisited(s, s.xmBreakPos, s.row - 1);
            s.row = s.xmBreakPos;
            s.xmBreakFlag = false;
        }
        if (s.row >= rows || s.xmJumpFlag) {
            s.row = s.xmBreakPos;
            s.xmBreakPos = 0;
            s.order = s.jumpOrder >= 0 ? s.jumpOrder : s.order + 1;
            s.xmJumpFlag = false;
        }
    } else if (s.loopTargetRow >= 0) {
        MarkLoopRowsUnvisited(s, s.loopTargetRow, s.row);
        s.row = s.loopTargetRow;
    } else if (s.jumpOrder >= 0 || s.breakRow >= 0) {
        s.order = s.jumpOrder >= 0 ? s.jumpOrder : s.order + 1;
        s.row = s.breakRow >= 0 ? s.breakRow : 0;
    } else if (++s.row >= rows) {
        s.row = 0;
        ++s.order;
    }
    s.jumpOrder = s.breakRow = s.loopTargetRow = -1;
}

static bool EnterRow(SongState& s) {
    if (!SettleOrder(s)) return false;
    uint32_t index = s.visitedOffset[s.order] + s.row;
    if (s.visited[index]) return false;
    s.visited[index] = true;
    return true;
}

static void ResetTickDeltas(Channel& ch) {
    ch.periodDelta = 0;
    ch.arpeggioNotes = 0;
    ch.volumeDelta = 0;
    ch.panDelta = 0;
    ch.tremorMute = false;
}

static void StartRow(SongState& s) {
    const Module& module = *s.module;
    const Pattern& pattern = PatternAt(s, s.order);
    s.patternDelay = 0;
    s.fineDelay = 0;
    s.rowDelayStarted = false;
    for (int c = 0; c < module.channels; ++c) {
        Channel& ch = s.channels[c];
        ch.cell = pattern.cells.empty() ? Cell{} : pattern.cells[static_cast<size_t>(s.row) * module.channels + c];
        ch.noteDelayTick = -1;
        ch.noteCutTick = -1;
        if (ch.cell.effect != Effect::Tremor && !IsIt(s) && !IsXm(s)) ch.tremorCounter = 0;
        if (ch.cell.effect != Effect::Retrigger && !IsXm(s)) ch.retriggerCounter = 0;
        // FT2 holds a tremolo's volume through the first tick of the next tremolo row.
        int heldTremolo = IsXm(s) && ch.cell.effect == Effect::Tremolo ? ch.volumeDelta : 0;
        ResetTickDeltas(ch);
        ch.volumeDelta = heldTremolo;
        RowEffects(s, c);
    }
    s.rowTicks = s.speed * (1 + s.patternDelay) + s.fineDelay;
}

uint64_t FramesOfTick(SongState& s) {
    // 2.5 / tempo seconds, rounded to whole frames as the reference player does (a
    // carried remainder would drift from it by a frame every few ticks).
    uint64_t numerator = static_cast<uint64_t>(s.settings.sampleRate) * 5;
    uint64_t denominator = static_cast<uint64_t>(std::max(s.tempo, 1)) * 2;
    return numerator / denominator;
}

bool AdvanceTick(SongState& s) {
    if (s.ended) return false;
    if (s.tick >= s.rowTicks) {
        if (s.rowTicks > 0) NextPosition(s);
        if (!EnterRow(s)) {
            s.ended = true;
            return false;
        }
        s.tick = 0;
        StartRow(s);
    } else {
        for (int c = 0; c < s.module->channels; ++c) {
            // Timing alone only needs the ticks' tempo slides.
            if (s.timingOnly && s.channels[c].cell.effect != Effect::SetTempo) continue;
            ResetTickDeltas(s.channels[c]);
            TickEffects(s, c, s.tick % std::max(s.speed, 1));
        }
    }
    if (!s.timingOnly) UpdateVoices(s);
    ++s.tick;
    ++s.tickCount;
    return true;
}

}  // namespace tracker
