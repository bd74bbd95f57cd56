// A cell's note and instrument: which sample, at which period, with which volume and
// panning, and whether it starts a new voice or slides the old one (tone portamento).
#include <algorithm>

#include "channel_effects.h"
#include "periods.h"

namespace tracker {

static bool IsTonePorta(const Cell& cell) {
    return cell.effect == Effect::TonePorta || cell.effect == Effect::TonePortaVolSlide ||
           cell.volumeCommand == VolumeCommand::TonePorta;
}

static const Sample* SampleAt(const Module& module, int index) {
    if (index < 1 || index > static_cast<int>(module.samples.size())) return nullptr;
    const Sample& sample = module.samples[index - 1];
    return sample.frames ? &sample : nullptr;
}

// The note the keyboard maps to and its sample (instrument modes), 1-based sample.
static int ResolveSample(const SongState& s, const Channel& channel, int note, int& playNote) {
    playNote = note;
    if (!UsesInstruments(s)) return channel.instrument;
    const Instrument* instrument = channel.instr;
    if (!instrument || note < 1 || note > kNoteMax) return 0;
    int mapped = instrument->keyboardNote[note - 1];
    if (mapped >= 1 && mapped <= kNoteMax) playNote = mapped;
    return instrument->keyboardSample[note - 1];
}

void KeyOffChannel(SongState& s, Channel& channel) {
    channel.keyOff = true;
    if (channel.voice < 0) return;
    PlayingVoice& voice = s.voices[channel.voice];
    voice.keyOn = false;
    const Instrument* instrument = voice.instrument;
    if (IsXm(s)) {
        // Without a volume envelope FT2 silences the note at once.
        if (!instrument || !instrument->volumeEnvelope.enabled) channel.volume = 0;
        voice.fading = true;
    } else if (instrument && (!instrument->volumeEnvelope.enabled || instrument->volumeEnvelope.loop)) {
        // IT fades out at once where the envelope would never end.
        voice.fading = true;
    }
}

// IT: a sample's own panning outranks its instrument's.
static void ResetVolumeAndPan(SongState& s, Channel& channel, const Sample* sample) {
    if (IsIt(s) && channel.instr && channel.instr->pan >= 0) channel.pan = channel.instr->pan;
    if (sample) {
        channel.volume = sample->volume;
        if (sample->pan >= 0 && !IsMod(s)) channel.pan = sample->pan;
    }
}

static void ApplyOffset(SongState& s, Channel& channel, PlayingVoice& voice) {
    const Cell& cell = channel.cell;
    if (cell.effect != Effect::SampleOffset || !voice.mix.sample) return;
    uint32_t offset = Memory(channel.memOffset, cell.effectParam) * 256u + channel.offsetHigh * 65536u;
    const Sample& sample = *voice.mix.sample;
    if (offset < sample.frames) {
        voice.mix.position = offset;
        return;
    }
    if (IsIt(s)) {
        // IT plays from the end (old effects) or ignores the offset.
        voice.mix.position = s.module->oldEffects ? sample.frames - 1 : 0;
    } else if (IsMod(s) && sample.loop.type != LoopType::None) {
        voice.mix.position = sample.loop.start;
    } else {
        StopVoice(voice);
    }
}

void PlayCellNote(SongState& s, int channelIndex) {
    Channel& channel = s.channels[channelIndex];
    const Module& module = *s.module;
    const Cell& cell = channel.cell;
    int note = cell.note;
    bool porta = IsTonePorta(cell);
    bool instrumentChanged = false;

    if (cell.instrument) {
        instrumentChanged = cell.instrument != channel.instrument;
        channel.instrument = cell.instrument;
        if (UsesInstruments(s)) {
            int index = cell.instrument - 1;
            channel.instr = index < static_cast<int>(module.instruments.size()) ? &module.instruments[index] : nullptr;
        } else {
            channel.instr = nullptr;
        }
    }

    if (note == kNoteOff) {
        KeyOffChannel(s, channel);
    } else if (note == kNoteCut) {
        CutChannelNote(s, channel);
    } else if (note == kNoteFade) {
        if (channel.voice >= 0) s.voices[channel.voice].fading = true;
    }

    bool realNote = note >= 1 && note <= kNoteMax;
    int playNote = channel.note;
    int sampleIndex = channel.sampleIndex;
    if (realNote || (cell.instrument && channel.note)) {
        sampleIndex = ResolveSample(s, channel, realNote ? note : channel.note, playNote);
    }
    const Sample* sample = SampleAt(module, sampleIndex);

    if (cell.instrument) {
        // An instrument alone resets the volume (and restarts the envelopes in XM).
        const Sample* volumeFrom = sample ? sample : (realNote ? nullptr : channel.sample);
        ResetVolumeAndPan(s, channel, volumeFrom);
        if (IsXm(s) && channel.voice >= 0 && !realNote) {
            PlayingVoice& voice = s.voices[channel.voice];
            voice.volumeCursor = voice.panCursor = EnvelopeState{};
            voice.fading = false;
            voice.fadeVolume = 65536;
            voice.keyOn = true;
            channel.keyOff = false;
        }
        if (IsMod(s) && !realNote && sample) {
            channel.sample = sample;
            channel.sampleIndex = sampleIndex;
        }
    }

    if (!realNote) return;
    bool voicePlaying = channel.voice >= 0 && s.voices[channel.voice].mix.active;
    if (porta && voicePlaying && channel.period > 0) {
        const Sample* target = channel.sample;
        if (IsIt(s) && module.compatibleGxx && sample && instrumentChanged) target = sample;
        channel.portaTarget = NotePeriod(module, target, playNote);
        channel.note = static_cast<uint8_t>(note);
        if (IsXm(s) && cell.instrument && channel.voice >= 0) {
            PlayingVoice& voice = s.voices[channel.voice];
            voice.volumeCursor = voice.panCursor = EnvelopeState{};
            voice.fading = false;
            voice.fadeVolume = 65536;
            voice.keyOn = true;
        }
        return;
    }
    if (!sample) {
        // A note without a playable sample stops what plays (IT, XM) or is ignored.
        if ((IsIt(s) || IsXm(s)) && channel.voice >= 0) StopVoice(s.voices[channel.voice]);
        channel.note = static_cast<uint8_t>(note);
        return;
    }
    channel.note = static_cast<uint8_t>(note);
    channel.sample = sample;
    channel.sampleIndex = sampleIndex;
    channel.period = NotePeriod(module, sample, playNote);
    if (IsMod(s) && cell.effect == Effect::ModExtended && (cell.effectParam >> 4) == 5) {
        Sample tuned = *sample;
        int finetune = cell.effectParam & 15;
        tuned.finetune = static_cast<int8_t>((finetune >= 8 ? finetune - 16 : finetune) * 16);
        channel.period = NotePeriod(module, &tuned, playNote);
    }
    channel.period = ClampPeriod(module, channel.period);
    channel.portaTarget = channel.period;
    channel.keyOff = false;
    if (channel.vibratoRetrig) channel.vibratoPosition = 0;
    if (channel.tremoloRetrig) channel.tremoloPosition = 0;
    channel.tremorCounter = 0;
    channel.tremorOn = !IsXm(s);  // FT2's first tremor tick after a note switches it on
    if (channel.instr) {
        channel.cutoff = channel.instr->filterCutoff >= 0 ? channel.instr->filterCutoff : channel.cutoff;
        channel.resonance = channel.instr->filterResonance >= 0 ? channel.instr->filterResonance : channel.resonance;
    }
    int voiceIndex = StartVoice(s, channelIndex, sample, sampleIndex, static_cast<uint8_t>(note));
    if (voiceIndex >= 0) ApplyOffset(s, channel, s.voices[voiceIndex]);
}

}  // namespace tracker
