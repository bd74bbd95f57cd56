// MIDI files (Standard MIDI Files and RIFF MIDI) through our sequencer and synthesizer.
#include <cstring>

#include "formats/compressed_formats.h"
#include "formats/format_open.h"
#include "formats/sound_banks.h"
#include "midi/sequencer.h"
#include "midi/song.h"
#include "midi/synth.h"
#include "text/utf8.h"

namespace engine {
namespace {

constexpr uint32_t kMidiRate = 44100;
// Real songs are a few hundred kilobytes; this keeps a hostile file from filling memory.
constexpr uint64_t kMaxMidiBytes = 64ull << 20;

class MidiDecoder : public Decoder {
public:
    MidiDecoder(std::shared_ptr<const midi::Bank> bank, std::unique_ptr<midi::Song> song, const StreamFormat& format)
        : bank_(std::move(bank)), song_(std::move(song)), synth_(*bank_, {kMidiRate, true}),
          sequencer_(*song_, synth_, kMidiRate), format_(format) {
        format_.lengthFrames = sequencer_.LengthFrames();
    }

    const StreamFormat& Format() const override { return format_; }
    int64_t ReadFrames(float* out, size_t maxFrames) override {
        return static_cast<int64_t>(sequencer_.Render(out, maxFrames));
    }
    bool SeekToFrame(uint64_t frame) override {
        if (frame > sequencer_.LengthFrames()) return false;
        sequencer_.Seek(frame);
        return true;
    }

private:
    std::shared_ptr<const midi::Bank> bank_;
    std::unique_ptr<midi::Song> song_;
    midi::Synth synth_;
    midi::Sequencer sequencer_;
    StreamFormat format_;
};

}  // namespace

int ProbeMidi(const uint8_t* head, size_t size) { return midi::LooksLikeMidi(head, size) ? 100 : 0; }

FMOD_RESULT OpenMidi(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out) {
    std::vector<uint8_t> bytes;
    if (!ReadWhole(*reader, kMaxMidiBytes, bytes)) return FMOD_ERR_FORMAT;
    auto song = std::make_unique<midi::Song>();
    if (midi::ReadSong(bytes.data(), bytes.size(), *song) != midi::Result::Ok) return FMOD_ERR_FORMAT;
    if (!song->title.empty()) tags.Add(FMOD_TAGTYPE_MIDI, "TITLE", AnyTextToUtf8(song->title));
    if (!song->copyright.empty()) tags.Add(FMOD_TAGTYPE_MIDI, "COMMENT", AnyTextToUtf8(song->copyright));

    StreamFormat format;
    format.type = FMOD_SOUND_TYPE_MIDI;
    format.format = FMOD_SOUND_FORMAT_PCMFLOAT;
    format.channels = 2;
    format.bitsPerSample = 32;
    format.sampleRate = kMidiRate;
    format.rawBytes = bytes.size();
    auto decoder = std::make_unique<MidiDecoder>(CurrentSoundBank(), std::move(song), format);
    out.format = decoder->Format();
    out.decoder = std::move(decoder);
    reader.reset();
    return FMOD_OK;
}

}  // namespace engine
