// MPEG audio layers I, II and III through our frame decoder: length from the Xing/Info
// or VBRI header (with the LAME tag's delay and padding), seeking by a frame index.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "formats/compressed_formats.h"
#include "formats/format_open.h"
#include "formats/mpeg_container.h"
#include "formats/mpeg_frame_index.h"
#include "formats/sample_range.h"
#include "mpeg/frame_scan.h"
#include "mpeg/mpeg.h"
#include "mpeg/mpeg_stream.h"
#include "tags/id3v2.h"

namespace engine {
namespace {

constexpr size_t kReadChunk = 64 * 1024;
// Enough for a Xing, Info or VBRI frame behind some garbage.
constexpr size_t kHeaderBytes = 8 * 1024;
// Enough for the first 64 frames at any bitrate, which the length estimate uses.
constexpr size_t kInfoBytes = 128 * 1024;
// Streams up to this size are counted frame by frame when opened: their length is exact.
constexpr uint64_t kCountWholeBytes = 1 << 20;
// Audio starts this close to the tags in front, or the file is something else.
constexpr size_t kSearchBytes = 64 * 1024;

class MpegDecoder : public Decoder {
public:
    // `head` holds the first bytes of the audio, already read from the reader, which
    // stands right after them: a stream cannot go back for them.
    MpegDecoder(std::unique_ptr<Reader> reader, const MpegRegion& region, const mpeg::StreamInfo& info,
                const StreamFormat& format, std::vector<uint8_t> head)
        : reader_(std::move(reader)), region_(region), info_(info), format_(format),
          codec_(mpeg::CreateDecoder()) {
        // An exact frame count makes the length a promise: the padding after it is dropped.
        limitToLength_ = info_.exact;
        Restart(0, info_.skipStart);
        readOffset_ = region_.audioStart + head.size();
        needSeek_ = false;
        input_ = std::move(head);
    }

    const StreamFormat& Format() const override { return format_; }

    int64_t ReadFrames(float* out, size_t maxFrames) override {
        const int channels = format_.channels;
        size_t written = 0;
        while (written < maxFrames) {
            if (limitToLength_ && played_ >= info_.length) break;
            if (frameUsed_ == frameSamples_) {
                const int r = DecodeNext();
                if (r < 0) return written > 0 ? static_cast<int64_t>(written) : -1;
                if (r == 0) break;
                continue;
            }
            uint64_t n = std::min<uint64_t>(frameSamples_ - frameUsed_, maxFrames - written);
            if (limitToLength_) n = std::min<uint64_t>(n, info_.length - played_);
            CopySamples(out + written * channels, static_cast<int>(n));
            frameUsed_ += static_cast<int>(n);
            written += n;
            played_ += n;
        }
        return static_cast<int64_t>(written);
    }

    bool SeekToFrame(uint64_t frame) override {
        if (!reader_->CanSeek()) return false;
        if (limitToLength_ && frame >= info_.length) {
            Restart(region_.audioEnd - region_.audioStart, 0);
            played_ = info_.length;
            return true;
        }
        if (!indexTried_) {
            indexTried_ = true;
            index_ = IndexMpegFrames(*reader_, region_, info_);
        }
        mpeg::SeekPlan plan;
        if (index_.frames > 0) {
            // The plan for the frame counted by the index, started from the indexed frame before it.
            mpeg::StreamInfo counted = info_;
            counted.frames = index_.frames;
            plan = mpeg::PlanSeek(counted, nullptr, frame);
            const uint64_t entry = plan.frame / kFrameIndexStep;
            plan.discardSamples += (plan.frame - entry * kFrameIndexStep) * info_.header.samplesPerFrame;
            plan.byteOffset = index_.offsets[entry];
        } else {
            plan = mpeg::PlanSeek(info_, nullptr, frame);  // the tables, when the file could not be indexed
        }
        Restart(plan.byteOffset, plan.discardSamples);
        played_ = frame;
        return true;
    }

private:
    // Continues decoding at `offset` within the audio data, dropping `discard` samples first.
    void Restart(uint64_t offset, uint64_t discard) {
        mpeg::ResetDecoder(*codec_);
        input_.clear();
        inputPos_ = 0;
        inputEnded_ = false;
        readOffset_ = region_.audioStart + offset;
        needSeek_ = true;
        toDiscard_ = discard;
        frameSamples_ = frameUsed_ = 0;
        played_ = 0;
    }

    // False on a read error.
    bool Fill() {
        if (inputPos_ > 0) {
            input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(inputPos_));
            inputPos_ = 0;
        }
        if (readOffset_ >= region_.audioEnd) {
            inputEnded_ = true;
            return true;
        }
        if (needSeek_ && !reader_->Seek(readOffset_)) return false;
        needSeek_ = false;
        const size_t want = static_cast<size_t>(std::min<uint64_t>(kReadChunk, region_.audioEnd - readOffset_));
        const size_t old = input_.size();
        input_.resize(old + want);
        const int64_t got = reader_->Read(input_.data() + old, want);
        if (got < 0) {
            input_.resize(old);
            return false;
        }
        input_.resize(old + static_cast<size_t>(got));
        readOffset_ += static_cast<uint64_t>(got);
        if (got == 0) inputEnded_ = true;
        return true;
    }

    // 1: a frame is ready (after the samples to drop), 0: the end, -1: a read error.
    int DecodeNext() {
        for (;;) {
            mpeg::FrameOutput out;
            const mpeg::Result r = mpeg::DecodeFrame(*codec_, input_.data() + inputPos_, input_.size() - inputPos_,
                                                     inputEnded_, frame_, out);
            inputPos_ += out.consumed;
            if (r == mpeg::Result::EndOfData) return 0;
            if (r == mpeg::Result::InfoFrame) continue;
            if (r == mpeg::Result::NeedMoreData) {
                if (inputEnded_) return 0;
                if (!Fill()) return -1;
                continue;
            }
            frameSamples_ = out.samples;
            frameChannels_ = out.channels;
            frameUsed_ = static_cast<int>(std::min<uint64_t>(toDiscard_, static_cast<uint64_t>(out.samples)));
            toDiscard_ -= static_cast<uint64_t>(frameUsed_);
            if (frameUsed_ < frameSamples_) return 1;
        }
    }

    // A frame of another stream (mono within stereo) is mixed to the announced channels.
    // Damaged frames can give NaN: the engine gets finite samples.
    void CopySamples(float* out, int count) {
        const float* in = frame_ + static_cast<size_t>(frameUsed_) * frameChannels_;
        if (frameChannels_ == format_.channels) {
            const int n = count * frameChannels_;
            for (int i = 0; i < n; ++i) out[i] = ToSampleRange(in[i]);
        } else if (frameChannels_ == 1) {
            for (int i = 0; i < count; ++i) out[2 * i] = out[2 * i + 1] = ToSampleRange(in[i]);
        } else {
            for (int i = 0; i < count; ++i) out[i] = ToSampleRange(0.5f * (in[2 * i] + in[2 * i + 1]));
        }
    }

    std::unique_ptr<Reader> reader_;
    MpegRegion region_;
    mpeg::StreamInfo info_;
    StreamFormat format_;
    mpeg::DecoderPtr codec_;
    bool limitToLength_ = false;

    std::vector<uint8_t> input_;
    size_t inputPos_ = 0;
    uint64_t readOffset_ = 0;  // in the file
    bool needSeek_ = true;
    bool inputEnded_ = false;

    float frame_[mpeg::kMaxFrameFloats];
    int frameSamples_ = 0;
    int frameChannels_ = 0;
    int frameUsed_ = 0;
    uint64_t toDiscard_ = 0;
    uint64_t played_ = 0;

    bool indexTried_ = false;
    MpegFrameIndex index_;
};

}  // namespace

int ProbeMpeg(const uint8_t* head, size_t size) {
    // An ID3v2 tag may be longer than the head: the audio behind it is checked on opening.
    if (size >= container::kId3v2HeaderSize && std::memcmp(head, "ID3", 3) == 0) return 60;
    mpeg::FrameHeader header;
    int bytes = 0;
    const size_t at = mpeg::FindFrame(head, size, 0, nullptr, header, bytes);
    if (bytes == 0) return 0;
    // Frame headers are a guess: every format with a magic number goes first.
    return at == 0 ? 70 : 40;
}

FMOD_RESULT OpenMpeg(std::unique_ptr<Reader>& reader, TagList& tags, OpenedSound& out) {
    Reader& in = *reader;
    MpegRegion region;
    if (!ReadMpegSurroundings(in, tags, region)) return FMOD_ERR_FORMAT;
    const bool sizeKnown = region.audioEnd != std::numeric_limits<uint64_t>::max();
    uint64_t total = sizeKnown ? region.audioEnd - region.audioStart : 0;

    // A Xing or VBRI header in the first frame says everything: most files need only a
    // few kilobytes. Without one, more frames make the estimate.
    std::vector<uint8_t> head;
    if (!in.Seek(region.audioStart)) return FMOD_ERR_FILE_COULDNOTSEEK;
    size_t got = 0;
    mpeg::StreamInfo info;
    bool found = false;
    // A first look, then enough for the estimate: all of a short file, never past the
    // audio into the tags behind it.
    size_t steps[2] = {kHeaderBytes, kInfoBytes};
    if (sizeKnown) {
        if (total <= kCountWholeBytes) steps[1] = static_cast<size_t>(total);
        steps[0] = static_cast<size_t>(std::min<uint64_t>(steps[0], total));
    }
    for (size_t want : steps) {
        if (want <= got) continue;
        head.resize(want);
        while (got < head.size()) {
            const int64_t n = in.Read(head.data() + got, head.size() - got);
            if (n < 0) return FMOD_ERR_FILE_BAD;
            if (n == 0) break;
            got += static_cast<size_t>(n);
        }
        const bool whole = sizeKnown && got == total;
        found = mpeg::ReadStreamInfo(head.data(), got, sizeKnown ? total : got, info);
        if (found && (info.exact || whole)) break;
        if (got < want) break;  // nothing more to read
    }
    if (!found) return FMOD_ERR_FORMAT;
    // Without a tag or a Xing/VBRI header in front, a run of frames must show that this is
    // MPEG audio. Junk in front that merely looks like a frame or two is skipped.
    if (region.audioStart == 0 && !info.xing.present && !info.vbri.present) {
        const size_t start = mpeg::FindFrameRun(head.data(), got, sizeKnown && got == total, kSearchBytes);
        if (start == got) return FMOD_ERR_FORMAT;
        if (start > info.firstFrameOffset) {
            region.audioStart += start;
            head.erase(head.begin(), head.begin() + static_cast<std::ptrdiff_t>(start));
            got -= start;
            if (sizeKnown) total -= start;
            if (!mpeg::ReadStreamInfo(head.data(), got, sizeKnown ? total : got, info)) return FMOD_ERR_FORMAT;
        }
    }
    // Audio must begin close to where the tags end; far-off sync words are chance.
    if (info.firstFrameOffset > kSearchBytes) return FMOD_ERR_FORMAT;

    StreamFormat format;
    format.type = FMOD_SOUND_TYPE_MPEG;
    format.format = FMOD_SOUND_FORMAT_PCM16;
    format.bitsPerSample = 16;
    format.channels = info.header.channels;
    format.sampleRate = static_cast<uint32_t>(info.header.sampleRate);
    format.lengthFrames = sizeKnown ? info.length : 0;
    format.rawBytes = total;
    if (!sizeKnown) info.exact = false;
    out.format = format;
    head.resize(got);
    out.decoder = std::make_unique<MpegDecoder>(std::move(reader), region, info, format, std::move(head));
    return FMOD_OK;
}

}  // namespace engine
