#pragma once
// The General MIDI synthesizer: channel messages in, float stereo out. One thread at a time.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "midi/bank.h"
#include "midi/song.h"

namespace midi {

constexpr int kChannels = 16;
constexpr int kDrumChannel = 9;
constexpr int kMaxVoices = 96;
// Envelopes, LFOs and filters are updated once per block.
constexpr int kBlockFrames = 128;

struct ChannelState {
    int program = 0;
    int bankMsb = 0, bankLsb = 0;
    int volume = 100, expression = 127, pan = 64;
    int modulation = 0, reverb = 40, chorus = 0;
    int pressure = 0;                // channel aftertouch
    bool sustain = false;
    int pitchBend = 8192;            // 0..16383
    int bendRangeCents = 200;
    float fineTuneCents = 0;
    int coarseTuneSemitones = 0;
    int rpnMsb = 127, rpnLsb = 127;  // 127/127: none selected
    bool drums = false;
};

struct SynthOptions {
    uint32_t sampleRate = 44100;
    bool effects = true;  // reverb and chorus
};

struct Voice;
struct VoiceBlock;
class Effects;
class MixBuses;

class Synth {
public:
    // The bank must outlive the synthesizer.
    Synth(const Bank& bank, const SynthOptions& options);
    ~Synth();
    // A channel message (status 0x80..0xEF) or kReset.
    void Send(uint8_t status, uint8_t data1, uint8_t data2);
    // Adds nothing, writes frames * 2 floats.
    void Render(float* stereo, size_t frames);
    // Every voice stops at once; channel state stays.
    void Silence();
    // Channel state and voices back to power-on.
    void Reset();
    const ChannelState& Channel(int channel) const { return channels_[channel]; }
    int ActiveVoices() const;

private:
    void NoteOn(int channel, int key, int velocity);
    void NoteOff(int channel, int key);
    void Control(int channel, int controller, int value);
    void DataEntry(ChannelState& c, int msb, int lsb);
    void ReleaseSustained(int channel);
    Voice* FreeVoice();
    void RenderBlock(float* stereo, int frames);
    VoiceBlock PrepareBlock(Voice& v, float blockSeconds);

    const Bank& bank_;
    SynthOptions options_;
    ChannelState channels_[kChannels];
    std::vector<Voice> voices_;
    std::unique_ptr<Effects> effects_;
    std::vector<float> left_, right_, reverbIn_, chorusIn_, scratch_;
    std::unique_ptr<MixBuses> buses_;
    uint64_t noteCounter_ = 0;
};

}  // namespace midi
