// Tracker modules (MOD, S3M, XM, IT) through our module player: the whole file is read
// into memory, loaded, and rendered as float stereo at 44.1 kHz.
//
// A sound opened with FMOD_LOOP_NORMAL starts over the way every stream does (the decode
// thread seeks to frame 0 at the end): a decoder is not told the loop mode, so a song
// with a restart position starts over from its beginning, not from there.
#include <memory>
#include <string>
#include <vector>

#include "formats/compressed_formats.h"
#include "formats/format_open.h"
#include "text/utf8.h"
#include "tracker/load.h"
#include "tracker/player.h"

namespace engine {
namespace {

constexpr uint32_t kModuleRate = 44100;
constexpr FMOD_TAGTYPE kTagType = FMOD_TAGTYPE_FMOD;

class ModuleDecoder : public Decoder {
public:
    ModuleDecoder(std::shared_ptr<const tracker::Module> module, const StreamFormat& format,
                  std::unique_ptr<tracker::Player> player)
        : module_(std::move(module)), format_(format), player_(std::move(player)) {}

    const StreamFormat& Format() const override { return format_; }

    int64_t ReadFrames(float* out, size_t maxFrames) override {
        return static_cast<int64_t>(player_->Render(out, maxFrames));
    }

    bool SeekToFrame(uint64_t frame) override { return player_->SeekToFrame(frame); }

private:
    std::shared_ptr<const tracker::Module> module_;
    StreamFormat format_;
    std::unique_ptr<tracker::Player> player_;
};

FMOD_SOUND_TYPE SoundType(tracker::ModuleType type) {
    switch (type) {
        case tracker::ModuleType::Mod: return FMOD_SOUND_TYPE_MOD;
        case tracker::ModuleType::S3m: return FMOD_SOUND_TYPE_S3M;
        case tracker::ModuleType::Xm: return FMOD_SOUND_TYPE_XM;
        case tracker::ModuleType::It: return FMOD_SOUND_TYPE_IT;
    }
    return FMOD_SOUND_TYPE_UNKNOWN;
}

// The whole file, or false when it cannot be read or is larger than any module.
bool ReadWhole(Reader& in, std::vector<uint8_t>& bytes) {
    if (!in.Seek(0)) return false;
    uint8_t chunk[64 * 1024];
    for (;;) {
        const int64_t n = in.Read(chunk, sizeof chunk);
        if (n < 0) return false;
        if (n == 0) return true;
        if (bytes.size() + static_cast<size_t>(n) > tracker::kMaxModuleBytes) return false;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
}

// Names are the trackers' 8-bit text; many modules carry their message in them.
void AddTags(const tracker::Module& module, TagList& tags) {
    if (!module.title.empty()) tags.Add(kTagType, "TITLE", AnyTextToUtf8(module.title));
    for (const tracker::Sample& s : module.samples)
        if (!s.name.empty()) tags.Add(kTagType, "COMMENT", AnyTextToUtf8(s.name));
    for (const tracker::Instrument& i : module.instruments)
        if (!i.name.empty()) tags.Add(kTagType, "COMMENT", AnyTextToUtf8(i.name));
}

}  // namespace

int ProbeModule(const uint8_t* head, size_t size) { return tracker::ProbeModule(head, size); }

FMOD_RESULT OpenModule(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out) {
    std::vector<uint8_t> bytes;
    if (!ReadWhole(*reader, bytes)) return FMOD_ERR_FORMAT;
    auto module = std::make_shared<tracker::Module>();
    if (tracker::LoadModule(bytes.data(), bytes.size(), *module) != tracker::LoadResult::Ok) return FMOD_ERR_FORMAT;
    bytes = {};
    tracker::RenderSettings settings;
    settings.sampleRate = kModuleRate;
    auto player = std::make_unique<tracker::Player>(module, settings);

    StreamFormat format;
    format.type = SoundType(module->type);
    format.format = FMOD_SOUND_FORMAT_PCM16;
    format.channels = 2;
    format.bitsPerSample = 16;
    format.sampleRate = kModuleRate;
    format.lengthFrames = player->LengthFrames();
    const int64_t size = reader->Size();
    format.rawBytes = size > 0 ? static_cast<uint64_t>(size) : 0;
    AddTags(*module, tags);
    out.format = format;
    out.decoder = std::make_unique<ModuleDecoder>(std::move(module), format, std::move(player));
    reader.reset();  // everything is in memory
    return FMOD_OK;
}

}  // namespace engine
