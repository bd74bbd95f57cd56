#include "test_support.h"

#include <cmath>
#include <fstream>
#include <iterator>

std::vector<uint8_t> LoadFixture(const std::string& name) {
    std::ifstream in(std::string(MPEG_FIXTURE_DIR) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

OurPcm DecodeWithOurs(const std::vector<uint8_t>& data, size_t chunk) {
    OurPcm pcm;
    mpeg::DecoderPtr decoder = mpeg::CreateDecoder();
    std::vector<uint8_t> pending;
    size_t fed = 0;
    std::vector<float> frame(mpeg::kMaxFrameFloats);
    for (;;) {
        if (pending.empty() || fed < data.size()) {
            const size_t n = chunk == 0 ? data.size() - fed : std::min(chunk, data.size() - fed);
            pending.insert(pending.end(), data.begin() + static_cast<long>(fed), data.begin() + static_cast<long>(fed + n));
            fed += n;
        }
        const bool end = fed == data.size();
        mpeg::FrameOutput out;
        const mpeg::Result result = mpeg::DecodeFrame(*decoder, pending.data(), pending.size(), end, frame.data(), out);
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(out.consumed));
        if (result == mpeg::Result::EndOfData) break;
        if (result == mpeg::Result::NeedMoreData) {
            if (end) break;  // cannot happen: the decoder ends with EndOfData
            continue;
        }
        if (result == mpeg::Result::InfoFrame) {
            ++pcm.infoFrames;
            continue;
        }
        pcm.channels = out.channels;
        pcm.sampleRate = out.sampleRate;
        ++pcm.frames;
        if (out.damaged) {
            ++pcm.damagedFrames;
            pcm.damaged.push_back(pcm.frames - 1);
        }
        pcm.samples.insert(pcm.samples.end(), frame.begin(), frame.begin() + out.samples * out.channels);
    }
    return pcm;
}

double SnrDb(const std::vector<float>& reference, const std::vector<float>& test) {
    const size_t n = std::min(reference.size(), test.size());
    double signal = 0.0, noise = 0.0;
    for (size_t i = 0; i < n; ++i) {
        signal += static_cast<double>(reference[i]) * reference[i];
        const double d = static_cast<double>(reference[i]) - test[i];
        noise += d * d;
    }
    if (noise == 0.0) return 200.0;
    return 10.0 * std::log10(signal / noise);
}
