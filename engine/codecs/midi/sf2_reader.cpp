// SoundFont 2 banks: the sample pool and the preset, instrument and sample tables, with
// each preset zone's generators added to those of the instrument zones it covers.
#include <algorithm>
#include <cmath>
#include <vector>

#include "midi/bank.h"
#include "riff_chunks.h"

namespace midi {
namespace {

enum Generator {
    kStartOffset = 0, kEndOffset = 1, kLoopStartOffset = 2, kLoopEndOffset = 3, kStartCoarse = 4,
    kModLfoToPitch = 5, kVibLfoToPitch = 6, kModEnvToPitch = 7, kFilterFc = 8, kFilterQ = 9,
    kModLfoToFilter = 10, kModEnvToFilter = 11, kEndCoarse = 12, kModLfoToVolume = 13, kChorusSend = 15,
    kReverbSend = 16, kPan = 17, kModLfoDelay = 21, kModLfoFreq = 22, kVibLfoDelay = 23, kVibLfoFreq = 24,
    kModEnvDelay = 25, kVolEnvDelay = 33, kKeyToVolHold = 39, kKeyToVolDecay = 40, kInstrument = 41,
    kKeyRange = 43, kVelRange = 44, kLoopStartCoarse = 45, kAttenuation = 48, kLoopEndCoarse = 50,
    kCoarseTune = 51, kFineTune = 52, kSampleId = 53, kSampleModes = 54, kScaleTuning = 56,
    kExclusiveClass = 57, kRootKey = 58, kGeneratorCount = 61
};
// Envelope generators in the order delay, attack, hold, decay, sustain, release from these.
constexpr int kEnvelopeCount = 6;

struct Zone {
    int16_t gen[kGeneratorCount];
    bool set[kGeneratorCount];
};

struct Tables {
    const uint8_t *phdr = nullptr, *pbag = nullptr, *pgen = nullptr, *inst = nullptr, *ibag = nullptr,
                  *igen = nullptr, *shdr = nullptr;
    size_t phdrCount = 0, pbagCount = 0, pgenCount = 0, instCount = 0, ibagCount = 0, igenCount = 0,
           shdrCount = 0;
};

void Defaults(Zone& z) {
    std::fill(std::begin(z.gen), std::end(z.gen), int16_t(0));
    std::fill(std::begin(z.set), std::end(z.set), false);
    z.gen[kFilterFc] = 13500;
    for (int g : {kModLfoDelay, kVibLfoDelay}) z.gen[g] = -12000;
    for (int i = 0; i < kEnvelopeCount; ++i) {
        if (i != 4) z.gen[kModEnvDelay + i] = z.gen[kVolEnvDelay + i] = -12000;
    }
    z.gen[kKeyRange] = int16_t(127 << 8);
    z.gen[kVelRange] = int16_t(127 << 8);
    z.gen[kScaleTuning] = 100;
    z.gen[kRootKey] = -1;
}

// Generators of bag `bag` applied on top of `z`; the index generator (instrument or sample)
// ends the list and is -1 when absent.
int ApplyBag(const uint8_t* bags, size_t bagCount, const uint8_t* gens, size_t genCount, size_t bag, int indexGen,
             Zone& z) {
    if (bag + 1 >= bagCount) return -1;
    const size_t first = Le16(bags + 4 * bag), last = std::min<size_t>(Le16(bags + 4 * (bag + 1)), genCount);
    int index = -1;
    for (size_t i = first; i < last; ++i) {
        const int op = Le16(gens + 4 * i);
        const int16_t amount = int16_t(Le16(gens + 4 * i + 2));
        if (op >= kGeneratorCount) continue;
        if (op == indexGen) {
            index = uint16_t(amount);
            break;
        }
        z.gen[op] = amount;
        z.set[op] = true;
    }
    return index;
}

float Seconds(int timecents) { return timecents <= -12000 ? 0.0f : float(std::exp2(timecents / 1200.0)); }
float LfoHz(int cents) { return 8.176f * float(std::exp2(cents / 1200.0)); }
int Lo(int16_t range) { return range & 0xFF; }
int Hi(int16_t range) { return (range >> 8) & 0xFF; }

Envelope MakeEnvelope(const int* g, bool volume) {
    Envelope e;
    e.delay = Seconds(g[0]);
    e.attack = Seconds(g[1]);
    e.hold = Seconds(g[2]);
    e.decay = Seconds(g[3]);
    // Volume: attenuation in centibels over a 96 dB range; modulation: tenths of a percent.
    e.sustain = volume ? 1.0f - std::clamp(g[4], 0, 1440) / 960.0f : 1.0f - std::clamp(g[4], 0, 1000) / 1000.0f;
    e.sustain = std::clamp(e.sustain, 0.0f, 1.0f);
    e.release = std::max(Seconds(g[5]), 0.001f);
    return e;
}

// One region from the summed generators; false when its sample is unusable.
bool MakeRegion(const int* g, const Tables& t, size_t poolFrames, int keyLo, int keyHi, int velLo, int velHi,
                Region& r) {
    const size_t id = size_t(g[kSampleId]);
    if (id >= t.shdrCount) return false;
    const uint8_t* s = t.shdr + 46 * id;
    const uint16_t type = Le16(s + 44);
    if (type & 0x8000) return false;  // samples in ROM are not in the file
    const int64_t start = int64_t(Le32(s + 20)) + g[kStartOffset] + 32768 * g[kStartCoarse];
    const int64_t end = int64_t(Le32(s + 24)) + g[kEndOffset] + 32768 * g[kEndCoarse];
    int64_t loopStart = int64_t(Le32(s + 28)) + g[kLoopStartOffset] + 32768 * g[kLoopStartCoarse];
    int64_t loopEnd = int64_t(Le32(s + 32)) + g[kLoopEndOffset] + 32768 * g[kLoopEndCoarse];
    const uint32_t rate = Le32(s + 36);
    if (start < 0 || end <= start || end > int64_t(poolFrames) || rate < 400 || rate > 200000) return false;
    loopStart = std::clamp(loopStart, start, end);
    loopEnd = std::clamp(loopEnd, start, end);
    r.keyLo = uint8_t(keyLo);
    r.keyHi = uint8_t(keyHi);
    r.velLo = uint8_t(velLo);
    r.velHi = uint8_t(velHi);
    r.start = uint32_t(start);
    r.end = uint32_t(end);
    r.loopStart = uint32_t(loopStart);
    r.loopEnd = uint32_t(loopEnd);
    const int mode = g[kSampleModes] & 3;
    r.loops = (mode == 1 || mode == 3) && loopEnd - loopStart >= 2;
    r.loopsUntilRelease = mode == 3;
    const int original = s[40];
    r.rootKey = g[kRootKey] >= 0 && g[kRootKey] <= 127 ? g[kRootKey] : original <= 127 ? original : 60;
    r.keyTrackCents = float(g[kScaleTuning]);
    r.tuneCents = float(g[kCoarseTune] * 100 + g[kFineTune] + int8_t(s[41]));
    r.sampleRate = rate;
    // Attenuation is heard at 0.4 of its nominal centibels, as banks are voiced for that.
    r.attenuationDb = std::clamp(g[kAttenuation], 0, 1440) * 0.04f;
    r.pan = std::clamp(g[kPan], -500, 500) / 1000.0f;
    r.volEnv = MakeEnvelope(g + kVolEnvDelay, true);
    r.modEnv = MakeEnvelope(g + kModEnvDelay, false);
    r.keyToVolHoldCents = float(g[kKeyToVolHold]);
    r.keyToVolDecayCents = float(g[kKeyToVolDecay]);
    r.modEnvToPitch = float(g[kModEnvToPitch]);
    r.modEnvToFilter = float(g[kModEnvToFilter]);
    r.vibLfo = {Seconds(g[kVibLfoDelay]), LfoHz(g[kVibLfoFreq])};
    r.modLfo = {Seconds(g[kModLfoDelay]), LfoHz(g[kModLfoFreq])};
    r.vibLfoToPitch = float(g[kVibLfoToPitch]);
    r.modLfoToPitch = float(g[kModLfoToPitch]);
    r.modLfoToFilter = float(g[kModLfoToFilter]);
    r.modLfoToVolumeDb = -g[kModLfoToVolume] / 10.0f;
    r.filterCents = float(std::clamp(g[kFilterFc], 1500, 13500));
    r.filterQDb = std::clamp(g[kFilterQ], 0, 960) / 10.0f;
    r.exclusiveClass = g[kExclusiveClass];
    r.reverbSend = std::clamp(g[kReverbSend], 0, 1000) / 1000.0f;
    r.chorusSend = std::clamp(g[kChorusSend], 0, 1000) / 1000.0f;
    return true;
}

bool IsAdditive(int g) {
    return g != kSampleId && g != kInstrument && g != kKeyRange && g != kVelRange && g != kSampleModes &&
           g != kExclusiveClass && g != kRootKey && !(g <= kEndCoarse && (g <= 4 || g == kEndCoarse)) &&
           g != kLoopStartCoarse && g != kLoopEndCoarse && g != 46 && g != 47;
}

// The regions of instrument `index` under the preset zone `pz`.
void AddInstrument(const Tables& t, size_t index, const Zone& pz, size_t poolFrames, Preset& preset) {
    if (index + 1 >= t.instCount) return;
    const size_t firstBag = Le16(t.inst + 22 * index + 20), endBag = Le16(t.inst + 22 * (index + 1) + 20);
    Zone global;
    Defaults(global);
    for (size_t bag = firstBag; bag < endBag && bag + 1 < t.ibagCount; ++bag) {
        Zone z = global;
        const int sample = ApplyBag(t.ibag, t.ibagCount, t.igen, t.igenCount, bag, kSampleId, z);
        if (sample < 0) {
            if (bag == firstBag) global = z;  // the first zone without a sample is the global zone
            continue;
        }
        int sum[kGeneratorCount];
        for (int g = 0; g < kGeneratorCount; ++g)
            sum[g] = z.gen[g] + (IsAdditive(g) && pz.set[g] ? pz.gen[g] : 0);
        sum[kSampleId] = sample;
        const int keyLo = std::max(Lo(z.gen[kKeyRange]), Lo(pz.gen[kKeyRange]));
        const int keyHi = std::min(Hi(z.gen[kKeyRange]), Hi(pz.gen[kKeyRange]));
        const int velLo = std::max(Lo(z.gen[kVelRange]), Lo(pz.gen[kVelRange]));
        const int velHi = std::min(Hi(z.gen[kVelRange]), Hi(pz.gen[kVelRange]));
        if (keyLo > keyHi || velLo > velHi || preset.regions.size() >= kMaxRegions) continue;
        Region r;
        if (MakeRegion(sum, t, poolFrames, keyLo, keyHi, velLo, velHi, r)) preset.regions.push_back(r);
    }
}

void ReadPresets(const Tables& t, size_t poolFrames, Bank& out) {
    size_t regions = 0;
    for (size_t p = 0; p + 1 < t.phdrCount; ++p) {
        const uint8_t* h = t.phdr + 38 * p;
        Preset preset;
        preset.name.assign(reinterpret_cast<const char*>(h), strnlen(reinterpret_cast<const char*>(h), 20));
        preset.program = Le16(h + 20) & 0x7F;
        preset.bank = std::min<int>(Le16(h + 22), kDrumBank);
        const size_t firstBag = Le16(h + 24), endBag = Le16(h + 38 + 24);
        Zone global;
        Defaults(global);
        std::fill(std::begin(global.gen), std::end(global.gen), int16_t(0));
        global.gen[kKeyRange] = global.gen[kVelRange] = int16_t(127 << 8);
        for (size_t bag = firstBag; bag < endBag && bag + 1 < t.pbagCount; ++bag) {
            Zone z = global;
            const int instrument = ApplyBag(t.pbag, t.pbagCount, t.pgen, t.pgenCount, bag, kInstrument, z);
            if (instrument < 0) {
                if (bag == firstBag) global = z;
                continue;
            }
            AddInstrument(t, size_t(instrument), z, poolFrames, preset);
        }
        regions += preset.regions.size();
        if (regions > kMaxRegions) return;
        out.presets.push_back(std::move(preset));
    }
}

}  // namespace

BankResult ReadSoundFont(const uint8_t* data, size_t size, Bank& out) {
    out = Bank();
    ChunkWalker top(data, size);
    Chunk riff;
    if (!top.Next(riff) || !riff.IsList("sfbk")) return BankResult::NotABank;
    Tables t;
    const uint8_t* smpl = nullptr;
    size_t smplBytes = 0;
    ChunkWalker lists(riff.data, riff.size);
    for (Chunk list; lists.Next(list);) {
        if (!list.Is("LIST")) continue;
        ChunkWalker inner(list.data, list.size);
        for (Chunk c; inner.Next(c);) {
            struct {
                const char* id;
                size_t record;
                const uint8_t** at;
                size_t* count;
            } const tables[] = {{"phdr", 38, &t.phdr, &t.phdrCount}, {"pbag", 4, &t.pbag, &t.pbagCount},
                                {"pgen", 4, &t.pgen, &t.pgenCount},  {"inst", 22, &t.inst, &t.instCount},
                                {"ibag", 4, &t.ibag, &t.ibagCount},  {"igen", 4, &t.igen, &t.igenCount},
                                {"shdr", 46, &t.shdr, &t.shdrCount}};
            if (list.IsList("sdta") && c.Is("smpl")) smpl = c.data, smplBytes = c.size;
            if (!list.IsList("pdta")) continue;
            for (const auto& table : tables) {
                if (c.Is(table.id)) *table.at = c.data, *table.count = c.size / table.record;
            }
        }
    }
    if (!smpl || !t.phdr || !t.pbag || !t.pgen || !t.inst || !t.ibag || !t.igen || !t.shdr) return BankResult::Damaged;
    const size_t frames = smplBytes / 2;
    if (frames > kMaxBankSamples) return BankResult::TooLarge;
    out.pcm.resize(frames + kSampleGuard);
    for (size_t i = 0; i < frames; ++i) out.pcm[i] = float(int16_t(Le16(smpl + 2 * i))) / 32768.0f;
    ReadPresets(t, frames, out);
    for (size_t s = 0; s + 1 < t.shdrCount; ++s) {
        const uint8_t* h = t.shdr + 46 * s;
        const uint32_t start = Le32(h + 20), end = Le32(h + 24);
        if (start < end && end <= frames) out.waves.push_back({start, end - start, std::max<uint32_t>(Le32(h + 36), 400)});
    }
    return out.presets.empty() ? BankResult::Damaged : BankResult::Ok;
}

}  // namespace midi
