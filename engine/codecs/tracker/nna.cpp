// Which voice a new note plays on. Without IT instruments the channel's old note stops
// (ramped out on a voice of its own so nothing clicks). IT's new note actions may leave
// it playing in the background: continuing, released or fading, within kMaxVoices
// voices, the quietest background voice giving way when none is free.
#include <algorithm>

#include "channel_effects.h"

namespace tracker {

// The ramp to silence starts at the tick's voice update (which sets its length).
void StopVoice(PlayingVoice& voice) { voice.mix.fadingOutToStop = true; }

void ReleaseVoice(SongState& s, PlayingVoice& voice, NewNoteAction action) {
    (void)s;
    switch (action) {
    case NewNoteAction::Cut: StopVoice(voice); break;
    case NewNoteAction::Continue: break;
    case NewNoteAction::NoteOff:
        voice.keyOn = false;
        if (!voice.instrument || !voice.instrument->volumeEnvelope.enabled || voice.instrument->volumeEnvelope.loop) {
            voice.fading = true;
        }
        break;
    case NewNoteAction::NoteFade: voice.fading = true; break;
    }
}

void PastNoteAction(SongState& s, int channelIndex, int action) {
    static const NewNoteAction kActions[3] = {NewNoteAction::Cut, NewNoteAction::NoteOff, NewNoteAction::NoteFade};
    for (int i = 0; i < s.voicesUsed; ++i) {
        PlayingVoice& voice = s.voices[i];
        if (voice.mix.active && voice.background && voice.channel == channelIndex) ReleaseVoice(s, voice, kActions[action]);
    }
}

static float Loudness(const PlayingVoice& voice) {
    return std::max(voice.mix.left, voice.mix.right) + std::max(voice.mix.targetLeft, voice.mix.targetRight);
}

static int FreeVoice(SongState& s) {
    int best = -1;
    float bestLoudness = 0;
    for (int i = 0; i < static_cast<int>(s.voices.size()); ++i) {
        if (i >= s.voicesUsed) return i;
        const PlayingVoice& voice = s.voices[i];
        if (!voice.mix.active) return i;
        if (!voice.background) continue;
        float loudness = Loudness(voice);
        if (best < 0 || loudness < bestLoudness ||
            (loudness == bestLoudness && voice.startTick < s.voices[best].startTick)) {
            best = i;
            bestLoudness = loudness;
        }
    }
    return best;
}

static void DuplicateCheck(SongState& s, int channelIndex, const Instrument& instrument, int sampleIndex, uint8_t note) {
    if (instrument.duplicateCheck == DuplicateCheck::Off) return;
    for (int i = 0; i < s.voicesUsed; ++i) {
        PlayingVoice& voice = s.voices[i];
        if (!voice.mix.active || voice.channel != channelIndex || voice.instrument != &instrument) continue;
        bool same = false;
        switch (instrument.duplicateCheck) {
        case DuplicateCheck::Note: same = voice.note == note; break;
        case DuplicateCheck::Sample: same = voice.sampleIndex == sampleIndex; break;
        case DuplicateCheck::Instrument: same = true; break;
        case DuplicateCheck::Off: break;
        }
        if (!same) continue;
        switch (instrument.duplicateAction) {
        case DuplicateAction::Cut: StopVoice(voice); break;
        case DuplicateAction::NoteOff: ReleaseVoice(s, voice, NewNoteAction::NoteOff); break;
        case DuplicateAction::NoteFade: voice.fading = true; break;
        }
    }
}

int StartVoice(SongState& s, int channelIndex, const Sample* sample, int sampleIndex, uint8_t note) {
    if (s.timingOnly) return -1;
    Channel& ch = s.channels[channelIndex];
    bool itInstruments = IsIt(s) && s.module->instrumentMode;
    // IT's carry: a new note of the same instrument goes on from the old note's envelope
    // positions instead of their starts.
    bool carry = false;
    EnvelopeState carried[3];
    if (ch.voice >= 0) {
        PlayingVoice& old = s.voices[ch.voice];
        if (itInstruments && ch.instr && old.instrument == ch.instr) {
            carry = true;
            carried[0] = old.volumeCursor, carried[1] = old.panCursor, carried[2] = old.pitchCursor;
        }
        old.background = true;
        if (itInstruments && old.instrument) {
            NewNoteAction action = ch.newNoteActionOverride >= 0
                                       ? static_cast<NewNoteAction>(ch.newNoteActionOverride)
                                       : old.instrument->newNoteAction;
            ReleaseVoice(s, old, action);
        } else {
            StopVoice(old);
        }
        ch.voice = -1;
    }
    if (itInstruments && ch.instr) DuplicateCheck(s, channelIndex, *ch.instr, sampleIndex, note);
    int index = FreeVoice(s);
    if (index < 0) return -1;
    // A channel whose note has ended still names its voice: it is no longer its own.
    for (Channel& other : s.channels) {
        if (other.voice == index) other.voice = -1;
    }
    PlayingVoice& voice = s.voices[index];
    ResonantFilter filter;
    voice = PlayingVoice{};
    voice.mix.filter = filter;
    voice.mix.sample = sample;
    voice.mix.active = true;
    voice.channel = channelIndex;
    voice.instrument = UsesInstruments(s) ? ch.instr : nullptr;
    voice.note = note;
    voice.sampleIndex = sampleIndex;
    voice.startTick = s.tickCount;
    if (carry) {
        if (ch.instr->volumeEnvelope.carry) voice.volumeCursor = carried[0];
        if (ch.instr->panEnvelope.carry) voice.panCursor = carried[1];
        if (ch.instr->pitchEnvelope.carry) voice.pitchCursor = carried[2];
    }
    voice.mix.itPingPong = IsIt(s);
    if (sample) AutoVibratoStart(*sample, voice.autoVibrato);
    if (voice.instrument && IsIt(s)) {
        const Instrument& instrument = *voice.instrument;
        if (instrument.randomVolume) {
            s.randomSeed = s.randomSeed * 1103515245u + 12345u;
            int spread = static_cast<int>((s.randomSeed >> 16) % (2 * instrument.randomVolume + 1)) - instrument.randomVolume;
            voice.randomVolumeFactor = std::clamp(256 + spread * 256 / 100, 0, 512);
        }
        if (instrument.randomPan) {
            s.randomSeed = s.randomSeed * 1103515245u + 12345u;
            int spread = static_cast<int>((s.randomSeed >> 16) % (2 * instrument.randomPan + 1)) - instrument.randomPan;
            ch.pan = std::clamp(ch.pan + spread * 4, 0, 256);
        }
    }
    ch.voice = index;
    ch.newNoteActionOverride = -1;
    s.voicesUsed = std::max(s.voicesUsed, index + 1);
    return index;
}

}  // namespace tracker
