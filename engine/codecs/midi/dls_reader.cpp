// DLS banks, level 1 and 2: the wave pool (PCM), instruments of key/velocity regions that
// link to waves, and the connection blocks of their articulation mapped onto our regions.
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "midi/bank.h"
#include "riff_chunks.h"

namespace midi {
namespace {

// Sources and destinations of connection blocks.
enum : uint16_t {
    kSrcNone = 0x0000, kSrcLfo = 0x0001, kSrcKeyNumber = 0x0003, kSrcEg2 = 0x0005, kSrcVibrato = 0x0009,
    kDstGain = 0x0001, kDstPitch = 0x0003, kDstPan = 0x0004, kDstChorus = 0x0080, kDstReverb = 0x0081,
    kDstLfoFrequency = 0x0104, kDstLfoDelay = 0x0105, kDstVibFrequency = 0x0114, kDstVibDelay = 0x0115,
    kDstEg1Attack = 0x0206, kDstEg1Decay = 0x0207, kDstEg1Release = 0x0209, kDstEg1Sustain = 0x020A,
    kDstEg1Delay = 0x020B, kDstEg1Hold = 0x020C, kDstEg2Attack = 0x030A, kDstEg2Decay = 0x030B,
    kDstEg2Release = 0x030D, kDstEg2Sustain = 0x030E, kDstEg2Delay = 0x030F, kDstEg2Hold = 0x0310,
    kDstFilterCutoff = 0x0500, kDstFilterQ = 0x0501,
};

struct SampleInfo {
    bool present = false;
    int unityNote = 60;
    float fineTune = 0;  // cents
    float gainDb = 0;
    bool loops = false, loopsUntilRelease = false;
    uint32_t loopStart = 0, loopLength = 0;
};

struct PooledWave {
    uint32_t start = 0, length = 0, rate = 0;
    SampleInfo sample;
};

SampleInfo ReadWsmp(const Chunk& c) {
    SampleInfo s;
    if (c.size < 20) return s;
    const uint32_t header = std::min<uint32_t>(Le32(c.data), uint32_t(c.size));
    s.present = true;
    s.unityNote = std::min<int>(Le16(c.data + 4), 127);
    s.fineTune = float(int16_t(Le16(c.data + 6)));
    s.gainDb = float(int32_t(Le32(c.data + 8))) / 655360.0f;
    const uint32_t loops = Le32(c.data + 16);
    if (loops > 0 && header + 16 <= c.size) {
        const uint8_t* l = c.data + header;
        s.loops = true;
        s.loopsUntilRelease = Le32(l + 4) == 1;
        s.loopStart = Le32(l + 8);
        s.loopLength = Le32(l + 12);
    }
    return s;
}

// One wave: PCM, mono, 8 or 16 bits (other channels and formats are skipped).
bool ReadWave(const uint8_t* data, size_t size, Bank& bank, PooledWave& out) {
    const uint8_t* fmt = nullptr;
    const uint8_t* pcm = nullptr;
    size_t pcmBytes = 0;
    ChunkWalker w(data, size);
    for (Chunk c; w.Next(c);) {
        if (c.Is("fmt ") && c.size >= 16) fmt = c.data;
        else if (c.Is("data")) pcm = c.data, pcmBytes = c.size;
        else if (c.Is("wsmp")) out.sample = ReadWsmp(c);
    }
    if (!fmt || !pcm || Le16(fmt) != 1) return false;
    const int channels = Le16(fmt + 2), bits = Le16(fmt + 14);
    const uint32_t rate = Le32(fmt + 4);
    if (channels < 1 || (bits != 8 && bits != 16) || rate < 400 || rate > 200000) return false;
    const size_t frameBytes = size_t(channels) * (bits / 8);
    const size_t frames = pcmBytes / frameBytes;
    if (bank.pcm.size() + frames + kSampleGuard > kMaxBankSamples) return false;
    out.start = uint32_t(bank.pcm.size());
    out.length = uint32_t(frames);
    out.rate = rate;
    for (size_t i = 0; i < frames; ++i) {
        const uint8_t* p = pcm + i * frameBytes;
        bank.pcm.push_back(bits == 8 ? (float(p[0]) - 128.0f) / 128.0f : float(int16_t(Le16(p))) / 32768.0f);
    }
    bank.pcm.insert(bank.pcm.end(), kSampleGuard, 0.0f);
    bank.waves.push_back({out.start, out.length, rate});
    return true;
}

float Timecents(int32_t scale) {
    const double tc = scale / 65536.0;
    return tc <= -12000 ? 0.0f : float(std::exp2(tc / 1200.0));
}

// The connection blocks of an art1 or art2 chunk applied to a region.
void ApplyArticulation(const Chunk& c, Region& r) {
    if (c.size < 8) return;
    const uint32_t header = std::min<uint32_t>(Le32(c.data), uint32_t(c.size));
    const uint32_t count = Le32(c.data + 4);
    for (uint32_t i = 0; i < count && header + size_t(i + 1) * 12 <= c.size; ++i) {
        const uint8_t* b = c.data + header + 12 * i;
        const uint16_t source = Le16(b), control = Le16(b + 2), destination = Le16(b + 4);
        const int32_t scale = int32_t(Le32(b + 8));
        const float value = scale / 65536.0f;
        if (control != kSrcNone) continue;  // controller-scaled depths: our defaults apply
        if (source == kSrcNone) {
            switch (destination) {
            case kDstEg1Attack: r.volEnv.attack = Timecents(scale); break;
            case kDstEg1Decay: r.volEnv.decay = Timecents(scale); break;
            case kDstEg1Release: r.volEnv.release = std::max(Timecents(scale), 0.001f); break;
            case kDstEg1Sustain: r.volEnv.sustain = std::clamp(value / 1000.0f, 0.0f, 1.0f); break;
            case kDstEg1Delay: r.volEnv.delay = Timecents(scale); break;
            case kDstEg1Hold: r.volEnv.hold = Timecents(scale); break;
            case kDstEg2Attack: r.modEnv.attack = Timecents(scale); break;
            case kDstEg2Decay: r.modEnv.decay = Timecents(scale); break;
            case kDstEg2Release: r.modEnv.release = std::max(Timecents(scale), 0.001f); break;
            case kDstEg2Sustain: r.modEnv.sustain = std::clamp(value / 1000.0f, 0.0f, 1.0f); break;
            case kDstEg2Delay: r.modEnv.delay = Timecents(scale); break;
            case kDstEg2Hold: r.modEnv.hold = Timecents(scale); break;
            case kDstLfoFrequency: r.modLfo.frequency = 8.176f * float(std::exp2(value / 1200.0)); break;
            case kDstLfoDelay: r.modLfo.delay = Timecents(scale); break;
            case kDstVibFrequency: r.vibLfo.frequency = 8.176f * float(std::exp2(value / 1200.0)); break;
            case kDstVibDelay: r.vibLfo.delay = Timecents(scale); break;
            case kDstFilterCutoff: r.filterCents = std::clamp(value, 1500.0f, 13500.0f); break;
            case kDstFilterQ: r.filterQDb = std::clamp(value / 10.0f, 0.0f, 96.0f); break;
            case kDstPan: r.pan = std::clamp(value / 1000.0f, -0.5f, 0.5f); break;
            case kDstGain: r.attenuationDb = std::clamp(-value / 10.0f, 0.0f, 144.0f); break;
            case kDstPitch: r.tuneCents += value; break;
            case kDstReverb: r.reverbSend = std::clamp(value / 1000.0f, 0.0f, 1.0f); break;
            case kDstChorus: r.chorusSend = std::clamp(value / 1000.0f, 0.0f, 1.0f); break;
            default: break;
            }
        } else if (source == kSrcLfo) {
            if (destination == kDstPitch) r.modLfoToPitch = value;
            else if (destination == kDstGain) r.modLfoToVolumeDb = value / 10.0f;
            else if (destination == kDstFilterCutoff) r.modLfoToFilter = value;
        } else if (source == kSrcVibrato && destination == kDstPitch) {
            r.vibLfoToPitch = value;
        } else if (source == kSrcEg2) {
            if (destination == kDstPitch) r.modEnvToPitch = value;
            else if (destination == kDstFilterCutoff) r.modEnvToFilter = value;
        } else if (source == kSrcKeyNumber && destination == kDstEg1Decay) {
            // Key number scales 0..127 over the value; ours counts from key 60 downwards.
            r.keyToVolDecayCents = -value / 128.0f;
            r.volEnv.decay *= float(std::exp2(60.0 / 128.0 * value / 1200.0));
        }
    }
}

void ApplyArticulations(const Chunk& list, Region& r) {
    ChunkWalker w(list.data, list.size);
    for (Chunk c; w.Next(c);)
        if (c.Is("art1") || c.Is("art2")) ApplyArticulation(c, r);
}

struct Pool {
    std::vector<uint32_t> cues;              // ptbl: offsets into the wave list
    std::map<uint32_t, PooledWave> byOffset;
};

// A region; false when it has no usable wave.
bool ReadRegion(const Chunk& rgn, const Chunk* instrumentArt, const Pool& pool, Region& r) {
    SampleInfo sample;
    uint32_t tableIndex = UINT32_MAX;
    const Chunk* art = instrumentArt;
    Chunk regionArt;
    ChunkWalker w(rgn.data, rgn.size);
    for (Chunk c; w.Next(c);) {
        if (c.Is("rgnh") && c.size >= 12) {
            r.keyLo = uint8_t(std::min<int>(Le16(c.data), 127));
            r.keyHi = uint8_t(std::min<int>(Le16(c.data + 2), 127));
            r.velLo = uint8_t(std::min<int>(Le16(c.data + 4), 127));
            r.velHi = uint8_t(std::min<int>(Le16(c.data + 6), 127));
            r.exclusiveClass = Le16(c.data + 10);
            if (r.velHi == 0) r.velHi = 127;  // level 1 banks leave the velocity range empty
        } else if (c.Is("wsmp")) {
            sample = ReadWsmp(c);
        } else if (c.Is("wlnk") && c.size >= 12) {
            tableIndex = Le32(c.data + 8);
        } else if (c.IsList("lart") || c.IsList("lar2")) {
            regionArt = c;
            art = &regionArt;
        }
    }
    if (tableIndex >= pool.cues.size()) return false;
    const auto wave = pool.byOffset.find(pool.cues[tableIndex]);
    if (wave == pool.byOffset.end() || wave->second.length < 2) return false;
    const PooledWave& pw = wave->second;
    if (!sample.present) sample = pw.sample;
    r.start = pw.start;
    r.end = pw.start + pw.length;
    r.sampleRate = pw.rate;
    r.rootKey = sample.unityNote;
    r.tuneCents = sample.fineTune;
    r.attenuationDb = 0;
    if (sample.loops && sample.loopLength >= 2 && sample.loopStart < pw.length) {
        r.loops = true;
        r.loopsUntilRelease = sample.loopsUntilRelease;
        r.loopStart = pw.start + sample.loopStart;
        r.loopEnd = pw.start + uint32_t(std::min<uint64_t>(uint64_t(sample.loopStart) + sample.loopLength, pw.length));
    }
    r.volEnv = Envelope();
    r.volEnv.release = 0.001f;
    if (art) ApplyArticulations(*art, r);
    r.attenuationDb = std::clamp(r.attenuationDb - sample.gainDb, 0.0f, 144.0f);
    return true;
}

void ReadInstrument(const Chunk& ins, const Pool& pool, Bank& bank, size_t& regions) {
    Preset preset;
    Chunk art, lrgn;
    bool hasArt = false, hasRegions = false;
    ChunkWalker w(ins.data, ins.size);
    for (Chunk c; w.Next(c);) {
        if (c.Is("insh") && c.size >= 12) {
            const uint32_t bankBits = Le32(c.data + 4);
            preset.bank = (bankBits & 0x80000000u) ? kDrumBank : int((bankBits >> 8) & 0x7F);
            preset.program = int(Le32(c.data + 8) & 0x7F);
        } else if (c.IsList("lrgn")) {
            lrgn = c;
            hasRegions = true;
        } else if (c.IsList("lart") || c.IsList("lar2")) {
            art = c;
            hasArt = true;
        }
    }
    if (!hasRegions) return;
    ChunkWalker rw(lrgn.data, lrgn.size);
    for (Chunk c; rw.Next(c) && regions < kMaxRegions;) {
        if (!c.IsList("rgn ") && !c.IsList("rgn2")) continue;
        Region r;
        if (ReadRegion(c, hasArt ? &art : nullptr, pool, r)) preset.regions.push_back(r), ++regions;
    }
    bank.presets.push_back(std::move(preset));
}

}  // namespace

BankResult ReadDls(const uint8_t* data, size_t size, Bank& out) {
    out = Bank();
    ChunkWalker top(data, size);
    Chunk riff;
    if (!top.Next(riff) || !riff.IsList("DLS ")) return BankResult::NotABank;
    Pool pool;
    Chunk lins;
    bool hasInstruments = false;
    ChunkWalker w(riff.data, riff.size);
    for (Chunk c; w.Next(c);) {
        if (c.Is("ptbl") && c.size >= 8) {
            const uint32_t header = std::min<uint32_t>(Le32(c.data), uint32_t(c.size));
            const uint32_t cues = Le32(c.data + 4);
            for (uint32_t i = 0; i < cues && header + size_t(i + 1) * 4 <= c.size; ++i)
                pool.cues.push_back(Le32(c.data + header + 4 * i));
        } else if (c.IsList("wvpl")) {
            // Cue offsets count from the start of the list's data (just after "wvpl").
            ChunkWalker waves(c.data, c.size);
            for (Chunk wave; waves.Next(wave);) {
                if (!wave.IsList("wave")) continue;
                const uint32_t offset = uint32_t(wave.data - 12 - c.data);
                PooledWave pw;
                if (ReadWave(wave.data, wave.size, out, pw)) pool.byOffset[offset] = pw;
                else if (out.pcm.size() >= kMaxBankSamples) return BankResult::TooLarge;
            }
        } else if (c.IsList("lins")) {
            lins = c;
            hasInstruments = true;
        }
    }
    if (out.waves.empty()) return BankResult::Damaged;
    size_t regions = 0;
    if (hasInstruments) {
        ChunkWalker instruments(lins.data, lins.size);
        for (Chunk c; instruments.Next(c);)
            if (c.IsList("ins ")) ReadInstrument(c, pool, out, regions);
    }
    return BankResult::Ok;
}

}  // namespace midi
