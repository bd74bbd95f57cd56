#include "formats/cdda_decoder.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "formats/cd_text.h"
#include "text/utf8.h"

namespace engine {
namespace {

// Sectors are read ahead a second at a time; a block that fails is tried again smaller.
constexpr uint32_t kBlockSectors = kCdSectorsPerSecond;
constexpr int kRetries = 3;
constexpr FMOD_TAGTYPE kTagType = FMOD_TAGTYPE_FMOD;

class CddaDecoder : public Decoder {
public:
    CddaDecoder(std::unique_ptr<CdDevice> device, std::vector<CdTrack> tracks, CdText text,
                std::shared_ptr<TagList> tags, const StreamFormat& format)
        : device_(std::move(device)), tracks_(std::move(tracks)), text_(std::move(text)), tags_(std::move(tags)),
          format_(format), block_(static_cast<size_t>(kBlockSectors) * kCdSectorBytes) {
        NoteTrack(0);
    }

    const StreamFormat& Format() const override { return format_; }

    int64_t ReadFrames(float* out, size_t maxFrames) override {
        size_t written = 0;
        while (written < maxFrames && frame_ < format_.lengthFrames && !ended_) {
            if (frame_ < blockStart_ || frame_ >= blockStart_ + blockFrames_) {
                if (!FillBlock()) break;
                continue;
            }
            const size_t n = static_cast<size_t>(std::min<uint64_t>(maxFrames - written, blockStart_ + blockFrames_ - frame_));
            const uint8_t* bytes = &block_[(frame_ - blockStart_) * 4];
            for (size_t i = 0; i < n * 2; ++i)
                out[written * 2 + i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8) / 32768.0f;
            written += n;
            frame_ += n;
        }
        return static_cast<int64_t>(written);
    }

    bool SeekToFrame(uint64_t frame) override {
        frame_ = std::min(frame, format_.lengthFrames);
        return true;
    }

private:
    // Reads the block that holds frame_, within its track: on a failing read three more
    // tries with smaller blocks, then the smallest plays as silence and reading goes on.
    // False when the disc has gone.
    bool FillBlock() {
        uint64_t first = 0;  // frame of the stream where the track starts
        size_t index = 0;
        while (frame_ >= first + uint64_t(tracks_[index].sectors) * kCdFramesPerSector)
            first += uint64_t(tracks_[index++].sectors) * kCdFramesPerSector;
        NoteTrack(index);
        const uint32_t sectorInTrack = static_cast<uint32_t>((frame_ - first) / kCdFramesPerSector);
        uint32_t count = std::min(kBlockSectors, tracks_[index].sectors - sectorInTrack);
        CdStatus status = CdStatus::kFailed;
        for (int attempt = 0; attempt <= kRetries; ++attempt) {
            if (attempt > 0) count = std::max<uint32_t>(1, count / 4);
            status = device_->ReadAudio(tracks_[index].start + sectorInTrack, count, block_.data());
            if (status != CdStatus::kFailed) break;
        }
        if (status == CdStatus::kNoDisc) {
            ended_ = true;
            return false;
        }
        if (status == CdStatus::kFailed) std::memset(block_.data(), 0, static_cast<size_t>(count) * kCdSectorBytes);
        blockStart_ = first + uint64_t(sectorInTrack) * kCdFramesPerSector;
        blockFrames_ = uint64_t(count) * kCdFramesPerSector;
        return true;
    }

    // The title and performer follow the track being decoded.
    void NoteTrack(size_t index) {
        if (index == track_) return;
        track_ = index;
        const int number = tracks_[index].number;
        const auto title = text_.titles.find(number);
        tags_->Set(kTagType, "TITLE",
                   title != text_.titles.end() && !title->second.empty() ? Latin1ToUtf8(title->second)
                                                                        : "Track " + std::to_string(number));
        const auto performer = text_.performers.find(number);
        if (performer != text_.performers.end() && !performer->second.empty())
            tags_->Set(kTagType, "ARTIST", Latin1ToUtf8(performer->second));
    }

    std::unique_ptr<CdDevice> device_;
    std::vector<CdTrack> tracks_;  // the audio tracks
    CdText text_;
    std::shared_ptr<TagList> tags_;
    StreamFormat format_;
    std::vector<uint8_t> block_;
    uint64_t blockStart_ = 0;
    uint64_t blockFrames_ = 0;
    uint64_t frame_ = 0;
    size_t track_ = SIZE_MAX;
    bool ended_ = false;
};

}  // namespace

FMOD_RESULT OpenCdda(std::unique_ptr<CdDevice> device, const std::shared_ptr<TagList>& tags, OpenedSound& out) {
    std::vector<CdTrack> all;
    const CdStatus status = device->ReadToc(&all);
    if (status == CdStatus::kNoDisc) return FMOD_ERR_CDDA_NODISC;
    if (status != CdStatus::kOk) return FMOD_ERR_CDDA_READ;
    std::vector<CdTrack> audio;
    for (const CdTrack& track : all)
        if (track.audio && track.sectors > 0) audio.push_back(track);
    if (audio.empty()) return FMOD_ERR_CDDA_NOAUDIO;

    StreamFormat format;
    format.type = FMOD_SOUND_TYPE_CDDA;
    format.format = FMOD_SOUND_FORMAT_PCM16;
    format.bitsPerSample = 16;
    format.channels = 2;
    format.sampleRate = 44100;
    for (const CdTrack& track : audio) format.lengthFrames += uint64_t(track.sectors) * kCdFramesPerSector;
    format.rawBytes = format.lengthFrames * 4;

    std::vector<uint8_t> packs;
    const CdText text = device->ReadCdText(&packs) ? ParseCdText(packs) : CdText{};
    tags->Add(kTagType, "TRACKS", std::to_string(audio.size()));
    if (auto album = text.titles.find(0); album != text.titles.end() && !album->second.empty())
        tags->Add(kTagType, "ALBUM", Latin1ToUtf8(album->second));
    if (auto artist = text.performers.find(0); artist != text.performers.end() && !artist->second.empty())
        tags->Add(kTagType, "ARTIST", Latin1ToUtf8(artist->second));
    out.format = format;
    out.decoder = std::make_unique<CddaDecoder>(std::move(device), std::move(audio), text, tags, format);
    return FMOD_OK;
}

}  // namespace engine
