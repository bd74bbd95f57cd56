#include "engine_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace enginetest {

std::unique_ptr<Opened> OpenReader(std::unique_ptr<engine::Reader> reader, const engine::OpenHints& hints) {
    auto opened = std::make_unique<Opened>();
    opened->result = engine::OpenByContent(std::move(reader), opened->tags, opened->sound, hints);
    return opened;
}

std::unique_ptr<Opened> OpenBytes(const Bytes& bytes, const engine::OpenHints& hints) {
    return OpenReader(std::make_unique<engine::MemoryReader>(bytes), hints);
}

std::vector<float> DecodeFrames(engine::Decoder& decoder, size_t frames, size_t chunk) {
    const size_t channels = static_cast<size_t>(decoder.Format().channels);
    std::vector<float> out, part(std::min(chunk, frames) * channels);
    for (int64_t n; out.size() / channels < frames &&
                    (n = decoder.ReadFrames(part.data(), std::min(chunk, frames - out.size() / channels))) > 0;)
        out.insert(out.end(), part.begin(), part.begin() + n * static_cast<int64_t>(channels));
    return out;
}

void ExpectDecodesLike(engine::Decoder& decoder, const std::vector<float>& reference, double tolerance,
                       const std::vector<uint64_t>& seeks, size_t frames) {
    const size_t channels = static_cast<size_t>(decoder.Format().channels), total = reference.size() / channels;
    const std::vector<float> all = DecodeAll(decoder, 1023);
    EXPECT_EQ(all.size(), reference.size());
    EXPECT_LE(MaxDifference(reference, all), tolerance);
    for (uint64_t frame : seeks) {
        ASSERT_TRUE(decoder.SeekToFrame(frame)) << frame;
        const std::vector<float> part = DecodeFrames(decoder, frames);
        EXPECT_EQ(part.size(), std::min<uint64_t>(frames, total - frame) * channels) << "after a seek to " << frame;
        EXPECT_LE(MaxDifference(reference, part, frame * channels), tolerance) << "after a seek to " << frame;
    }
}

std::string TagValue(const engine::TagList& tags, const std::string& name, FMOD_TAGTYPE type) {
    for (const engine::Tag& tag : *tags.Snapshot())
        if (tag.name == name && (type == FMOD_TAGTYPE_UNKNOWN || tag.type == type)) return tag.data;
    return "<none>";
}

Fields TagFields(const engine::TagList& tags) {
    Fields fields;
    for (const engine::Tag& tag : *tags.Snapshot()) fields.emplace_back(tag.name, tag.data);
    return fields;
}

std::shared_ptr<engine::StreamJob> MixerJob(int channels, uint32_t rate, uint64_t length, const std::vector<float>& samples,
                                            bool end) {
    struct Silent : engine::Decoder {
        engine::StreamFormat f;
        const engine::StreamFormat& Format() const override { return f; }
        int64_t ReadFrames(float*, size_t) override { return 0; }
        bool SeekToFrame(uint64_t) override { return true; }
    };
    auto d = std::make_unique<Silent>();
    d->f.channels = channels, d->f.sampleRate = rate, d->f.lengthFrames = length;
    const uint64_t frames = samples.size() / channels;
    auto job = engine::MakeStreamJob(std::move(d), std::max<uint64_t>(frames, 44100));
    engine::RingWrite(job->ring, samples.data(), frames);
    job->ring.endOfStream = end;
    return job;
}

engine::ChannelState& MixerRig::Play(int slot, std::shared_ptr<engine::StreamJob> job, float volume) {
    auto state = engine::MakeChannelState(std::move(job), 2, 44100);
    state->paused = false;
    state->volume = volume;
    engine::ChannelState& ref = *state;
    mixer.Replace(slot, std::move(state));
    return ref;
}

void MixerRig::Render(uint32_t frames, uint64_t queued) {
    out.assign(frames * 2, -9.0f);
    mixer.Render(out.data(), frames);
    mixer.PublishQueued(queued);
}

int TestReader::live = 0;
uint64_t TestReader::bytesReadByLast = 0;

TestReader::TestReader(Bytes bytes, TestReaderOptions options)
    : bytes_(std::move(bytes)), memory_(bytes_.data(), bytes_.size()), options_(options) {
    ++live;
}

TestReader::~TestReader() { --live, bytesReadByLast = bytesRead; }

int64_t TestReader::Read(void* buffer, size_t count) {
    if (++reads == options_.failAt) return -1;
    if (options_.piece > 0) count = std::min(count, options_.piece);
    const int64_t n = memory_.Read(buffer, count);
    if (n > 0) bytesRead += static_cast<uint64_t>(n);
    return n;
}

}  // namespace enginetest
