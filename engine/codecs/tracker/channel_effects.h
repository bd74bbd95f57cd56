#pragma once
// What each row and tick does to the channels: notes and instruments (note.cpp), effects
// on the row's first tick (effects_row.cpp), on the ticks after (effects_tick.cpp), with
// the slides and oscillators they share (effects_common.cpp).
#include "channel.h"

namespace tracker {

inline bool IsMod(const SongState& s) { return s.module->type == ModuleType::Mod; }
inline bool IsS3m(const SongState& s) { return s.module->type == ModuleType::S3m; }
inline bool IsXm(const SongState& s) { return s.module->type == ModuleType::Xm; }
inline bool IsIt(const SongState& s) { return s.module->type == ModuleType::It; }
inline bool UsesInstruments(const SongState& s) {
    return IsXm(s) || (IsIt(s) && s.module->instrumentMode);
}

// note.cpp: the cell's note, instrument and volume-column volume/pan (at tick 0, or at
// the tick a note delay names).
void PlayCellNote(SongState& s, int channelIndex);
void KeyOffChannel(SongState& s, Channel& channel);
void ApplyVolumeColumnSet(SongState& s, Channel& channel);

// effects_row.cpp / effects_tick.cpp
void RowEffects(SongState& s, int channelIndex);
void TickEffects(SongState& s, int channelIndex, int tick);

// effects_common.cpp
void VolumeSlide(SongState& s, Channel& channel, uint8_t param, bool firstTick);
void PortaPeriod(SongState& s, Channel& channel, int amount);  // amount > 0: pitch up
void TonePortaStep(SongState& s, Channel& channel);
void VibratoStep(SongState& s, Channel& channel, int depthScale);
void TremoloStep(SongState& s, Channel& channel);
void PanbrelloStep(SongState& s, Channel& channel);
// byTick: MOD/XM E9x, on every x-th tick of the row; else Qxy/Rxy's running counter.
void RetriggerStep(SongState& s, Channel& channel, uint8_t param, int tick, bool byTick);
void TremorStep(SongState& s, Channel& channel, uint8_t param);
void CutChannelNote(SongState& s, Channel& channel);
uint8_t Memory(uint8_t& memory, uint8_t param);  // 0 takes the remembered value
int TonePortaSpeedFromVolumeColumn(const SongState& s, uint8_t param);

// nna.cpp: the voice a new note plays on, the old one cut, released or kept.
int StartVoice(SongState& s, int channelIndex, const Sample* sample, int sampleIndex, uint8_t note);
void PastNoteAction(SongState& s, int channelIndex, int action);
void ReleaseVoice(SongState& s, PlayingVoice& voice, NewNoteAction action);
void StopVoice(PlayingVoice& voice);

// voice_update.cpp: the mixer's targets for every voice from this tick's state.
void UpdateVoices(SongState& s);

// sequencer.cpp
bool AdvanceTick(SongState& s);     // false at the song's end
void ResetSong(SongState& s, const Module& module, const RenderSettings& settings);
void RestartSong(SongState& s);     // looping: the restart position, state kept
uint64_t FramesOfTick(SongState& s);

}  // namespace tracker
