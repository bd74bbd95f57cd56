#include "codec_support.h"

#include <cmath>
#include <fstream>
#include <iterator>

#include "io/memory_reader.h"

namespace codectest {

std::string FixturePath(const std::string& name) { return std::string(CODEC_FIXTURE_DIR) + "/" + name; }

Bytes ReadFixture(const std::string& name) {
    std::ifstream in(FixturePath(name), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::unique_ptr<Opened> OpenBytes(const Bytes& bytes) {
    auto opened = std::make_unique<Opened>();
    opened->result =
        engine::OpenByContent(std::make_unique<engine::MemoryReader>(bytes), opened->tags, opened->sound);
    return opened;
}

std::unique_ptr<Opened> OpenFixture(const std::string& name) { return OpenBytes(ReadFixture(name)); }

std::vector<float> DecodeRest(engine::Decoder& decoder, size_t chunk) {
    const size_t channels = static_cast<size_t>(decoder.Format().channels);
    std::vector<float> all, part(chunk * channels);
    for (;;) {
        const int64_t n = decoder.ReadFrames(part.data(), chunk);
        if (n <= 0) break;
        all.insert(all.end(), part.begin(), part.begin() + n * static_cast<int64_t>(channels));
    }
    return all;
}

std::vector<float> DecodeFrames(engine::Decoder& decoder, size_t frames) {
    const size_t channels = static_cast<size_t>(decoder.Format().channels);
    std::vector<float> out(frames * channels);
    size_t got = 0;
    while (got < frames) {
        const int64_t n = decoder.ReadFrames(out.data() + got * channels, frames - got);
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    out.resize(got * channels);
    return out;
}

double SnrDb(const std::vector<float>& reference, const std::vector<float>& test) {
    const size_t n = std::min(reference.size(), test.size());
    double signal = 0, noise = 0;
    for (size_t i = 0; i < n; ++i) {
        signal += double(reference[i]) * reference[i];
        const double d = double(reference[i]) - test[i];
        noise += d * d;
    }
    if (noise == 0) return 200.0;
    return 10.0 * std::log10(signal / noise);
}

double MaxDifference(const std::vector<float>& a, const std::vector<float>& b, size_t offset) {
    double worst = 0;
    for (size_t i = 0; i < b.size() && offset + i < a.size(); ++i)
        worst = std::max(worst, std::fabs(double(a[offset + i]) - b[i]));
    return worst;
}

std::vector<std::string> TagValues(const engine::TagList& tags, const std::string& name) {
    std::vector<std::string> values;
    for (const engine::Tag& tag : *tags.Snapshot())
        if (tag.name == name) values.push_back(tag.data);
    return values;
}

std::string TagValue(const engine::TagList& tags, FMOD_TAGTYPE type, const std::string& name) {
    for (const engine::Tag& tag : *tags.Snapshot())
        if (tag.type == type && tag.name == name) return tag.data;
    return "<none>";
}

}  // namespace codectest
